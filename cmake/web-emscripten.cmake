# Build for WebAssembly with Debian's emscripten (cmake/web.cmake has the
# project's settings for it); every program, tests included, runs under
# Node. emscripten's own tools are Node programs too: they find their
# modules where Debian installs them, whichever node is first on the PATH.
set(ENV{NODE_PATH} /usr/share/nodejs)
execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE emscripten_root OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE emscripten_missing)
if(emscripten_missing OR NOT EXISTS ${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)
  message(FATAL_ERROR "emscripten not found: install the Debian package emscripten")
endif()
include(${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
# Node runs every program the build and its tests start (emscripten's own
# choice of Node flags is not Node 20's).
find_program(ANGLECONV_NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ANGLECONV_NODE})
