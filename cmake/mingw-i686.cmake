# 32-bit Windows: the program as it ships.
set(velmorin_mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
