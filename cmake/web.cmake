# The web build: the platform layer over Node and the page
# (src/platform/web), two programs from the same sources, and every test
# program run under Node (cmake/web-emscripten.cmake sets the emulator).
#   angleconv.js + angleconv.wasm                 the program under Node
#   browser/angleconv.mjs + browser/angleconv.wasm  the program for the page
# Code addresses are offsets in the .wasm binary, taken from the host's
# stack traces (the offset converter), so a report's address is the same in
# every run of each program (the two are different binaries).
set(ANGLECONV_WEB_DIR ${CMAKE_SOURCE_DIR}/src/platform/web)
# C++ exceptions: WebAssembly's own, which cost nothing until one is thrown,
# for the program under Node and the tests. The page's program cannot have
# them (ASYNCIFY, which its reads need, cannot transform them): it compiles
# every source again, with emscripten's exceptions through JavaScript, whose
# trampoline on each call that may throw made the batch mode a tenth slower.
set(javascript_exceptions $<BOOL:$<TARGET_PROPERTY:ANGLECONV_JAVASCRIPT_EXCEPTIONS>>)
add_compile_options($<IF:${javascript_exceptions},-fexceptions,-fwasm-exceptions>)
# emcc turns any -Os on a command line into -fno-inline-functions, even where
# a later -O2 asks for speed (the batch mode's files): inlining is asked back.
add_compile_options(-finline-functions)
add_link_options($<IF:${javascript_exceptions},-fexceptions,-fwasm-exceptions> -sUSE_OFFSET_CONVERTER=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
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

# The program under Node and the program for the page, the second from the
# sources of the first, every layer's compiled again for its exceptions.
# Both are optimized across files at link time (a sixth more values a
# second in the batch mode); the tests link the same layers without it.
function(angleconv_web_programs)
  set(layers angleconv_conversion angleconv_exceptions angleconv_streams angleconv_realtext angleconv_core
    angleconv_arithmetic angleconv_platform)
  get_target_property(sources angleconv SOURCES)
  foreach(layer ${layers})
    get_target_property(layer_sources ${layer} SOURCES)
    list(APPEND sources ${layer_sources})
  endforeach()
  foreach(target ${layers} angleconv)
    target_compile_options(${target} PRIVATE -flto)
  endforeach()
  target_link_options(angleconv PRIVATE -flto ${ANGLECONV_WEB_NODE_LINK_OPTIONS})
  set_target_properties(angleconv PROPERTIES
    LINK_DEPENDS "${ANGLECONV_WEB_DIR}/node_host.js;${ANGLECONV_WEB_DIR}/code_addresses.js")

  add_executable(angleconv_browser ${sources})
  target_compile_options(angleconv_browser PRIVATE $<$<CONFIG:Release>:-Os> -flto)
  target_link_options(angleconv_browser PRIVATE -flto ${ANGLECONV_WEB_BROWSER_LINK_OPTIONS})
  set_target_properties(angleconv_browser PROPERTIES OUTPUT_NAME angleconv SUFFIX .mjs
    ANGLECONV_JAVASCRIPT_EXCEPTIONS ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/browser LINK_DEPENDS "${ANGLECONV_WEB_DIR}/browser_host.js;${ANGLECONV_WEB_DIR}/code_addresses.js")
endfunction()
