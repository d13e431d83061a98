# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# which GoogleTest needs). The program ships as the 32-bit build; this one
# runs the Windows suites on machines whose kernel runs no 32-bit programs.
# Test executables run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# scripts/with-wine gives this tree a 64-bit prefix and the 64-bit loader.
set(VELMORIN_WINE_ARCH win64 CACHE STRING "Wine prefix architecture for this tree")
