// The host of the program in the page: the options the page passes to the
// program's factory decide what the standard handles are.
//   angleconvConsole         true: the three handles are a console (the
//                            terminal), written at the end of every
//                            statement; false: pipes (the form)
//   angleconvRead(maxBytes)  a Promise of 1 to maxBytes bytes, or of none
//                            at the end of the input
//   angleconvWrite(handle, bytes)  standard output (1) or error (2)
// A read waits for the page without blocking it: the program's stack is put
// aside while the promise is pending (ASYNCIFY) and taken up again when it
// settles.
mergeInto(LibraryManager.library, {
  angleconv_host_file_type: function(descriptor) {
    if (descriptor < 0 || descriptor > 2) return 0;
    return Module['angleconvConsole'] ? 2 : 3;
  },

  angleconv_host_read: function(descriptor, buffer, size) {
    return Asyncify.handleSleep(function(wakeUp) {
      Promise.resolve()
        .then(function() { return Module['angleconvRead'](size); })
        .then(function(bytes) {
          var count = Math.min(bytes.length, size);
          HEAPU8.set(bytes.subarray(0, count), buffer);
          return count;
        }, function() { return -{{{ cDefine('EIO') }}}; })
        .then(function(count) {
          // The run goes on from the read, here, to its end: the exit that
          // ends it has told the page through onExit already.
          try {
            wakeUp(count);
          } catch (error) {
            if (!(error instanceof ExitStatus)) throw error;
          }
        });
    });
  },

  angleconv_host_write: function(descriptor, buffer, size) {
    try {
      Module['angleconvWrite'](descriptor, HEAPU8.slice(buffer, buffer + size));
      return size;
    } catch (error) {
      return -{{{ cDefine('EIO') }}};
    }
  },

  angleconv_host_close: function(descriptor) {
    return 0;
  },

  angleconv_host_ignore_write_signals: function() {},
});
