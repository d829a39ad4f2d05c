// Every body of every byte kernel (the portable one, the SSE2 one where the compiler has
// it, and the one the build chose) against a plain reference: random bytes rich in the
// ones looked for, at every alignment and length, with the range kernels' input ending
// where its allocation ends so that the sanitizer build catches a load past it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "bytes.h"

namespace {

uint64_t next(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct Body {
  const char* name;
  int (*ctz64)(uint64_t);
  uint64_t (*eq64)(const void*, unsigned char);
  uint64_t (*either64)(const void*, unsigned char, unsigned char);
  bytes::Eol64 (*eol64)(const void*);
  uint64_t (*differ64)(const void*, const void*);
  unsigned (*count_byte64)(const void*, size_t, unsigned char);
  unsigned (*count_byte64x2)(const void*, size_t, const void*, size_t, unsigned char);
  size_t (*count_byte256)(const void*, unsigned char);
  bool (*has_either256)(const void*, unsigned char, unsigned char);
  void (*copy_first64)(unsigned char*, const unsigned char*, size_t);
  size_t (*find_byte)(const void*, size_t, unsigned char);
  size_t (*find_high)(const void*, size_t);
  size_t (*find_either)(const void*, size_t, unsigned char, unsigned char);
  size_t (*count_byte)(const void*, size_t, unsigned char);
  bool (*ascii_without)(const void*, size_t, unsigned char, unsigned char);
  bool (*fits16)(const void*, const unsigned char*, const unsigned char*, const unsigned char*);
  bool (*count_white)(const void*, size_t, bool, size_t&);
  size_t (*find_of4)(const void*, size_t, const unsigned char (&)[4]);
  bool (*plain_line)(const void*, size_t, bool, bytes::PlainLine&);
  bool (*text_line)(const void*, size_t, bytes::TextLine&);
};

std::vector<Body> bodies() {
  namespace p = bytes::portable;
  std::vector<Body> all = {{"portable",       p::ctz64,         p::eq64,         p::either64,
                            p::eol64,         p::differ64,      p::count_byte64, p::count_byte64x2,
                            p::count_byte256, p::has_either256, p::copy_first64, p::find_byte,
                            p::find_high,     p::find_either,   p::count_byte,   p::ascii_without,
                            p::fits16,        p::count_white,   p::find_of4,     p::plain_line,
                            p::text_line}};
#if CUECHECK_SSE2_BUILT
  namespace s = bytes::sse2;
  all.push_back({"sse2",           bytes::ctz64,     s::eq64,         s::either64,
                 s::eol64,         s::differ64,      s::count_byte64, s::count_byte64x2,
                 s::count_byte256, s::has_either256, s::copy_first64, s::find_byte,
                 s::find_high,     s::find_either,   s::count_byte,   s::ascii_without,
                 s::fits16,        s::count_white,   s::find_of4,     s::plain_line,
                 s::text_line});
#endif
  all.push_back({"chosen",
                 bytes::ctz64,
                 bytes::eq64,
                 bytes::either64,
                 bytes::eol64,
                 bytes::differ64,
                 bytes::count_byte64,
                 bytes::count_byte64x2,
                 bytes::count_byte256,
                 bytes::has_either256,
                 bytes::copy_first64,
                 bytes::find_byte,
                 bytes::find_high,
                 bytes::find_either,
                 bytes::count_byte,
                 bytes::ascii_without,
                 bytes::fits16,
                 bytes::count_white,
                 bytes::find_of4,
                 bytes::plain_line,
                 bytes::text_line});
  return all;
}

// The bytes the kernels look for, their neighbours, and both halves of the byte range;
// then the same without those that end a plain line.
const unsigned char kAlphabet[] = {'\r', '\n', '}', ' ', '\t', 0x0B, 0x0C, 0x80, 0xFF, 0x7F, 0,
                                   'a',  '0',  '9', ',', '.',  ':',  '|',  '[',  '<',  '{'};
const unsigned char kPlain[] = {'\r', '\n', '}', ' ', '\t', 0x0B, 0x0C, 0x7F,
                                0,    'a',  '0', '9', ',',  '.',  '|',  '['};

size_t high_ref(const unsigned char* p, size_t n) {
  size_t i = 0;
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

void fill(unsigned char* p, size_t n, uint64_t& x) {
  // A third of the rounds each: few hits (so "none" comes up often), many, and plain text.
  const uint64_t mode = next(x) % 3;
  for (size_t i = 0; i < n; ++i) {
    uint64_t r = next(x);
    if (mode == 0)
      p[i] = r % 9 != 0 ? 'a' : kAlphabet[(r >> 8) % sizeof kAlphabet];
    else if (mode == 1)
      p[i] = kAlphabet[(r >> 8) % sizeof kAlphabet];
    else if (r % 11 == 0 && n - i >= 4)
      std::memcpy(p + i, "[br]", 4), i += 3;
    else
      p[i] = kPlain[(r >> 8) % sizeof kPlain];
  }
}

uint64_t mask_ref(const unsigned char* p, unsigned char a, unsigned char c) {
  uint64_t m = 0;
  for (int i = 0; i < 64; ++i)
    if (p[i] == a || p[i] == c) m |= uint64_t{1} << i;
  return m;
}

size_t find_ref(const unsigned char* p, size_t n, unsigned char a, unsigned char c) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] == a || p[i] == c) return i;
  return n;
}

