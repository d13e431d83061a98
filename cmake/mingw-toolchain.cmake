# Cross build for Windows with Debian's MinGW-w64 (posix thread model, which
# GoogleTest needs), for the processor that the including toolchain file
# names in velmorin_mingw_processor. Test executables run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${velmorin_mingw_processor})

set(CMAKE_C_COMPILER ${velmorin_mingw_processor}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${velmorin_mingw_processor}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${velmorin_mingw_processor}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${velmorin_mingw_processor}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
