// The conversion of plain digits, eight at once, against the character-by-character one.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "numconv.h"
#include "test_random.h"

namespace {

TEST(DigitConversion, EightAtOnceAgainstTheGeneralConversion) {
  // Texts of 1..12 characters, mostly digits, with one character replaced by a byte next
  // to the digits ("/", ":"), a sign, a blank or anything: 4 million texts.
  uint64_t x = 21;
  long differ = 0;
  for (int round = 0; round < 4000000; ++round) {
    uint64_t r = next(x);
    ShortStr s;
    uint64_t d = next(x);
    for (int i = 0; i < 16; ++i, d /= 10) s.b[i] = static_cast<unsigned char>('0' + d % 10);
    s.b[0] = static_cast<unsigned char>(r % 12 + 1);
    if (r % 3 == 0) {
      static const unsigned char kOdd[] = {'/', ':', '-', '+', ' ', '$', 0, 0xB0, 'a', 0x39 + 0x80};
      s.b[1 + (r >> 8) % s.b[0]] = kOdd[(r >> 16) % sizeof kOdd];
    }
    IntConv a = int_conversion32(s), b = int_conversion32_general(s);
    if ((a.value != b.value || a.code != b.code) && ++differ < 10) ADD_FAILURE() << round;
  }
  EXPECT_EQ(differ, 0);
  ShortStr s;
  std::memcpy(s.b,
              "\x08"
              "12345678",
              9);
  EXPECT_EQ(int_conversion32(s).value, 12345678);
  std::memcpy(s.b,
              "\x09"
              "987654321",
              10);
  EXPECT_EQ(int_conversion32(s).value, 987654321);
}

}  // namespace
