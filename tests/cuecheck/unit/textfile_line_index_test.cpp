// The line read over an indexed file buffer against the same bytes read from memory,
// where no index is made: every line, every byte of the line buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "test_random.h"
#include "textfile.h"

namespace {

// About `size` bytes of lines: mostly 0..70 characters, some up to 300; LF, CR or CR LF;
// letters, blanks, Ctrl-Z and now and then a byte-order mark first.
std::string content(uint64_t seed, size_t size) {
  uint64_t x = seed;
  std::string s;
  if (next(x) % 4 == 0) s = "\xEF\xBB\xBF";
  static const char kChars[] = "abc XYZ019{}[]|,:.\t\x1A\xFF";
  while (s.size() < size) {
    uint64_t r = next(x);
    size_t n = r % 16 == 0 ? r / 16 % 301 : r / 16 % 71;
    for (size_t i = 0; i < n; ++i) s += kChars[next(x) % (sizeof kChars - 1)];
    switch (next(x) % 4) {
      case 0:
        s += "\n";
        break;
      case 1:
        s += "\r";
        break;
      default:
        s += "\r\n";
        break;
    }
  }
  if (next(x) % 2 == 0) s += "tail without a line end";
  return s;
}

struct Lines {
  std::string all;  // each line buffer in full, 256 bytes per line
  long count = 0;
};

Lines read_all(InFile& f) {
  Lines out;
  ShortStr s;
  std::memset(&s, 0x55, sizeof s);  // positions past the length must keep their bytes
  while (!exhausted(f)) {
    read_line(f, s);
    out.all.append(reinterpret_cast<const char*>(s.b), sizeof s.b);
    ++out.count;
  }
  EXPECT_EQ(g_io_status, 0);
  return out;
}

TEST(LineIndex, SameLinesAsTheUnindexedRead) {
  const char* name = "textfile_line_index_test.tmp";
  long lines = 0;
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    const std::string bytes = content(seed, 600 * 1024);
    std::FILE* out = std::fopen(name, "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    std::fclose(out);

    InFile m{};
    in_open_memory(m, bytes.data(), bytes.size());
    const Lines want = read_all(m);
    // The full buffer, and small ones that put line ends at every fill boundary.
    for (size_t cap :
         {size_t{0}, size_t{4}, size_t{63}, size_t{64}, size_t{65}, size_t{300}, size_t{4099}}) {
      if (cap != 0) textfile_set_buffer_sizes(cap, 1);
      InFile f{};
      in_open(f, name);
      ASSERT_EQ(g_io_status, 0);
      const Lines got = read_all(f);
      in_close(f);
      textfile_reset();
      EXPECT_EQ(got.count, want.count) << seed << " " << cap;
      EXPECT_TRUE(got.all == want.all) << seed << " " << cap;
      lines += got.count;
    }
  }
  std::remove(name);
  EXPECT_GT(lines, 1000000);
}

}  // namespace
