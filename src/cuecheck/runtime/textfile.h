// Text files: the subtitle file read line by line, "errors.txt" written through a buffer,
// the pending I/O status and the I/O check.
//
// A failed operation stores its code as the pending I/O status; while a code is pending
// every further operation returns at once without effect (a read yields an empty line,
// the end-of-file test yields true). The I/O check that follows each operation takes the
// code and stops the run with it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform.h"
#include "shortstr.h"

// A file open for reading. The window buf[pos..len) holds the unread bytes that have
// been fetched; `drained` says that no more will come. `ends`, when not null, marks every
// CR and LF of buf[0..len) as a set bit (bit i % 64 of word i / 64), with no bit set
// from len on.
struct InFile {
  PlatFile file;
  bool open;
  bool drained;
  const unsigned char* buf;
  size_t pos, len;
  const uint64_t* ends;
};

// A file open for writing: bytes collect in the buffer and go to the system when it is
// full, on flush and at the close. Without a file the bytes are dropped (a sink for tests).
struct OutFile {
  PlatFile file;
  bool open;
  size_t len;
  unsigned char* buf;
  size_t cap;
};

// The subtitle file. The line read keeps a UTF-8 byte-order mark at the very start of
// the file out of the first line.
void in_open(InFile& f, const char* name);
void in_open_memory(InFile& f, const void* data, size_t size);
void in_close(InFile& f);

// The line read: the next line into positions 1..n of `s`, length n; positions past n are
// kept. A line ends at LF, CR, or CR LF; a line longer than 255 characters is cut and its
// rest dropped with the line end. At the end of the file it yields an empty line.
void read_line(InFile& f, ShortStr& s);

// The pending I/O status: 0, or the code of the failed operation.
extern int g_io_status;

// The end-of-file test: no byte left, or Ctrl-Z next. Consumes nothing.
bool at_eof_slow(InFile& f);
inline bool at_eof(InFile& f) {
  if (f.pos < f.len && g_io_status == 0) return f.buf[f.pos] == 26;
  return at_eof_slow(f);
}

// True when the file has no byte left at all (Ctrl-Z or not).
bool exhausted(InFile& f);

void out_create(OutFile& f, const char* name);
void out_open_sink(OutFile& f);
void out_write(OutFile& f, const void* data, size_t n);
void out_flush(OutFile& f);
void out_close(OutFile& f);

// The line end of "errors.txt": CR LF.
void out_line_end(OutFile& f);

// The I/O check: stops the run when an operation left a pending code.
[[noreturn]] void io_stop(uint32_t place);
inline void io_check(uint32_t place) {
  if (g_io_status != 0) io_stop(place);
}

// Writes out what is already in the buffer of `f`, ignoring failures: used on the way to a
// run-time error report, so that every line already written reaches the disk.
void out_salvage(OutFile& f);

// The line read, the end-of-file test and the last-byte test, each with its I/O check.
inline void read_line_checked(InFile& f, ShortStr& s, uint32_t place) {
  read_line(f, s);
  io_check(place);
}

inline bool at_eof_checked(InFile& f, uint32_t place) {
  bool end = at_eof(f);
  io_check(place);
  return end;
}

inline bool exhausted_checked(InFile& f, uint32_t place) {
  bool end = exhausted(f);
  io_check(place);
  return end;
}

// n bytes and the line end, as out_write and out_line_end would write them.
void out_line(OutFile& f, const void* data, size_t n);

// n bytes and the line end to `f`, then the I/O check.
inline void out_line_checked(OutFile& f, const void* data, size_t n, uint32_t place) {
  out_line(f, data, n);
  io_check(place);
}

// The buffer sizes: the read and the write buffer's capacity, at most their full size
// (which reset brings back). Tests make them small to reach every place where one fills.
void textfile_set_buffer_sizes(size_t in_cap, size_t out_cap);

void textfile_reset();
