# Fails when PROGRAM carries something that differs between two builds of
# the same sources: a link time in its file header, or the folders of the
# checkout and the build.
file(READ ${PROGRAM} header LIMIT 1024 HEX)
# The PE header's offset, little-endian, at 0x3c; its time stamp 8 bytes in.
string(SUBSTRING "${header}" 120 8 offset)
string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" offset "${offset}")
math(EXPR stamp_at "(0x${offset} + 8) * 2")
string(SUBSTRING "${header}" ${stamp_at} 8 stamp)
if(NOT stamp STREQUAL "00000000")
  message(FATAL_ERROR "${PROGRAM} carries a link time stamp: ${stamp}")
endif()

file(STRINGS ${PROGRAM} texts LENGTH_MINIMUM 4)
foreach(folder IN ITEMS "${SOURCE_DIR}" "${BINARY_DIR}")
  string(FIND "${texts}" "${folder}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} names the folder ${folder}")
  endif()
endforeach()
