# The 64-bit toolchain brings no import library for CRTDLL (64-bit Windows
# builds of the program are for running the suites where 32-bit programs
# cannot run); one is made from the list of the few functions the program
# and its probes call, and found by its usual name.
find_program(VELMORIN_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool dlltool REQUIRED)
set(crtdll_dir ${CMAKE_BINARY_DIR}/crtdll)
file(MAKE_DIRECTORY ${crtdll_dir})
execute_process(
  COMMAND ${VELMORIN_DLLTOOL} -d ${CMAKE_CURRENT_LIST_DIR}/crtdll.def -l ${crtdll_dir}/libcrtdll.a
  RESULT_VARIABLE crtdll_result)
if(NOT crtdll_result EQUAL 0)
  message(FATAL_ERROR "cannot make the CRTDLL import library")
endif()
link_directories(${crtdll_dir})
