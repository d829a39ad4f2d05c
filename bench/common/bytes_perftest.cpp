// The byte kernels, each body side by side on the same bytes: subtitle-like text of short
// lines, CR LF, as the programs meet it.
#include <cstdio>
#include <string>

#include "bytes.h"
#include "perftest.h"

namespace {

std::string make_text(size_t size) {
  std::string s;
  uint32_t x = 1;
  long number = 1;
  while (s.size() < size) {
    x = x * 1103515245u + 12345u;
    s += std::to_string(number++) + "\r\n00:01:02,345 --> 00:01:04,567\r\n";
    const int n = 20 + static_cast<int>(x >> 16) % 23;
    for (int i = 0; i < n; ++i) s += i % 6 == 5 ? ' ' : static_cast<char>('a' + (x >> i) % 26);
    s += "\r\n\r\n";
  }
  s.append(64, 'a');  // room for the last block's load
  return s;
}

template <typename Eol, typename Find, typename Count, typename Differ, typename Ascii>
void run(const char* body, const std::string& text, Eol eol64, Find find_either, Count count_byte64,
         Differ differ64, Ascii ascii_without) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t blocks = (text.size() - 64) / 64;
  char name[64];

  std::snprintf(name, sizeof name, "%s eol64, per 64 bytes", body);
  perftest(name, static_cast<long>(blocks), [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i < blocks; ++i) {
      const bytes::Eol64 m = eol64(p + 64 * i);
      sum += m.cr ^ m.lf;
    }
    return sum;
  });

  // Line by line: every find starts past the last line end, as a line read does.
  long lines = 0;
  for (char c : text) lines += c == '\n';
  std::snprintf(name, sizeof name, "%s find_either, per line", body);
  perftest(name, lines, [&] {
    uint64_t sum = 0;
    const size_t n = text.size() - 64;
    for (size_t at = 0; at < n;) {
      const size_t k = find_either(p + at, n - at, '\r', '\n');
      sum += k;
      at += k + 2;
    }
    return sum;
  });

  std::snprintf(name, sizeof name, "%s count_byte64 (40 bytes)", body);
  perftest(name, static_cast<long>(blocks), [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i < blocks; ++i) sum += count_byte64(p + 64 * i, 40, ' ');
    return sum;
  });

  std::snprintf(name, sizeof name, "%s differ64", body);
  perftest(name, static_cast<long>(blocks - 1), [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < blocks; ++i) sum += differ64(p + 64 * i, p + 64 * i + 64) & 0xFF;
    return sum;
  });

  std::snprintf(name, sizeof name, "%s ascii_without, per 64 KiB", body);
  perftest(name, static_cast<long>(text.size() / 65536), [&] {
    uint64_t sum = 0;
    for (size_t at = 0; at + 65536 <= text.size(); at += 65536)
      sum += ascii_without(p + at, 65536, 0x0B, 0x0C);
    return sum;
  });
}

}  // namespace

int main() {
  const std::string text = make_text(8 << 20);
  std::printf("%zu bytes\n", text.size());
  namespace p = bytes::portable;
  run("portable", text, p::eol64, p::find_either, p::count_byte64, p::differ64, p::ascii_without);
#if CUECHECK_SSE2_BUILT
  namespace s = bytes::sse2;
  run("sse2    ", text, s::eol64, s::find_either, s::count_byte64, s::differ64, s::ascii_without);
#endif
  return 0;
}