size_t count_ref(const unsigned char* p, size_t n, unsigned char c) {
  size_t k = 0;
  for (size_t i = 0; i < n; ++i) k += p[i] == c;
  return k;
}

bool ascii_without_ref(const unsigned char* p, size_t n, unsigned char a, unsigned char c) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] >= 0x80 || p[i] == a || p[i] == c) return false;
  return true;
}

bool white_ref(unsigned char c, bool utf8) {
  return c == ' ' || c == '\t' || (utf8 && (c == '\n' || c == '\v' || c == '\f' || c == '\r'));
}

// The white bytes; -1 when utf8 and a byte from 0x80 is among them.
long whites_ref(const unsigned char* p, size_t n, bool utf8) {
  long k = 0;
  for (size_t i = 0; i < n; ++i) {
    if (utf8 && p[i] >= 0x80) return -1;
    k += white_ref(p[i], utf8);
  }
  return k;
}

size_t first_break_ref(const unsigned char* p, size_t n) {
  for (size_t i = 0; i + 4 <= n; ++i)
    if (std::memcmp(p + i, "[br]", 4) == 0) return i;
  return n;
}

size_t breaks_ref(const unsigned char* p, size_t n) {
  size_t k = 0;
  for (size_t i = 0; i + 4 <= n; ++i) {
    if (p[i] == '[' && p[i + 1] == 'b' && p[i + 2] == 'r' && p[i + 3] == ']') {
      ++k;
      i += 3;
    }
  }
  return k;
}

size_t find4_ref(const unsigned char* p, size_t n, const unsigned char (&set)[4]) {
  for (size_t i = 0; i < n; ++i)
    for (unsigned char c : set)
      if (p[i] == c) return i;
  return n;
}

TEST(Bytes, BlockKernelsAtEveryAlignment) {
  const std::vector<Body> all = bodies();
  alignas(64) unsigned char buf[192], other[192];
  uint64_t x = 11;
  for (int round = 0; round < 300; ++round) {
    fill(buf, sizeof buf, x);
    std::memcpy(other, buf, sizeof other);
    for (int k = static_cast<int>(next(x) % 4); k > 0; --k) other[next(x) % sizeof other] ^= 0x20;
    for (size_t off = 0; off < 64; ++off) {
      const unsigned char* p = buf + off;
      for (const Body& b : all) {
        SCOPED_TRACE(b.name);
        for (unsigned char c : {0x0D, 0x7D, 0x20, 0x80}) ASSERT_EQ(b.eq64(p, c), mask_ref(p, c, c));
        ASSERT_EQ(b.either64(p, '\r', '\n'), mask_ref(p, '\r', '\n'));
        ASSERT_EQ(b.either64(p, 0x0B, 0xFF), mask_ref(p, 0x0B, 0xFF));
        const bytes::Eol64 e = b.eol64(p);
        ASSERT_EQ(e.cr, mask_ref(p, '\r', '\r'));
        ASSERT_EQ(e.lf, mask_ref(p, '\n', '\n'));
        uint64_t differ = 0;
        for (int i = 0; i < 64; ++i) differ |= uint64_t{p[i] != other[off + i]} << i;
        ASSERT_EQ(b.differ64(p, other + off), differ);
        for (size_t n = 0; n <= 64; ++n) ASSERT_EQ(b.count_byte64(p, n, ' '), count_ref(p, n, ' '));
        // The second block: the same buffer 64 bytes on, or a shorter way on.
        const unsigned char* q = buf + 64 + (off * 7) % 64;
        for (size_t n = 0; n <= 64; n += 1 + n % 3)
          for (size_t m = 0; m <= 64; ++m)
            ASSERT_EQ(b.count_byte64x2(p, n, q, m, ' '),
                      count_ref(p, n, ' ') + count_ref(q, m, ' '))
                << n << " " << m;
      }
    }
  }
}

