#include "textfile.h"

#include <cassert>
#include <cstring>

#include "errcodes.h"
#include "platform.h"
#include "runerror.h"

namespace {

// One subtitle file is read at a time; its bytes come through this buffer. The 64 bytes
// past its end let a line's copy load 64 bytes from any position.
constexpr size_t kInCap = 256 * 1024;
alignas(64) unsigned char g_in_buffer[kInCap + 64];
size_t g_in_cap = kInCap;

// The line ends of the buffer's bytes (InFile::ends), and one zero word past them so
// that a 64-bit window may start in the last word.
uint64_t g_in_ends[kInCap / 64 + 2];

// Marks the CR and LF bytes of g_in_buffer[0..len) in g_in_ends: one pass, 64 bytes at
// a time, so that the line read finds each line's end with a shift and a bit count.
void index_line_ends(size_t len) {
  const size_t words = (len + 63) / 64;
  for (size_t w = 0; w < words; ++w) g_in_ends[w] = bytes::either64(g_in_buffer + 64 * w, 13, 10);
  if (len % 64 != 0) g_in_ends[words - 1] &= bytes::low_bits(len % 64);
  g_in_ends[words] = 0;
  g_in_ends[words + 1] = 0;
}

}  // namespace

int g_io_status;

namespace {

void fail(int code) {
  if (g_io_status == 0) g_io_status = code;
}

// Fetches more bytes when the window is used up. False when there are none.
bool fill(InFile& f) {
  if (f.pos < f.len) return true;
  if (f.drained || g_io_status != 0) return false;
  size_t got = 0;
  int code = plat_read(f.file, g_in_buffer, g_in_cap, &got);
  f.buf = g_in_buffer;
  f.pos = 0;
  f.len = got;
  index_line_ends(got);
  f.ends = g_in_ends;
  if (code != 0) fail(code);
  if (got == 0) f.drained = true;
  return got > 0;
}

// Position of the first CR or LF in [p, end), or end.
const unsigned char* find_line_end(const unsigned char* p, const unsigned char* end) {
  return p + bytes::find_either(p, static_cast<size_t>(end - p), 10, 13);
}

// Drops the line end at the read position: LF, CR, or CR followed by LF.
void skip_line_end(InFile& f) {
  unsigned char c = f.buf[f.pos++];
  if (c == 13 && fill(f) && f.buf[f.pos] == 10) ++f.pos;
}

void skip_byte_order_mark(InFile& f) {
  // The three bytes may arrive in more than one read from a pipe.
  while (!f.drained && f.len - f.pos < 3 && plat_is_file(f.file) && g_io_status == 0) {
    if (f.buf != g_in_buffer) {
      std::memmove(g_in_buffer, f.buf + f.pos, f.len - f.pos);
    } else if (f.pos > 0) {
      std::memmove(g_in_buffer, g_in_buffer + f.pos, f.len - f.pos);
    }
    f.len -= f.pos;
    f.pos = 0;
    f.buf = g_in_buffer;
    size_t got = 0;
    int code = plat_read(f.file, g_in_buffer + f.len, g_in_cap - f.len, &got);
    if (code != 0) fail(code);
    if (got == 0) f.drained = true;
    f.len += got;
  }
  if (f.len - f.pos >= 3 && f.buf[f.pos] == 0xEF && f.buf[f.pos + 1] == 0xBB &&
      f.buf[f.pos + 2] == 0xBF) {
    f.pos += 3;
  }
  if (f.buf == g_in_buffer) {
    index_line_ends(f.len);
    f.ends = g_in_ends;
  }
}

}  // namespace

void in_open(InFile& f, const char* name) {
  if (g_io_status != 0) return;
  if (f.open) in_close(f);
  f = InFile{kNoFile, false, false, g_in_buffer, 0, 0, nullptr};
  PlatFile file;
  if (int code = plat_open_read(name, &file)) {
    fail(code);
    return;
  }
  f.file = file;
  f.open = true;
  skip_byte_order_mark(f);
}

void in_open_memory(InFile& f, const void* data, size_t size) {
  f = InFile{kNoFile, true, true, static_cast<const unsigned char*>(data), 0, size, nullptr};
  skip_byte_order_mark(f);
}

void in_close(InFile& f) {
  if (g_io_status != 0) return;
  int code = plat_close(f.file);
  f = InFile{kNoFile, false, true, g_in_buffer, 0, 0, nullptr};
  if (code != 0) fail(code);
}

