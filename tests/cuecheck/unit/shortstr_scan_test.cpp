// The space counts and mark tests against a byte-by-byte reference, on lines of every
// length whose buffers hold the searched characters past the length too.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "shortstr.h"
#include "test_random.h"

namespace {

int count_ref(const ShortStr& s, unsigned char c) {
  int n = 0;
  for (int i = 1; i <= s.b[0]; ++i) n += s.b[i] == c;
  return n;
}

bool has_ref(const ShortStr& s, unsigned char c1, unsigned char c2) {
  for (int i = 1; i <= s.b[0]; ++i) {
    if (s.b[i] == c1 || s.b[i] == c2) return true;
  }
  return false;
}

TEST(ShortStrScan, CountsAndMarksOfEveryLength) {
  static const unsigned char kChars[] = {' ', ' ', 'a', 'b', '[', '|', 0, 255, ' ', 'x'};
  uint64_t x = 7;
  long differ = 0, compared = 0;
  ShortStr s;
  for (int round = 0; round < 1000000; ++round) {
    uint64_t r = next(x);
    // Rarer marks in half of the lines, so that "none" comes up often.
    const int sparse = static_cast<int>(r & 1);
    for (int i = 0; i < 256; ++i) {
      uint64_t c = next(x);
      s.b[i] = sparse && c % 7 != 0 ? 'a' : kChars[c % sizeof kChars];
    }
    s.b[0] = static_cast<unsigned char>(r % 5 == 0 ? (r >> 8) % 256 : (r >> 8) % 72);
    ++compared;
    if (ss_count(s, ' ') != count_ref(s, ' ') || ss_count(s, '|') != count_ref(s, '|') ||
        ss_has(s, '[', '|') != has_ref(s, '[', '|') || ss_has(s, '[') != has_ref(s, '[', '[')) {
      if (++differ < 10) ADD_FAILURE() << "length " << int{s.b[0]};
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(compared, 1000000);
}

TEST(ShortStrScan, EqualityOfEveryLength) {
  // Pairs equal within their length, some with one byte changed, bytes past the lengths
  // different: 1 million.
  uint64_t x = 23;
  long differ = 0;
  ShortStr a, b;
  for (int round = 0; round < 1000000; ++round) {
    uint64_t r = next(x);
    for (int i = 0; i < 256; ++i) {
      a.b[i] = static_cast<unsigned char>('a' + i % 7);
      b.b[i] = static_cast<unsigned char>(i < 128 ? 'a' + i % 7 : 'z');
    }
    a.b[0] = static_cast<unsigned char>(r % 5 == 0 ? (r >> 8) % 256 : (r >> 8) % 72);
    b.b[0] = r % 11 == 0 ? static_cast<unsigned char>(a.b[0] + 1) : a.b[0];
    if (r % 3 == 0) b.b[1 + (r >> 16) % 255] ^= 1;
    const bool want = a.b[0] == b.b[0] && std::memcmp(a.b + 1, b.b + 1, a.b[0]) == 0;
    if (ss_eq(a, b) != want && ++differ < 10) ADD_FAILURE() << round;
  }
  EXPECT_EQ(differ, 0);
}

TEST(ShortStrScan, FourCharacterMatchAsTheGeneralOne) {
  uint64_t x = 17;
  ShortStr s;
  long differ = 0;
  for (int round = 0; round < 20000; ++round) {
    for (int i = 0; i < 256; ++i) s.b[i] = "[br]|x"[next(x) % 6];
    for (int k = -2; k <= 257; ++k) {
      if (ss_match4(s, k, "[br]") != ss_match(s, k, "[br]") && ++differ < 10) ADD_FAILURE() << k;
    }
  }
  EXPECT_EQ(differ, 0);
}

TEST(ShortStrScan, ExactCopiesOfEverySizeAndOverlap) {
  // Every size 0..255 at every shift -70..70 within one buffer, against memmove: only
  // [d, d + n) changes.
  long differ = 0;
  unsigned char buf[600], want[600];
  for (int n = 0; n <= 255; ++n) {
    for (int shift = -70; shift <= 70; ++shift) {
      for (int i = 0; i < 600; ++i) buf[i] = want[i] = static_cast<unsigned char>(i * 7 + n);
      std::memmove(want + 200 + shift, want + 200, static_cast<size_t>(n));
      bytes::copy_exact(buf + 200 + shift, buf + 200, static_cast<size_t>(n));
      if (std::memcmp(buf, want, sizeof buf) != 0 && ++differ < 10)
        ADD_FAILURE() << n << " " << shift;
    }
  }
  EXPECT_EQ(differ, 0);
}

}  // namespace