TEST(Bytes, RangeKernelsAtEveryAlignmentAndLength) {
  const std::vector<Body> all = bodies();
  uint64_t x = 5;
  for (int round = 0; round < 3; ++round) {
    for (size_t n = 0; n <= 200; ++n) {
      for (size_t off = 0; off < 64; ++off) {
        // The range ends where its allocation does.
        std::unique_ptr<unsigned char[]> mem(new unsigned char[off + n + 1]);
        unsigned char* p = mem.get() + off + 1;
        fill(p, n, x);
        if (n > 0 && round == 2) p[n - 1] = '\n';  // the one hit on the last byte
        for (const Body& b : all) {
          SCOPED_TRACE(b.name);
          ASSERT_EQ(b.find_byte(p, n, '}'), find_ref(p, n, '}', '}')) << n << " " << off;
          ASSERT_EQ(b.find_either(p, n, '\r', '\n'), find_ref(p, n, '\r', '\n')) << n << " " << off;
          ASSERT_EQ(b.find_high(p, n), high_ref(p, n)) << n << " " << off;
          ASSERT_EQ(b.count_byte(p, n, ' '), count_ref(p, n, ' ')) << n << " " << off;
          ASSERT_EQ(b.ascii_without(p, n, 0x0B, 0x0C), ascii_without_ref(p, n, 0x0B, 0x0C))
              << n << " " << off;
          static constexpr unsigned char kSet[4] = {'<', '{', '|', '9'};
          ASSERT_EQ(b.find_of4(p, n, kSet), find4_ref(p, n, kSet)) << n << " " << off;
          for (bool utf8 : {false, true}) {
            size_t whites = 12345;
            const long want = whites_ref(p, n, utf8);
            ASSERT_EQ(b.count_white(p, n, utf8, whites), want >= 0) << n << " " << off;
            if (want >= 0) {
              ASSERT_EQ(whites, static_cast<size_t>(want)) << n << " " << off;
            }
            const bool plain = want >= 0 && find4_ref(p, n, {'<', '{', '<', '{'}) == n;
            bytes::PlainLine line{7, 7, 7, true};
            ASSERT_EQ(b.plain_line(p, n, utf8, line), plain) << n << " " << off;
            if (plain) {
              ASSERT_EQ(line.whites, static_cast<size_t>(want)) << n << " " << off;
              ASSERT_EQ(line.bars, count_ref(p, n, '|')) << n << " " << off;
              ASSERT_EQ(line.brackets, count_ref(p, n, '[') > 0) << n << " " << off;
              ASSERT_EQ(line.breaks, breaks_ref(p, n)) << n << " " << off;
            }
          }
        }
      }
    }
  }
}

// One byte from 0x80 in ASCII at every place, in the 64-byte steps, the 16-byte steps and
// the byte tail; the range ends where its allocation does.
TEST(Bytes, FirstHighByteAtEveryPlace) {
  for (size_t n = 0; n <= 160; ++n) {
    for (size_t at = 0; at <= n; ++at) {
      std::unique_ptr<unsigned char[]> mem(new unsigned char[n + 1]);
      unsigned char* p = mem.get() + 1;
      std::memset(p, 0x7F, n);
      if (at < n) p[at] = at % 2 ? 0x80 : 0xFF;
      for (const Body& b : bodies()) {
        ASSERT_EQ(b.find_high(p, n), at) << b.name << " " << n << " " << at;
      }
    }
  }
}