void read_line(InFile& f, ShortStr& s) {
  // The usual case: a line of under 255 characters whose line end and the byte after it
  // lie in the indexed bytes. The marks come 64 at a time from two words; most lines end
  // within the first 64.
  if (f.ends != nullptr && g_io_status == 0) {
    const size_t pos = f.pos;
    for (size_t at = pos; at < f.len && at - pos < 255; at += 64) {
      const size_t w = at / 64, sh = at % 64;
      const uint64_t window = (f.ends[w] >> sh) | ((f.ends[w + 1] << 1) << (63 - sh));
      if (window == 0) continue;
      const size_t k = at - pos + static_cast<size_t>(bytes::ctz64(window));
      if (k >= 255 || pos + k + 1 >= f.len) break;
      const unsigned char* p = f.buf + pos;
      bytes::copy_line(s.b + 1, p, k);
      s.b[0] = static_cast<unsigned char>(k);
      f.pos = pos + k + 1 + (p[k] == 13 && p[k + 1] == 10);
      return;
    }
  }
  // Longer lines, and lines that reach the end of the bytes fetched.
  if (f.len - f.pos > 256 && g_io_status == 0) {
    const unsigned char* p = f.buf + f.pos;
    const unsigned char* e = find_line_end(p, p + 255);
    if (e < p + 255) {
      size_t k = static_cast<size_t>(e - p);
      bytes::copy_exact(s.b + 1, p, k);
      s.b[0] = static_cast<unsigned char>(k);
      f.pos += k + (e[0] == 13 && e[1] == 10 ? 2 : 1);
      return;
    }
  }
  int n = 0;
  if (g_io_status != 0 || !f.open) {
    if (!f.open) fail(kErrFileNotOpen);
    s.b[0] = 0;
    return;
  }
  for (;;) {
    if (!fill(f)) break;  // end of the file: the line ends here
    const unsigned char* p = f.buf + f.pos;
    size_t room = static_cast<size_t>(255 - n);
    size_t avail = f.len - f.pos;
    const unsigned char* stop = p + (avail < room ? avail : room);
    const unsigned char* e = find_line_end(p, stop);
    size_t k = static_cast<size_t>(e - p);
    bytes::copy_exact(s.b + 1 + n, p, k);
    n += static_cast<int>(k);
    f.pos += k;
    if (e < stop) {
      skip_line_end(f);
      break;
    }
    if (n == 255) {
      // The line is full: drop the rest of it up to and with its line end.
      while (fill(f)) {
        const unsigned char* q = f.buf + f.pos;
        const unsigned char* r = find_line_end(q, f.buf + f.len);
        f.pos += static_cast<size_t>(r - q);
        if (f.pos < f.len) {
          skip_line_end(f);
          break;
        }
      }
      break;
    }
  }
  s.b[0] = static_cast<unsigned char>(n);
}

bool at_eof_slow(InFile& f) {
  if (g_io_status != 0) return true;
  if (!f.open) {
    fail(kErrFileNotOpen);
    return true;
  }
  if (!fill(f)) return true;
  return f.buf[f.pos] == 26;
}

bool exhausted(InFile& f) {
  return g_io_status != 0 || !f.open || !fill(f);
}

namespace {

constexpr size_t kOutCap = 64 * 1024;
unsigned char g_out_buffer[kOutCap];
size_t g_out_cap = kOutCap;

}  // namespace

void out_create(OutFile& f, const char* name) {
  if (g_io_status != 0) return;
  f = OutFile{kNoFile, false, 0, g_out_buffer, g_out_cap};
  PlatFile file;
  if (int code = plat_create_write(name, &file)) {
    fail(code);
    return;
  }
  f.file = file;
  f.open = true;
}

void out_open_sink(OutFile& f) {
  f = OutFile{kNoFile, true, 0, g_out_buffer, g_out_cap};
}

void out_flush(OutFile& f) {
  if (f.len == 0) return;
  size_t n = f.len;
  f.len = 0;
  if (!plat_is_file(f.file)) return;
  if (int code = plat_write(f.file, f.buf, n)) fail(code);
}

void out_write(OutFile& f, const void* data, size_t n) {
  if (g_io_status != 0) return;
  if (!f.open) {
    fail(kErrFileNotOpen);
    return;
  }
  const unsigned char* p = static_cast<const unsigned char*>(data);
  while (n > 0) {
    size_t room = f.cap - f.len;
    size_t k = n < room ? n : room;
    std::memcpy(f.buf + f.len, p, k);
    f.len += k;
    p += k;
    n -= k;
    if (f.len == f.cap) {
      out_flush(f);
      if (g_io_status != 0) return;
    }
  }
}

void out_line_end(OutFile& f) {
  out_write(f, "\r\n", 2);
}

void out_line(OutFile& f, const void* data, size_t n) {
  if (g_io_status == 0 && f.open && f.cap - f.len > n + 2) {  // the buffer does not fill
    unsigned char* d = f.buf + f.len;
    bytes::copy_exact(d, static_cast<const unsigned char*>(data), n);
    d[n] = '\r';
    d[n + 1] = '\n';
    f.len += n + 2;
    return;
  }
  out_write(f, data, n);
  out_line_end(f);
}

void out_close(OutFile& f) {
  if (g_io_status != 0) return;
  if (!f.open) {
    fail(kErrFileNotOpen);
    return;
  }
  out_flush(f);
  int code = plat_close(f.file);
  f.file = kNoFile;
  f.open = false;
  if (code != 0) fail(code);
}

void out_salvage(OutFile& f) {
  if (f.open && plat_is_file(f.file) && f.len > 0) plat_write(f.file, f.buf, f.len);
  f.len = 0;
}

void io_stop(uint32_t place) {
  int code = g_io_status;
  g_io_status = 0;
  run_error(code, place);
}

void textfile_set_buffer_sizes(size_t in_cap, size_t out_cap) {
  assert(in_cap >= 4 && in_cap <= kInCap);  // the byte-order mark needs three at once
  assert(out_cap >= 1 && out_cap <= kOutCap);
  g_in_cap = in_cap;
  g_out_cap = out_cap;
}

void textfile_reset() {
  g_io_status = 0;
  g_in_cap = kInCap;
  g_out_cap = kOutCap;
}
