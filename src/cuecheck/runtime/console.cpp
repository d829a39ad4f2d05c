#include "console.h"

#include <cstring>

#include "platform.h"
#include "shortstr.h"

namespace {

constexpr size_t kConCap = 64 * 1024;
char g_con_buffer[kConCap];
size_t g_con_len;
bool g_con_tty;
bool g_con_sink;
ConsoleSink g_con_sink_fn;
const char* g_con_end = "";  // the console's line end, at most two characters
size_t g_con_end_len;        // 0 before con_init

}  // namespace

void con_init() {
  g_con_tty = plat_console_is_device();
  g_con_end = plat_console_line_end();
  g_con_end_len = std::strlen(g_con_end);
}

void con_set_sink(ConsoleSink sink) {
  g_con_sink = true;
  g_con_sink_fn = sink;
}

void con_flush() {
  if (g_con_len > 0) {
    if (!g_con_sink) {
      plat_console_write(g_con_buffer, g_con_len);
    } else if (g_con_sink_fn != nullptr) {
      g_con_sink_fn(g_con_buffer, g_con_len);
    }
  }
  g_con_len = 0;
}

void con_write(const char* data, size_t n) {
  while (n > 0) {
    size_t room = kConCap - g_con_len;
    size_t k = n < room ? n : room;
    bytes::copy_exact(reinterpret_cast<unsigned char*>(g_con_buffer + g_con_len),
                      reinterpret_cast<const unsigned char*>(data), k);
    g_con_len += k;
    data += k;
    n -= k;
    if (g_con_len == kConCap) con_flush();
  }
  if (g_con_tty) con_flush();
}

void con_text(const char* text) {
  con_write(text, std::strlen(text));
}

void con_line_end() {
  con_text(plat_console_line_end());
}

void con_write_line(const char* data, size_t n) {
  // The line and its end fit the buffer, and con_init has set the end (1 or 2 bytes).
  if (kConCap - g_con_len > n + 2 && g_con_end_len - 1 < 2) {
    char* d = g_con_buffer + g_con_len;
    bytes::copy_exact(reinterpret_cast<unsigned char*>(d),
                      reinterpret_cast<const unsigned char*>(data), n);
    d[n] = g_con_end[0];
    if (g_con_end_len == 2) d[n + 1] = g_con_end[1];
    g_con_len += n + g_con_end_len;
    if (g_con_tty) con_flush();
    return;
  }
  con_write(data, n);
  con_line_end();
}

void con_line(const char* text) {
  con_write_line(text, std::strlen(text));
}

void con_clear() {
  if (!g_con_sink) plat_console_clear();
}

void con_wait_enter() {
  con_flush();
  if (!g_con_sink) plat_console_wait_line();
}

void console_reset() {
  g_con_len = 0;
  g_con_tty = false;
  g_con_sink = false;
  g_con_sink_fn = nullptr;
  g_con_end_len = 0;
}
