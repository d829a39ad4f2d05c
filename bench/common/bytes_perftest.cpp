// The byte kernels, each body side by side on the same bytes: subtitle-like text of short
// lines, CR LF, as the programs meet it.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bytes.h"
#include "perftest.h"
#include "sample_text.h"

namespace {

template <typename Eol, typename Find, typename Count, typename Differ, typename Ascii,
          typename Plain>
void run(const char* body, const std::string& text, Eol eol64, Find find_either, Count count_byte64,
         Differ differ64, Ascii ascii_without, Plain plain_line) {
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

  // Each line's count in one pass, as cuelint counts a text line.
  std::snprintf(name, sizeof name, "%s plain_line, per line", body);
  perftest(name, lines, [&] {
    uint64_t sum = 0;
    const size_t n = text.size() - 64;
    for (size_t at = 0; at < n;) {
      const size_t k = bytes::find_either(p + at, n - at, '\r', '\n');
      bytes::PlainLine line{};
      if (plain_line(p + at, k, true, line)) sum += k - line.whites - line.bars;
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

// The short-string kernels on each line of the text, made a length-prefixed 256-byte
// block (the line and the one after it as the two 64-byte blocks of a count).
template <typename Count2, typename Count256, typename Has256>
void run_short(const char* body, const std::string& text, Count2 count_byte64x2,
               Count256 count_byte256, Has256 has_either256) {
  std::vector<std::array<unsigned char, 256>> lines;
  for (size_t at = 0, end; lines.size() < 65536 && (end = text.find('\n', at)) != std::string::npos;
       at = end + 1) {
    std::array<unsigned char, 256> b{};
    const size_t n = std::min<size_t>(end - at, 255);
    b[0] = static_cast<unsigned char>(n);
    std::memcpy(b.data() + 1, text.data() + at, n);
    lines.push_back(b);
  }
  const long count = static_cast<long>(lines.size() - 1);
  char name[64];
  std::snprintf(name, sizeof name, "%s count_byte64x2, per line", body);
  perftest(name, count, [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
      const size_t n = std::min<size_t>(lines[i][0], 64), m = std::min<size_t>(lines[i + 1][0], 64);
      sum += count_byte64x2(lines[i].data() + 1, n, lines[i + 1].data() + 1, m, ' ');
    }
    return sum;
  });
  std::snprintf(name, sizeof name, "%s count_byte256, per line", body);
  perftest(name, count, [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) sum += count_byte256(lines[i].data(), ' ');
    return sum;
  });
  std::snprintf(name, sizeof name, "%s has_either256, per line", body);
  perftest(name, count, [&] {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) sum += has_either256(lines[i].data(), '[', '|');
    return sum;
  });
}

}  // namespace

int main() {
  std::string text = subrip_like_text(8 << 20);
  text.append(64, 'a');  // room for the last block's load
  std::printf("%zu bytes\n", text.size());
  namespace p = bytes::portable;
  run("portable", text, p::eol64, p::find_either, p::count_byte64, p::differ64, p::ascii_without,
      p::plain_line);
  run_short("portable", text, p::count_byte64x2, p::count_byte256, p::has_either256);
#if CUECHECK_SSE2_BUILT
  namespace s = bytes::sse2;
  run("sse2    ", text, s::eol64, s::find_either, s::count_byte64, s::differ64, s::ascii_without,
      s::plain_line);
  run_short("sse2    ", text, s::count_byte64x2, s::count_byte256, s::has_either256);
#endif
  return 0;
}
