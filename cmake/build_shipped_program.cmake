cmake_minimum_required(VERSION 3.25)
# Brings the shipped 32-bit program up to date in its own build tree, which
# knows what the program is made of; a tree that was never configured is
# configured first, as its preset says.
#   cmake -DSOURCE_DIR=<project root> -DBUILD_DIR=<32-bit tree> -P build_shipped_program.cmake
# The build that runs this has its own make job server, which this build does
# not share.
unset(ENV{MAKEFLAGS})
unset(ENV{MFLAGS})
unset(ENV{MAKELEVEL})
if(NOT EXISTS ${BUILD_DIR}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset win32 -B ${BUILD_DIR}
                  WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
endif()
# Its many "Built target" lines say nothing when all is well.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target velmorin
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${output}the shipped program cannot be built in ${BUILD_DIR}")
endif()