// Printable text thick with white space and marks; in two rounds of three one byte that
// is not, anywhere, so that it is found in every step and in the tail.
void fill_text(unsigned char* p, size_t n, uint64_t& x) {
  static const unsigned char kText[] = {' ', '\t', 'a', '~', '|', '[', ']', '}', '!', ';', '&'};
  static const unsigned char kStop[] = {'<', '{', 0x7F, 0x80, 0xFF, 0x1F, 0, '\r', '\n', 0x0B};
  for (size_t i = 0; i < n; ++i) {
    if (next(x) % 13 == 0 && n - i >= 4)
      std::memcpy(p + i, "[br]", 4), i += 3;
    else
      p[i] = kText[next(x) % sizeof kText];
  }
  if (n > 0 && next(x) % 3 != 0) p[next(x) % n] = kStop[next(x) % sizeof kStop];
}

TEST(Bytes, TextLineAtEveryAlignmentAndLength) {
  const std::vector<Body> all = bodies();
  uint64_t x = 17;
  size_t plain = 0, two = 0, marks = 0, breaks = 0;
  for (int round = 0; round < 4; ++round) {
    for (size_t n = 0; n <= 100; ++n) {
      for (size_t off = 0; off < 32; ++off) {
        std::unique_ptr<unsigned char[]> mem(new unsigned char[off + n + 1]);
        unsigned char* p = mem.get() + off + 1;
        fill_text(p, n, x);
        bool want = true, want_marks = false, want_two = false;
        for (size_t i = 0; i < n; ++i) {
          const unsigned char c = p[i];
          want &= c == '\t' || (c >= 0x20 && c <= 0x7E && c != '<' && c != '{');
          want_marks |= c == '|' || c == '[';
          want_two |= i > 0 && (c == ' ' || c == '\t') && (p[i - 1] == ' ' || p[i - 1] == '\t');
        }
        plain += want;
        two += want && want_two;
        marks += want && want_marks;
        breaks += want && breaks_ref(p, n) > 0;
        for (const Body& b : all) {
          SCOPED_TRACE(b.name);
          bytes::TextLine line{!want_marks, !want_two, 7, 7, 7, true, true, 7};
          ASSERT_EQ(b.text_line(p, n, line), want) << n << " " << off;
          if (want) {
            ASSERT_EQ(line.marks, want_marks) << n << " " << off;
            ASSERT_EQ(line.two_white, want_two) << n << " " << off;
            ASSERT_EQ(line.whites, count_ref(p, n, ' ') + count_ref(p, n, '\t')) << n << " " << off;
            ASSERT_EQ(line.bars, count_ref(p, n, '|')) << n << " " << off;
            ASSERT_EQ(line.breaks, breaks_ref(p, n)) << n << " " << off;
            ASSERT_EQ(line.first_break, first_break_ref(p, n)) << n << " " << off;
            ASSERT_EQ(line.brackets, count_ref(p, n, '[') > 0) << n << " " << off;
            ASSERT_EQ(line.amp, count_ref(p, n, '&') > 0) << n << " " << off;
            ASSERT_EQ(line.first_break, first_break_ref(p, n)) << n << " " << off;
          }
        }
      }
    }
  }
  // Each answer came up many times.
  EXPECT_GT(plain, 1000u);
  EXPECT_GT(two, 500u);
  EXPECT_GT(plain - two, 100u);
  EXPECT_GT(plain - marks, 100u);
  EXPECT_GT(breaks, 100u);
}

