# 64-bit Windows. The program ships as the 32-bit build; this one runs the
# Windows suites on machines whose kernel runs no 32-bit programs.
set(velmorin_mingw_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
# scripts/with-wine gives this tree a 64-bit prefix and the 64-bit loader.
set(VELMORIN_WINE_ARCH win64 CACHE STRING "Wine prefix architecture for this tree")
