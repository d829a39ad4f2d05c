// A Windows helper for the end-to-end cases, built with the program's platform layer.
//   win_probe WORDS...      writes arguments 1, 2, ... as the program sees them, one a line
//                           as "n:[text]", after the line "count:N"
//   win_probe hold FILE...  holds each file open in this process, writes "held", and lets
//                           go when its standard input ends
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform.h"

namespace {

void out(const char* text) {
  plat_console_write(text, std::strlen(text));
}

int hold() {
  for (int n = 2; plat_arg(n) != nullptr; ++n) {
    HANDLE h = CreateFileA(plat_arg(n), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      out("cannot open ");
      out(plat_arg(n));
      out("\r\n");
      return 1;
    }
  }
  out("held\r\n");
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  char buf[64];
  DWORD got;
  while (ReadFile(in, buf, sizeof buf, &got, nullptr) && got > 0) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (plat_start(argc, argv) != kConsoleReady) return 1;
  const char* first = plat_arg(1);
  if (first != nullptr && std::strcmp(first, "hold") == 0) return hold();
  int count = 0;
  while (plat_arg(count + 1) != nullptr) ++count;
  char line[300];
  std::snprintf(line, sizeof line, "count:%d\r\n", count);
  out(line);
  for (int n = 1; n <= count; ++n) {
    std::snprintf(line, sizeof line, "%d:[%s]\r\n", n, plat_arg(n));
    out(line);
  }
  return 0;
}
