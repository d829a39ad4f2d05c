#include "shortstr.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Random strings over a small alphabet, with other characters left past their lengths,
// against plain loops over positions 1..length.
TEST(ShortStrings, ScansLookOnlyWithinTheLength) {
  std::mt19937 rng(42);
  const unsigned char alphabet[] = {' ', '|', '[', 'b', 'r', ']', 'x', 0, 255};
  for (int round = 0; round < 20000; ++round) {
    ShortStr a, b;
    for (int i = 0; i < 256; ++i) {
      a.b[i] = alphabet[rng() % sizeof alphabet];
      b.b[i] = rng() % 4 == 0 ? alphabet[rng() % sizeof alphabet] : a.b[i];
    }
    a.b[0] = static_cast<unsigned char>(rng() % 256);
    b.b[0] = rng() % 3 == 0 ? static_cast<unsigned char>(rng() % 256) : a.b[0];
    const int n = a.b[0];
    for (unsigned char c : alphabet) {
      int want = 0;
      for (int i = 1; i <= n; ++i) want += a.b[i] == c;
      ASSERT_EQ(ss_count(a, c), want) << "length " << n << " char " << int(c);
      ASSERT_EQ(ss_has(a, c), want > 0);
      int want_b = 0;
      for (int i = 1; i <= b.b[0]; ++i) want_b += b.b[i] == c;
      ASSERT_EQ(ss_count2(a, b, c), want + want_b) << "lengths " << n << " " << int{b.b[0]};
    }
    bool has2 = false;
    for (int i = 1; i <= n; ++i) has2 |= a.b[i] == '|' || a.b[i] == '[';
    ASSERT_EQ(ss_has(a, '[', '|'), has2);
    bool eq = a.b[0] == b.b[0];
    for (int i = 1; eq && i <= n; ++i) eq = a.b[i] == b.b[i];
    ASSERT_EQ(ss_eq(a, b), eq) << "length " << n;
  }
}

TEST(ShortStrings, CopiesTouchOnlyTheirPositions) {
  for (int from = 1; from <= 40; ++from) {
    for (int n = 0; n <= 40; ++n) {
      ShortStr src, dst;
      for (int i = 0; i < 256; ++i) {
        src.b[i] = static_cast<unsigned char>(i);
        dst.b[i] = 0xEE;
      }
      ss_copy(dst, src, from, n);
      ASSERT_EQ(ss_len(dst), n);
      for (int i = 1; i <= n; ++i) ASSERT_EQ(dst.b[i], from + i - 1);
      for (int i = n + 1; i < 256; ++i) ASSERT_EQ(dst.b[i], 0xEE) << from << " " << n;
    }
  }
}

TEST(ShortStrings, MatchNeverReachesPastTheLastPosition) {
  ShortStr s{};
  ss_set(s, "ab");
  s.b[252] = '[';
  s.b[253] = 'b';
  s.b[254] = 'r';
  s.b[255] = ']';
  EXPECT_TRUE(ss_match(s, 252, "[br]"));  // past the length, inside the buffer
  s.b[251] = '[';
  s.b[252] = 'b';
  s.b[253] = 'r';
  s.b[254] = ']';
  EXPECT_TRUE(ss_match(s, 251, "[br]"));
  EXPECT_TRUE(ss_match(s, 255, "]"));
  EXPECT_FALSE(ss_match(s, 255, "]]"));
  EXPECT_FALSE(ss_match(s, 0, "a"));
}

TEST(ShortStrings, AppendingPast255DropsTheCharacter) {
  ShortStr s{};
  for (int i = 0; i < 300; ++i) ss_push(s, 'z');
  EXPECT_EQ(ss_len(s), 255);
  ss_set(s, std::string(300, 'q').c_str());
  EXPECT_EQ(ss_len(s), 255);
}

}  // namespace
