# The web build: the platform layer over Node and the page
# (src/platform/web), two programs from the same libraries, and every test
# program run under Node (cmake/web-emscripten.cmake sets the emulator).
#   angleconv.js + angleconv.wasm                 the program under Node
#   browser/angleconv.mjs + browser/angleconv.wasm  the program for the page
# Code addresses are offsets in the .wasm binary, taken from the host's
# stack traces (the offset converter), so a report's address is the same in
# every run and in both hosts. C++ exceptions are emscripten's, through
# JavaScript: the page's program needs them so (ASYNCIFY), and both
# programs link the same objects.
set(ANGLECONV_WEB_DIR ${CMAKE_SOURCE_DIR}/src/platform/web)
add_compile_options(-fexceptions)
# emcc turns any -Os on a command line into -fno-inline-functions, even where
# a later -O2 asks for speed (the batch mode's files): inlining is asked back.
add_compile_options(-finline-functions)
add_link_options(-fexceptions -sUSE_OFFSET_CONVERTER=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
  --js-library=${ANGLECONV_WEB_DIR}/code_addresses.js)
set(CMAKE_EXECUTABLE_SUFFIX .js)

# Under Node: reads and writes are synchronous calls of Node's, so the
# program runs straight through (no ASYNCIFY, which would slow every call on
# the way to a read); the binary is compiled at once, from the file beside
# the program.
set(ANGLECONV_WEB_NODE_LINK_OPTIONS -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0
  --js-library=${ANGLECONV_WEB_DIR}/node_host.js)
# The test programs read their data files through Node too.
set(ANGLECONV_WEB_TEST_LINK_OPTIONS -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sNODERAWFS=1
  --js-library=${ANGLECONV_WEB_DIR}/node_host.js)

# In the page: an ES module whose default export, createAngleconv(options),
# starts one run. A read waits for the page's promise with ASYNCIFY, which
# needs no cross-origin isolation (a worker blocked in Atomics.wait would)
# and so works from any static host.
set(ANGLECONV_WEB_BROWSER_LINK_OPTIONS -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_ES6=1
  -sEXPORT_NAME=createAngleconv -sASYNCIFY=1 -sASYNCIFY_IMPORTS=[angleconv_host_read]
  -sASYNCIFY_STACK_SIZE=65536 -sINCOMING_MODULE_JS_API=[arguments,locateFile,wasmBinary,onExit,angleconvConsole,angleconvRead,angleconvWrite]
  --js-library=${ANGLECONV_WEB_DIR}/browser_host.js)

# The program for the page: the same sources as the one under Node.
function(angleconv_web_browser_program)
  get_target_property(sources angleconv SOURCES)
  add_executable(angleconv_browser ${sources})
  target_link_libraries(angleconv_browser PRIVATE angleconv_conversion angleconv_exceptions)
  target_compile_options(angleconv_browser PRIVATE $<$<CONFIG:Release>:-Os>)
  target_link_options(angleconv_browser PRIVATE ${ANGLECONV_WEB_BROWSER_LINK_OPTIONS})
  set_target_properties(angleconv_browser PROPERTIES OUTPUT_NAME angleconv SUFFIX .mjs
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/browser LINK_DEPENDS "${ANGLECONV_WEB_DIR}/browser_host.js;${ANGLECONV_WEB_DIR}/code_addresses.js")
endfunction()
