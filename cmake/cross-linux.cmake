# Cross build for another Linux CPU with Debian's cross compilers; the
# tests run under qemu-user. Configure with -DANGLECONV_CROSS_ARCH=aarch64
# (or s390x) and this file as the toolchain; where Debian's triple or qemu's
# name is not the CPU's name, give them too (armhf: arm-linux-gnueabihf and
# qemu-arm).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${ANGLECONV_CROSS_ARCH})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANGLECONV_CROSS_ARCH ANGLECONV_CROSS_TRIPLE ANGLECONV_CROSS_QEMU)
if(NOT ANGLECONV_CROSS_TRIPLE)
  set(ANGLECONV_CROSS_TRIPLE ${ANGLECONV_CROSS_ARCH}-linux-gnu)
endif()
if(NOT ANGLECONV_CROSS_QEMU)
  set(ANGLECONV_CROSS_QEMU qemu-${ANGLECONV_CROSS_ARCH})
endif()
set(triple ${ANGLECONV_CROSS_TRIPLE})
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every program the build runs, tests included, runs under the emulator;
# the static programs need no library path, the others find theirs here.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ANGLECONV_CROSS_QEMU};-L;/usr/${triple})
