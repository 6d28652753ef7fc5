# Windows x86-64 with Debian's mingw-w64 (the posix thread variant, package
# g++-mingw-w64-x86-64-posix). Programs built here run on this machine under
# wine, which ctest and the test targets use as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARGUL_CROSS_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARGUL_CROSS_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARGUL_CROSS_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARGUL_CROSS_PREFIX}-windres)
# The LTO-aware archiver and index, so the library's fat objects keep their bytecode index.
set(CMAKE_AR ${VARGUL_CROSS_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VARGUL_CROSS_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${VARGUL_CROSS_PREFIX}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VARGUL_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
