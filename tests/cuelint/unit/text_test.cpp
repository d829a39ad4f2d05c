#include <gtest/gtest.h>

#include <string>

#include "text.h"

using namespace cuelint;

namespace {

TEST(WholeNumber, Table) {
  struct {
    const char* s;
    std::int64_t v;
  } cases[] = {
      {"1", 1},
      {"01", 1},
      {" \t42 \t", 42},
      {"0", 0},
      {"2147483647", 2147483647},
      {"00000000002147483647", 2147483647},
      {"2147483648", -1},
      {"", -1},
      {"  ", -1},
      {"1 2", -1},
      {"-1", -1},
      {"+1", -1},
      {"1a", -1},
      {"\xC2\xA0"
       "1",
       -1},  // no-break space is not a blank
  };
  for (const auto& c : cases) EXPECT_EQ(whole_number(c.s), c.v) << '"' << c.s << '"';
}

TEST(ParseRate, Table) {
  struct {
    const char* s;
    bool ok;
    std::int64_t num, den;
  } cases[] = {
      {"25", true, 25, 1},
      {"23.976", true, 23976, 1000},
      {"29.97", true, 2997, 100},
      {"9999.999999", true, 9999999999, 1000000},
      {"0.5", true, 5, 10},
      {"0001", true, 1, 1},
      {"0", false, 0, 0},
      {"0.000000", false, 0, 0},
      {"12345", false, 0, 0},
      {"33333333333333333333333333", false, 0, 0},  // found by the fuzz target: overflowed
      {"1.33333333333333333333333", false, 0, 0},
      {"1.1234567", false, 0, 0},
      {"1.", false, 0, 0},
      {".5", false, 0, 0},
      {"", false, 0, 0},
      {" 25", false, 0, 0},
      {"25 ", false, 0, 0},
      {"2,5", false, 0, 0},
      {"-25", false, 0, 0},
  };
  for (const auto& c : cases) {
    Rate r;
    r.num = r.den = -7;
    EXPECT_EQ(parse_rate(c.s, r), c.ok) << c.s;
    if (c.ok) {
      EXPECT_EQ(r.num, c.num) << c.s;
      EXPECT_EQ(r.den, c.den) << c.s;
    } else {
      EXPECT_EQ(r.num, -7) << c.s;
    }
  }
}

TEST(ParseDecimal, DecimalNeverOctal) {
  std::int64_t v = -1;
  EXPECT_TRUE(parse_decimal("020", 1000, v));
  EXPECT_EQ(v, 20);
  EXPECT_TRUE(parse_decimal("1000", 1000, v));
  EXPECT_EQ(v, 1000);
  EXPECT_FALSE(parse_decimal("1001", 1000, v));
  EXPECT_FALSE(parse_decimal("0x10", 1000, v));
  EXPECT_FALSE(parse_decimal("", 1000, v));
  EXPECT_FALSE(parse_decimal("-1", 1000, v));
  EXPECT_FALSE(parse_decimal("99999999999999999999999", 1000, v));
}

TEST(WhiteSpace, EveryUnicodeWhiteSpaceCodePoint) {
  const std::uint32_t ws[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,  0x1680,
                              0x2000, 0x2005, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
  for (std::uint32_t cp : ws) EXPECT_TRUE(is_white_space(cp)) << std::hex << cp;
  const std::uint32_t not_ws[] = {0x08,   0x0E,   0x1F,   0x21,   0x84,   0x86,   0x9F,
                                  0x200B, 0x200D, 0x2060, 0xFEFF, 0x180E, 0x3001, 0x41};
  for (std::uint32_t cp : not_ws) EXPECT_FALSE(is_white_space(cp)) << std::hex << cp;
}

TEST(Blank, UnicodeAndSingleByte) {
  EXPECT_TRUE(is_blank("", true));
  EXPECT_TRUE(is_blank("", false));
  EXPECT_TRUE(is_blank(" \t", true));
  EXPECT_TRUE(is_blank(" \t", false));
  EXPECT_TRUE(is_blank("\v\f", true));
  EXPECT_FALSE(is_blank("\v\f", false));
  EXPECT_TRUE(
      is_blank("\xC2\xA0\xE3\x80\x80\xE2\x80\x8A\xE2\x80\xAF\xE2\x81\x9F\xE1\x9A\x80", true));
  EXPECT_FALSE(is_blank("\xC2\xA0", false));     // two bytes of single-byte text
  EXPECT_FALSE(is_blank("\xE2\x80\x8B", true));  // zero width space is not white space
  EXPECT_FALSE(is_blank(" x ", true));
  EXPECT_FALSE(is_blank("\xE2\x80", true));  // cut short
}

}  // namespace
