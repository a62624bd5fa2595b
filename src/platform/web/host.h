// What the web platform asks of its host: the program's standard handles as
// Node or the page holds them. Each host answers in a JavaScript library of its own (node_host.js,
// browser_host.js), linked into its program; a failure is the C library's
// error number, negated.
#pragma once

extern "C" {
// The kind of descriptor 0, 1 or 2, as GetFileType names it: FILE_TYPE_CHAR
// for a terminal (under Node) or a console (a terminal in the page),
// FILE_TYPE_PIPE, FILE_TYPE_DISK; FILE_TYPE_UNKNOWN for one that is closed.
unsigned angleconv_host_file_type(int descriptor);

// Reads 1 to `size` bytes, waiting for them as a blocking read does: the
// count read, 0 at the end of the data, or -errno.
int angleconv_host_read(int descriptor, void* buffer, unsigned size);

// Writes up to `size` bytes: the count written (at least 1), or -errno.
int angleconv_host_write(int descriptor, const void* buffer, unsigned size);

// Closes a descriptor: 0, or -errno.
int angleconv_host_close(int descriptor);

// Makes a write beyond the file size limit fail with EFBIG rather than end
// the host by signal; a write to a pipe without reader already fails with
// EPIPE in every host.
void angleconv_host_ignore_write_signals();
}
