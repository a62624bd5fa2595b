# The web stage's tests: the unit tests that can run under Node, each
# binary that cannot a skipped test that says why; the check that the
# programs are WebAssembly; and the program under Node against the x86-64
# program on random dialogues, byte soups, batches and hostile input.
set(angleconv_discovery_options DISCOVERY_TIMEOUT 120)

angleconv_test_binary(arithmetic angleconv_arithmetic)
target_compile_definitions(arithmetic_tests PRIVATE
  EXTENDED_GOLDEN_VECTORS="${CMAKE_CURRENT_SOURCE_DIR}/arithmetic/extended_golden_vectors.txt"
  WIDE_INTEGER_CASES=100000)
angleconv_test_binary(core angleconv_simulated_registry angleconv_core)
angleconv_test_binary(realtext angleconv_realtext angleconv_core)
angleconv_test_binary(conversion angleconv_simulated_registry angleconv_conversion)

angleconv_skipped_test(platform.not_under_node
  "they test the POSIX calls on pipes, with signals and threads, which WebAssembly under Node has not; the web build's own handle calls are tested by the comparison with the x86-64 program")
angleconv_skipped_test(streams.not_under_node
  "their fixtures swap POSIX descriptors for pipes, /dev/full and pseudo-terminals, and wrap ReadFile and WriteFile at link time; the comparison with the x86-64 program runs the streams under Node on files and pipes")
angleconv_skipped_test(exceptions.not_under_node
  "their reports end processes in death tests, which need fork, and capture descriptor 1 with pipe and dup2, which do not reach Node's standard output; the comparison with the x86-64 program checks every report under Node")
angleconv_skipped_test(end_to_end.not_under_node
  "they start the program with fork and drive it through pseudo-terminals from this machine; under Node the comparison with the x86-64 program does the same work on files and pipes")

# The stage proves what it ran: the binary of the program under Node, of the
# page's program and of every test program is WebAssembly.
get_property(test_programs GLOBAL PROPERTY angleconv_test_programs)
set(binaries $<TARGET_FILE_DIR:angleconv>/angleconv.wasm $<TARGET_FILE_DIR:angleconv_browser>/angleconv.wasm)
foreach(program ${test_programs})
  list(APPEND binaries $<TARGET_FILE_DIR:${program}>/$<TARGET_FILE_BASE_NAME:${program}>.wasm)
endforeach()
add_test(NAME stage.built_for_${ANGLECONV_TARGET}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-target ${ANGLECONV_TARGET} ${binaries})

# The program under Node against the x86-64 program of make build: the same
# bytes and exit codes, the reports' addresses paired statement by statement.
# A few hundred cases here; more by hand (the script's options).
set(ANGLECONV_REFERENCE_PROGRAM ${CMAKE_SOURCE_DIR}/build/angleconv CACHE FILEPATH
  "The x86-64 program that the program under Node is compared with (make build)")
add_test(NAME end_to_end.SameBytesUnderNode
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/compare_programs.py --dialogues 100
    --soups 100 --batches 100 --hostile ${ANGLECONV_REFERENCE_PROGRAM} ${CMAKE_CROSSCOMPILING_EMULATOR}
    $<TARGET_FILE:angleconv>)
set_tests_properties(end_to_end.SameBytesUnderNode PROPERTIES REQUIRED_FILES ${ANGLECONV_REFERENCE_PROGRAM}
  TIMEOUT 600)
