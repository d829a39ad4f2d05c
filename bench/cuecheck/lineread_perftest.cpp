// The line read and the counts over its lines: SubRip-like lines of 0..42 characters,
// CR LF, read from a file (the indexed buffer) and from memory (the unindexed read).
#include <cstdio>
#include <cstring>
#include <string>

#include "perftest.h"
#include "readtime.h"
#include "sample_text.h"
#include "shortstr.h"
#include "textfile.h"

int main() {
  const std::string bytes = subrip_like_text(16 << 20);
  long lines = 0;
  for (char c : bytes) lines += c == '\n';
  const char* name = "lineread_perftest.tmp";
  std::FILE* out = std::fopen(name, "wb");
  if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", name);
    return 1;
  }
  std::fclose(out);
  std::printf("%ld lines, %zu bytes\n", lines, bytes.size());

  perftest("read_line, file (indexed), per line", lines, [&] {
    InFile f{};
    in_open(f, name);
    ShortStr s{};
    uint64_t sum = 0;
    while (!exhausted(f)) {
      read_line(f, s);
      sum += s.b[0];
    }
    in_close(f);
    return sum;
  });
  perftest("read_line, memory (unindexed), per line", lines, [&] {
    InFile f{};
    in_open_memory(f, bytes.data(), bytes.size());
    ShortStr s{};
    uint64_t sum = 0;
    while (!exhausted(f)) {
      read_line(f, s);
      sum += s.b[0];
    }
    return sum;
  });

  // The counts over lines as the checkers hold them.
  static ShortStr text[1024];
  {
    InFile f{};
    in_open_memory(f, bytes.data(), bytes.size());
    for (ShortStr& t : text) read_line(f, t);
  }
  perftest("LENG of two lines", 1024, [&] {
    uint64_t sum = 0;
    for (int i = 0; i < 1024; i += 2) sum += LENG(text[i], text[i + 1]);
    for (int i = 1; i < 1023; i += 2) sum += LENG(text[i], text[i + 1]);
    return sum;
  });
  perftest("ss_has '[' or '|'", 1024, [&] {
    uint64_t sum = 0;
    for (const ShortStr& t : text) sum += ss_has(t, '[', '|');
    return sum;
  });
  std::remove(name);
  return 0;
}
