// Code addresses on the web, for __builtin_return_address: the offset in
// the .wasm binary of the call that the caller's caller makes, from the
// host's stack trace. In the page's program, whose exceptions go through
// JavaScript, a call that may throw is made through one of emscripten's
// trampolines (invoke_*), whose frames stand between two WebAssembly
// frames; they are passed over, so that the address is always the call's
// place in the program's own code, whether or not the call stands inside a
// try block.
mergeInto(LibraryManager.library, {
  emscripten_return_address__deps: ['$convertFrameToPC'],
  emscripten_return_address: function(level) {
    var frames = new Error().stack.split('\n').filter(function(frame) {
      return /\bwasm-function\[/.test(frame);
    });
    // The first WebAssembly frame is the function that asked.
    var frame = frames[level + 1];
    return frame ? convertFrameToPC(frame) : 0;
  },
});
