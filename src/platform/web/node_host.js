// The host of the program under Node: descriptors 0, 1 and 2 of the Node
// process itself, read and written synchronously, so that the program runs
// straight through without giving control back to Node's event loop.
mergeInto(LibraryManager.library, {
  // The C library's error number for an error of Node's file calls.
  $angleconvErrno: function(error) {
    var number = ERRNO_CODES[error.code];
    return number !== undefined ? number : ERRNO_CODES.EIO;
  },
  $angleconvErrno__deps: ['$ERRNO_CODES'],

  // Calls `transfer` until it is done; a descriptor in non-blocking mode that
  // has nothing to give or take yet is waited for, as a blocking one would
  // be (Node cannot poll a descriptor synchronously: it sleeps a little).
  $angleconvRetried: function(transfer) {
    for (;;) {
      try {
        return transfer();
      } catch (error) {
        if (error.code === 'EOF') return 0;
        if (error.code !== 'EAGAIN' && error.code !== 'EINTR') return -angleconvErrno(error);
        Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 5);
      }
    }
  },
  $angleconvRetried__deps: ['$angleconvErrno'],

  angleconv_host_file_type: function(descriptor) {
    var status;
    try {
      status = require('fs').fstatSync(descriptor);
    } catch (error) {
      return 0;
    }
    if (require('tty').isatty(descriptor)) return 2;
    return status.isFIFO() || status.isSocket() ? 3 : 1;
  },

  angleconv_host_read: function(descriptor, buffer, size) {
    return angleconvRetried(function() {
      return require('fs').readSync(descriptor, HEAPU8, buffer, size, null);
    });
  },
  angleconv_host_read__deps: ['$angleconvRetried'],

  angleconv_host_write: function(descriptor, buffer, size) {
    return angleconvRetried(function() {
      return require('fs').writeSync(descriptor, HEAPU8, buffer, size);
    });
  },
  angleconv_host_write__deps: ['$angleconvRetried'],

  angleconv_host_close: function(descriptor) {
    try {
      require('fs').closeSync(descriptor);
      return 0;
    } catch (error) {
      return -angleconvErrno(error);
    }
  },
  angleconv_host_close__deps: ['$angleconvErrno'],

  // Node ignores SIGPIPE already; a handler of its own for SIGXFSZ makes the
  // system fail the write with EFBIG instead.
  angleconv_host_ignore_write_signals: function() {
    process.on('SIGXFSZ', function() {});
  },
});