TEST(Bytes, CountsOfLongRuns) {
  // Past 255 rounds of sixteen a byte counter of the SSE2 body would wrap.
  const std::vector<Body> all = bodies();
  uint64_t x = 3;
  for (size_t n : {4079u, 4080u, 4081u, 4096u, 8160u, 8161u, 10007u}) {
    std::vector<unsigned char> same(n, ' '), mixed(n);
    fill(mixed.data(), n, x);
    for (const Body& b : all) {
      SCOPED_TRACE(b.name);
      EXPECT_EQ(b.count_byte(same.data(), n, ' '), n);
      EXPECT_EQ(b.count_byte(mixed.data(), n, ' '), count_ref(mixed.data(), n, ' '));
      EXPECT_EQ(b.find_byte(same.data(), n, 'a'), n);
      size_t whites = 0;
      EXPECT_TRUE(b.count_white(same.data(), n, true, whites));
      EXPECT_EQ(whites, n);
      bytes::PlainLine line{};
      EXPECT_TRUE(b.plain_line(same.data(), n, false, line));
      EXPECT_EQ(line.whites, n);
      bytes::TextLine text{};
      EXPECT_TRUE(b.text_line(same.data(), n, text));
      EXPECT_EQ(text.whites, n);
      EXPECT_TRUE(text.two_white);
      std::vector<unsigned char> bars(n, '|');
      EXPECT_TRUE(b.text_line(bars.data(), n, text));
      EXPECT_EQ(text.bars, n);
      EXPECT_EQ(text.whites, 0u);
    }
  }
}

TEST(Bytes, LineEndsAtBlockEdges) {
  struct Case {
    std::vector<size_t> cr, lf;  // offsets in a two-block buffer
  };
  const Case kCases[] = {
      {{63}, {64}},  // a CR LF pair across two blocks
      {{0}, {1}},
      {{15}, {16}},
      {{31}, {32}},
      {{47}, {48}},
      {{62}, {63}},
      {{127}, {}},
      {{}, {0, 63, 64, 127}},
      {{0, 16, 32, 48}, {}},
      {{16, 17, 18}, {15, 19}},
  };
  const std::vector<Body> all = bodies();
  for (const Case& c : kCases) {
    alignas(64) unsigned char buf[128];
    std::memset(buf, 'a', sizeof buf);
    uint64_t want_cr[2] = {0, 0}, want_lf[2] = {0, 0};
    for (size_t i : c.cr) buf[i] = '\r', want_cr[i / 64] |= uint64_t{1} << (i % 64);
    for (size_t i : c.lf) buf[i] = '\n', want_lf[i / 64] |= uint64_t{1} << (i % 64);
    for (const Body& b : all) {
      for (int block = 0; block < 2; ++block) {
        const bytes::Eol64 e = b.eol64(buf + 64 * block);
        EXPECT_EQ(e.cr, want_cr[block]) << b.name << " block " << block;
        EXPECT_EQ(e.lf, want_lf[block]) << b.name << " block " << block;
        EXPECT_EQ(b.either64(buf + 64 * block, '\r', '\n'), want_cr[block] | want_lf[block]);
        EXPECT_EQ(b.find_either(buf + 64 * block, 64, '\r', '\n'),
                  want_cr[block] | want_lf[block]
                      ? static_cast<size_t>(b.ctz64(want_cr[block] | want_lf[block]))
                      : 64u);
      }
    }
  }
}

TEST(Bytes, CountTrailingZeros) {
  const std::vector<Body> all = bodies();
  uint64_t x = 9;
  for (int i = 0; i < 64; ++i) {
    for (uint64_t above : {uint64_t{0}, ~uint64_t{0}, next(x)}) {
      const uint64_t v = (above << i) | (uint64_t{1} << i);
      for (const Body& b : all) ASSERT_EQ(b.ctz64(v), i) << b.name << " " << v;
    }
  }
}

// Length-prefixed blocks of every length, each at the end of its allocation; the length
// byte itself is looked for too, and must never count.
TEST(Bytes, LengthPrefixedBlocksOfEveryLength) {
  const std::vector<Body> all = bodies();
  uint64_t x = 31;
  for (int round = 0; round < 12; ++round) {
    for (size_t n = 0; n <= 255; ++n) {
      const size_t off = next(x) % 16;
      std::unique_ptr<unsigned char[]> mem(new unsigned char[off + 256]);
      unsigned char* block = mem.get() + off;
      fill(block, 256, x);
      block[0] = static_cast<unsigned char>(n);
      const unsigned char* text = block + 1;
      const unsigned char self = static_cast<unsigned char>(n);
      const unsigned char looked[] = {' ', '|', '\r', self};
      for (const Body& b : all) {
        SCOPED_TRACE(b.name);
        for (unsigned char c : looked)
          ASSERT_EQ(b.count_byte256(block, c), count_ref(text, n, c)) << n << " " << int{c};
        ASSERT_EQ(b.has_either256(block, '[', '|'), find_ref(text, n, '[', '|') != n) << n;
        ASSERT_EQ(b.has_either256(block, self, self), find_ref(text, n, self, self) != n) << n;
        ASSERT_EQ(b.has_either256(block, 'a', self), find_ref(text, n, 'a', self) != n) << n;
      }
    }
  }
}

