# The package a Windows user downloads: velmorin-<version>-win32.zip holding
# the program and a short read-me, built by `cpack` (scripts/package).
#
# The read-me is Windows-1252 with CRLF line ends, as Notepad of every
# Windows version shows it.
string(ASCII 252 VELMORIN_U_UMLAUT)
configure_file(${PROJECT_SOURCE_DIR}/docs/readme.txt.in ${PROJECT_BINARY_DIR}/readme.txt @ONLY
               NEWLINE_STYLE CRLF)

install(TARGETS velmorin RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/readme.txt DESTINATION .)
# With SOURCE_DATE_EPOCH set (scripts/package takes the commit's time), both
# files carry that time rather than the build's, so the archive is the same
# for every build of one commit.
install(CODE [[
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    foreach(name IN ITEMS velmorin.exe readme.txt)
      execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH}
                              "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
]])

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velmorin)
set(CPACK_PACKAGE_FILE_NAME velmorin-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/dist)
include(CPack)
