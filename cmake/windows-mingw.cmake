# Cross build for Windows with Debian's mingw-w64, in its POSIX thread model
# (the C++ library's threads need it); the tests run under Wine
# (cmake/windows.cmake sets the emulator). The CPU is
# ANGLECONV_WINDOWS_ARCH: x86_64 (64-bit Windows, the default) or i686
# (32-bit Windows).
set(ANGLECONV_WINDOWS_ARCH x86_64 CACHE STRING "The Windows CPU: x86_64 or i686")
set_property(CACHE ANGLECONV_WINDOWS_ARCH PROPERTY STRINGS x86_64 i686)
if(NOT ANGLECONV_WINDOWS_ARCH MATCHES "^(x86_64|i686)$")
  message(FATAL_ERROR "ANGLECONV_WINDOWS_ARCH is ${ANGLECONV_WINDOWS_ARCH}, not x86_64 or i686")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANGLECONV_WINDOWS_ARCH)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ANGLECONV_WINDOWS_ARCH})
set(triple ${ANGLECONV_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
