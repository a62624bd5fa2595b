# The Windows build: the platform layer over <windows.h>, the program's
# string table as a resource, a fixed image base, and every test program
# run under Wine in a prefix of this build's own.

# <windows.h> without the parts nobody here uses, and without the min and
# max macros that would break the standard library.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
enable_language(RC)
# Every program static: Wine, like a Windows user, has no mingw-w64 DLLs.
add_link_options(-static)

# The report's addresses are offsets within the program's module; the
# "Runtime error" line shows the absolute address. The image stays at the
# classic base, where eight digits show every address, and the loader
# never moves it (a 32-bit image has no high-entropy addresses to turn off:
# its linker rejects the option).
set(ANGLECONV_WINDOWS_LINK_OPTIONS -Wl,--image-base,0x400000 -Wl,--disable-dynamicbase)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND ANGLECONV_WINDOWS_LINK_OPTIONS -Wl,--disable-high-entropy-va)
endif()

# The name of the zip (cmake/windows-package.cmake), after the CPU's word
# size as Windows downloads are named: win64 or win32.
math(EXPR windows_bits "${CMAKE_SIZEOF_VOID_P} * 8")
set(ANGLECONV_WINDOWS_ZIP angleconv-${PROJECT_VERSION}-win${windows_bits})

# Wine, for the tests: tools/wine-run configured with this build's prefix.
# A 32-bit program needs Debian's 32-bit Wine (wine32:i386) beside wine64,
# looked for at each configure: without it, every test that runs a program
# under Wine is a skipped test that says this reason.
# Installed, it still needs a kernel that runs 32-bit x86 programs, which
# some virtual machines leave out.
set(ANGLECONV_WINE_MISSING "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT EXISTS /usr/lib/wine/wine)
  set(ANGLECONV_WINE_MISSING "32-bit Wine (wine32:i386) is not installed: no /usr/lib/wine/wine \
(make test tries to install it: build-logs/wine32.log)")
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE wine32_started OUTPUT_QUIET ERROR_QUIET)
  if(NOT wine32_started EQUAL 0)
    set(ANGLECONV_WINE_MISSING "32-bit Wine does not start: this kernel does not run 32-bit x86 programs")
  endif()
endif()
if(ANGLECONV_WINE_MISSING)
  message(STATUS "Tests skipped: those under Wine, for ${ANGLECONV_WINE_MISSING}")
endif()
set(ANGLECONV_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
configure_file(${CMAKE_SOURCE_DIR}/tools/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
