# Whether this machine's kernel runs a 32-bit x86 program itself: an x86-64
# kernel may be built without that support (Exec format error), and then
# neither a native i386 program nor 32-bit Wine starts. Answered by building
# and starting the smallest static program with the given i386 compiler.
function(angleconv_kernel_runs_i386 compiler result)
  set(probe ${CMAKE_BINARY_DIR}/kernel-runs-i386)
  file(WRITE ${probe}.c "int main(void) { return 0; }\n")
  execute_process(COMMAND ${compiler} -x c -static ${probe}.c -o ${probe}
    RESULT_VARIABLE built OUTPUT_QUIET ERROR_QUIET)
  set(started 1)
  if(built EQUAL 0)
    execute_process(COMMAND ${probe} RESULT_VARIABLE started OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(started EQUAL 0)
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()
