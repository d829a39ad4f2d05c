#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "encoding.h"
#include "lint_helper.h"
#include "source.h"

using namespace cuelint;
using cuelint_test::TrickleSource;

namespace {

struct EncCase {
  const char* name;
  std::string bytes;
  Encoding encoding;
  bool fault;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const EncCase& c, std::ostream* os) {
  *os << c.name;
}

class EncodingDetection : public ::testing::TestWithParam<EncCase> {};

TEST_P(EncodingDetection, FindsEncodingAtEveryReadSize) {
  const EncCase& c = GetParam();
  for (std::size_t step : {1, 2, 3, 5, 65536}) {
    TrickleSource src(c.bytes, step);
    EncodingResult r = detect_encoding(src);
    EXPECT_EQ(r.encoding, c.encoding) << c.name << " step " << step;
    EXPECT_EQ(r.fault != nullptr, c.fault) << c.name << " step " << step;
  }
}

const EncCase kEncCases[] = {
    {"empty", "", Encoding::kUtf8, false},
    {"ascii", "1\n00:00:01,000 --> 00:00:02,000\nhi\n", Encoding::kUtf8, false},
    {"two_byte", "caf\xC3\xA9", Encoding::kUtf8, false},
    {"four_byte", "\xF0\x9F\x98\x80", Encoding::kUtf8, false},
    {"max_code_point", "\xF4\x8F\xBF\xBF", Encoding::kUtf8, false},
    {"above_max", "\xF4\x90\x80\x80", Encoding::kSingleByte, false},
    {"overlong_two", "\xC0\x80", Encoding::kSingleByte, false},
    {"overlong_three", "\xE0\x80\x80", Encoding::kSingleByte, false},
    {"overlong_four", "\xF0\x80\x80\x80", Encoding::kSingleByte, false},
    {"surrogate", "\xED\xA0\x80", Encoding::kSingleByte, false},
    {"cut_short", "abc\xE2\x82", Encoding::kSingleByte, false},
    {"latin1", "caf\xE9 cr\xE8me", Encoding::kSingleByte, false},
    {"stray_continuation", "a\x80", Encoding::kSingleByte, false},
    {"utf8_mark", "\xEF\xBB\xBFhi", Encoding::kUtf8Bom, false},
    {"utf8_mark_only", "\xEF\xBB\xBF", Encoding::kUtf8Bom, false},
    {"utf8_mark_bad_rest", "\xEF\xBB\xBFh\xE9", Encoding::kUtf8Bom, true},
    {"utf16le",
     std::string("\xFF\xFE"
                 "a\0b\0",
                 6),
     Encoding::kUtf16Le, false},
    {"utf16be", std::string("\xFE\xFF\0a\0b", 6), Encoding::kUtf16Be, false},
    {"utf16le_mark_only", "\xFF\xFE", Encoding::kUtf16Le, false},
    {"utf16le_pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::kUtf16Le, false},
    {"utf16le_odd",
     std::string("\xFF\xFE"
                 "a\0b",
                 5),
     Encoding::kUtf16Le, true},
    {"utf16le_lone_high_at_end",
     std::string("\xFF\xFE"
                 "a\0\x3D\xD8",
                 6),
     Encoding::kUtf16Le, true},
    {"utf16le_lone_low",
     std::string("\xFF\xFE\x00\xDE"
                 "a\0",
                 6),
     Encoding::kUtf16Le, true},
    {"utf16be_high_then_letter", std::string("\xFE\xFF\xD8\x3D\0a", 6), Encoding::kUtf16Be, true},
    {"utf16_odd_after_unpaired",
     std::string("\xFF\xFE\x00\xDE"
                 "a",
                 5),
     Encoding::kUtf16Le, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, EncodingDetection, ::testing::ValuesIn(kEncCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EncodingDetection, OddLengthIsNamedBeforeUnpairedSurrogate) {
  std::string b(
      "\xFF\xFE\x00\xDE"
      "a",
      5);
  MemorySource src(b.data(), b.size());
  EXPECT_STREQ(detect_encoding(src).fault, "UTF-16 text with an odd number of bytes");
}

std::string decode_all(const std::string& bytes, Encoding e, std::size_t step) {
  TrickleSource src(bytes, step);
  Decoder d(src, e);
  std::string out;
  char buf[8];
  for (;;) {
    std::size_t n = d.read(buf, sizeof buf);
    if (n == 0) break;
    out.append(buf, n);
  }
  return out;
}

TEST(Decoder, Utf16LittleEndianToUtf8) {
  // "A", e acute, U+20AC, U+1F600 (a surrogate pair).
  std::string b(
      "\xFF\xFE"
      "A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE",
      12);
  for (std::size_t step : {1, 3, 7, 100})
    EXPECT_EQ(decode_all(b, Encoding::kUtf16Le, step), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")
        << step;
}

TEST(Decoder, Utf16BigEndianToUtf8) {
  std::string b("\xFE\xFF\0A\0\n\x20\xAC", 8);
  EXPECT_EQ(decode_all(b, Encoding::kUtf16Be, 1), "A\n\xE2\x82\xAC");
}

TEST(Decoder, DropsTheUtf8Mark) {
  EXPECT_EQ(decode_all("\xEF\xBB\xBFhi", Encoding::kUtf8Bom, 1), "hi");
  // Without a mark the same bytes are text.
  EXPECT_EQ(decode_all("\xEF\xBB\xBFhi", Encoding::kUtf8, 2), "\xEF\xBB\xBFhi");
}

TEST(Decoder, SingleByteTextStaysAsItIs) {
  EXPECT_EQ(decode_all("caf\xE9", Encoding::kSingleByte, 1), "caf\xE9");
}

TEST(Utf8Validator, UnfinishedSequenceFails) {
  Utf8Validator v;
  const unsigned char b[] = {0xE2, 0x82};
  EXPECT_TRUE(v.feed(b, 2));
  EXPECT_FALSE(v.finish());
  const unsigned char c[] = {0xAC};
  EXPECT_TRUE(v.feed(c, 1));
  EXPECT_TRUE(v.finish());
}

TEST(Utf8Validator, LongAsciiRunThenBadByte) {
  std::string s(1000, 'a');
  s += '\xFF';
  Utf8Validator v;
  EXPECT_FALSE(v.feed(reinterpret_cast<const unsigned char*>(s.data()), s.size()));
  EXPECT_FALSE(v.finish());
}

// UTF-16 as its rule reads, the whole text at once.
const char* utf16_rule(const std::string& b, bool le) {
  if (b.size() % 2) return "UTF-16 text with an odd number of bytes";
  bool high = false;
  for (std::size_t i = 0; i < b.size(); i += 2) {
    unsigned lo = static_cast<unsigned char>(b[i + (le ? 0 : 1)]);
    unsigned hi = static_cast<unsigned char>(b[i + (le ? 1 : 0)]);
    unsigned u = hi << 8 | lo;
    bool is_low = u >= 0xDC00 && u <= 0xDFFF;
    if (high != is_low) return "UTF-16 text with an unpaired surrogate";
    high = u >= 0xD800 && u <= 0xDBFF;
  }
  return high ? "UTF-16 text with an unpaired surrogate" : nullptr;
}

std::string fault_text(const char* f) {
  return f ? f : "none";
}

// Random texts of code units that are often surrogates, fed in pieces of every size: the
// streaming check must agree with the rule wherever the pieces cut the units and pairs.
TEST(Utf16Validator, AgreesWithTheRuleInPiecesOfAnySize) {
  std::uint64_t x = 0x5851F42D4C957F2Dull;
  auto rnd = [&x] {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    return x;
  };
  const unsigned units[] = {0x0041, 0x00E9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xFFFF};
  int faults = 0;
  for (int round = 0; round < 3000; ++round) {
    bool le = rnd() % 2;
    std::string b;
    for (std::size_t n = rnd() % 12; n; --n) {
      unsigned u = units[rnd() % 8];
      char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
      b += le ? lo : hi;
      b += le ? hi : lo;
    }
    if (rnd() % 5 == 0) b += 'x';  // an odd length
    std::string want = fault_text(utf16_rule(b, le));
    faults += want != "none";
    Utf16Validator v(le);
    for (std::size_t at = 0; at < b.size();) {
      std::size_t n = 1 + rnd() % 5;
      if (n > b.size() - at) n = b.size() - at;
      v.feed(reinterpret_cast<const unsigned char*>(b.data() + at), n);
      at += n;
    }
    ASSERT_EQ(fault_text(v.fault()), want) << "round " << round;
  }
  EXPECT_GT(faults, 1000);  // faults and clean texts both met often
  EXPECT_LT(faults, 2900);
}

TEST(PutUtf8, EveryLength) {
  char b[4];
  EXPECT_EQ(put_utf8(0x41, b), 1u);
  EXPECT_EQ(put_utf8(0x7FF, b), 2u);
  EXPECT_EQ(std::string(b, 2), "\xDF\xBF");
  EXPECT_EQ(put_utf8(0xFFFF, b), 3u);
  EXPECT_EQ(std::string(b, 3), "\xEF\xBF\xBF");
  EXPECT_EQ(put_utf8(0x10FFFF, b), 4u);
  EXPECT_EQ(std::string(b, 4), "\xF4\x8F\xBF\xBF");
}

}  // namespace
