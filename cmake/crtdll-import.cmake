# The 64-bit toolchain brings no import library for CRTDLL (64-bit Windows
# builds of the program are for running the suites where 32-bit programs
# cannot run); one is made from the list of the few functions the program
# and its probes call. It is made at build time from that list, so an edit of
# the list remakes it and relinks whatever links it. Targets name it by its
# usual name, crtdll, as they do where the toolchain brings it.
find_program(VELMORIN_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool dlltool REQUIRED)
set(crtdll_definitions ${CMAKE_CURRENT_LIST_DIR}/crtdll.def)
set(crtdll_import_library ${CMAKE_BINARY_DIR}/crtdll/libcrtdll.a)
add_custom_command(
  OUTPUT ${crtdll_import_library}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/crtdll
  COMMAND ${VELMORIN_DLLTOOL} -d ${crtdll_definitions} -l ${crtdll_import_library}
  DEPENDS ${crtdll_definitions}
  COMMENT "Making the CRTDLL import library")
add_custom_target(crtdll_import_library DEPENDS ${crtdll_import_library})
add_library(crtdll INTERFACE)
target_link_libraries(crtdll INTERFACE ${crtdll_import_library})
add_dependencies(crtdll crtdll_import_library)