TEST(Bytes, TailMasks) {
  for (size_t n = 0; n <= 64; ++n) {
    const unsigned char* m = bytes::keep_first(n);
    for (size_t i = 0; i < 64; ++i) ASSERT_EQ(m[i], i < n ? 0xFF : 0) << n << " " << i;
    const uint64_t bits = bytes::low_bits(n);
    for (size_t i = 0; i < 64; ++i) ASSERT_EQ((bits >> i) & 1, i < n ? 1u : 0u) << n;
  }
  for (size_t k = 0; k <= 16; ++k) {
    const unsigned char* m = bytes::keep_last16(k);
    for (size_t i = 0; i < 16; ++i) ASSERT_EQ(m[i], i >= 16 - k ? 0xFF : 0) << k << " " << i;
  }
}

TEST(Bytes, CopiesChangeOnlyTheirBytes) {
  const std::vector<Body> all = bodies();
  uint64_t x = 21;
  unsigned char src[320], dst[320], before[320];
  for (int round = 0; round < 20; ++round) {
    fill(src, sizeof src, x);
    for (size_t n = 0; n <= 255; ++n) {
      fill(dst, sizeof dst, x);
      std::memcpy(before, dst, sizeof dst);
      if (n <= 64) {
        for (const Body& b : all) {
          std::memcpy(dst, before, sizeof dst);
          b.copy_first64(dst, src, n);
          ASSERT_EQ(std::memcmp(dst, src, n), 0) << b.name << " " << n;
          ASSERT_EQ(std::memcmp(dst + n, before + n, sizeof dst - n), 0) << b.name << " " << n;
        }
      }
      std::memcpy(dst, before, sizeof dst);
      bytes::copy_line(dst, src, n);
      ASSERT_EQ(std::memcmp(dst, src, n), 0) << n;
      ASSERT_EQ(std::memcmp(dst + n, before + n, sizeof dst - n), 0) << n;
      // Overlapping both ways, as a line moves within its own buffer.
      std::memcpy(dst, before, sizeof dst);
      bytes::copy_exact(dst + 3, dst, n);
      ASSERT_EQ(std::memcmp(dst + 3, before, n), 0) << n;
      std::memcpy(dst, before, sizeof dst);
      bytes::copy_exact(dst, dst + 5, n);
      ASSERT_EQ(std::memcmp(dst, before + 5, n), 0) << n;
    }
  }
}

TEST(Bytes, FixedForms) {
  const std::vector<Body> all = bodies();
  uint64_t x = 17;
  int fits = 0, misses = 0;
  for (int round = 0; round < 20000; ++round) {
    unsigned char set[16], lo[16], span[16], in[16];
    bool want = true;
    for (int k = 0; k < 16; ++k) {
      uint64_t r = next(x);
      lo[k] = static_cast<unsigned char>(r >> 8);
      span[k] = static_cast<unsigned char>((r >> 16) % 12);
      // Mostly inside the class, now and then one past either end of it.
      const unsigned step = (r >> 24) % 200 == 0 ? span[k] + 1u : (r >> 32) % (span[k] + 1u);
      const unsigned char t =
          static_cast<unsigned char>(lo[k] + ((r >> 40) % 300 == 0 ? 255 : step));
      // A set bit that the byte may lack: the class then takes both forms of it.
      set[k] = (t & 0x02) && (r & 1) ? 0x02 : 0;
      in[k] = set[k] && ((r >> 50) & 1) ? static_cast<unsigned char>(t & ~0x02) : t;
      want &= static_cast<unsigned char>((in[k] | set[k]) - lo[k]) <= span[k];
    }
    (want ? fits : misses) += 1;
    for (const Body& b : all) ASSERT_EQ(b.fits16(in, set, lo, span), want) << b.name;
  }
  EXPECT_GT(fits, 1000);
  EXPECT_GT(misses, 1000);
}

}  // namespace
