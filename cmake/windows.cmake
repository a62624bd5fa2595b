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
# never moves it.
set(ANGLECONV_WINDOWS_LINK_OPTIONS -Wl,--image-base,0x400000 -Wl,--disable-dynamicbase
  -Wl,--disable-high-entropy-va)

# Wine, for the tests: tools/wine-run configured with this build's prefix.
set(ANGLECONV_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
configure_file(${CMAKE_SOURCE_DIR}/tools/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
