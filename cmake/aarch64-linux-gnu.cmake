# Linux on 64-bit ARM with Debian's g++-aarch64-linux-gnu. Programs built here
# run on this machine under qemu-user, which ctest and the test targets use as
# the emulator (the binaries are static, so qemu needs no target sysroot).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(VARGUL_CROSS_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${VARGUL_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${VARGUL_CROSS_PREFIX}-g++)
set(CMAKE_AR ${VARGUL_CROSS_PREFIX}-gcc-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VARGUL_CROSS_PREFIX}-gcc-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${VARGUL_CROSS_PREFIX}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VARGUL_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
