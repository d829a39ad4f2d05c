#include "cut.h"

#include <gtest/gtest.h>

#include <string>

#include "lint_helper.h"

using namespace cuelint;
using cuelint_test::TrickleSource;

namespace {

struct CutCase {
  const char* name;
  Encoding encoding;
  std::uint64_t first;  // where the text begins
  std::string bytes;
  std::uint64_t cut;  // kNoCut: no line too long
};

// Limit 4 bytes, as decoded to UTF-8.
const CutCase kCutCases[] = {
    {"none", Encoding::kUtf8, 0, "abcd\nabcd\r\nabcd\rx", kNoCut},
    {"first_line", Encoding::kUtf8, 0, "abcde\nx", 0},
    {"after_crlf", Encoding::kUtf8, 0, "ab\r\nabcdefgh", 4},
    {"after_lone_cr", Encoding::kUtf8, 0, "ab\rx\r12345", 5},
    {"last_without_end", Encoding::kUtf8, 0, "a\nb\nc\n12345", 6},
    {"last_at_the_limit", Encoding::kUtf8, 0, "a\nb\nc\n1234", kNoCut},
    {"in_the_middle", Encoding::kUtf8, 0, "a\n123456789\nb\n", 2},
    {"after_a_mark", Encoding::kUtf8Bom, 3,
     "\xEF\xBB\xBF"
     "abcd\nx",
     kNoCut},
    {"mark_not_counted", Encoding::kUtf8Bom, 3,
     "\xEF\xBB\xBF"
     "abcde",
     3},
    {"single_byte_counts_bytes", Encoding::kUtf8, 0, "\xE9\xE9\xE9\xE9\n\xE9\xE9\xE9\xE9\xE9", 5},
    {"utf16le_fits", Encoding::kUtf16Le, 2,
     std::string("\xFF\xFE"
                 "a\0b\0c\0d\0\n\0x\0",
                 14),
     kNoCut},
    {"utf16le_over", Encoding::kUtf16Le, 2,
     std::string("\xFF\xFE"
                 "a\0\n\0a\0b\0c\0d\0e\0",
                 16),
     6},
    {"utf16le_measured_decoded", Encoding::kUtf16Le, 2,
     std::string("\xFF\xFE"
                 "\xE9\0\xE9\0\r\0\n\0\xE9\0\xE9\0a\0",
                 16),
     10},
    {"utf16be_three_byte_forms", Encoding::kUtf16Be, 2,
     std::string("\xFE\xFF"
                 "\x20\xAC\x20\xAC",
                 6),
     2},
    {"utf16_pair_is_four", Encoding::kUtf16Be, 2,
     std::string("\xFE\xFF"
                 "\xD8\x3D\xDE\x00\0\n\0a\0b\0c\0d",
                 16),
     kNoCut},
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class LongLineCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(LongLineCut, FoundWhereverTheChunksFall) {
  const CutCase& c = GetParam();
  for (std::size_t step : {1, 2, 3, 5, 7, 64}) {
    TrickleSource src(c.bytes, step);
    EXPECT_EQ(find_cut(src, c.encoding, c.first, 4), c.cut) << c.name << " step " << step;
  }
  // Fed by hand in chunks larger than the limit: every line of a chunk is looked at.
  LongLineScan scan(c.encoding, c.first, 4);
  const auto* p = reinterpret_cast<const unsigned char*>(c.bytes.data());
  bool found = scan.feed(p + c.first, c.bytes.size() - c.first);
  EXPECT_EQ(found, c.cut != kNoCut) << c.name;
  if (found) {
    EXPECT_EQ(scan.cut(), c.cut) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LongLineCut, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CutSource, EndsWhereItIsCut) {
  const std::string text = "0123456789";
  for (std::uint64_t end : {0, 3, 10, 20}) {
    MemorySource inner(text.data(), text.size());
    CutSource cut(inner, end);
    std::string got;
    char buf[4];
    for (std::size_t n; (n = cut.read(buf, sizeof buf)) != 0;) got.append(buf, n);
    EXPECT_EQ(got, text.substr(0, end)) << end;
    cut.seek(2);
    got.clear();
    for (std::size_t n; (n = cut.read(buf, sizeof buf)) != 0;) got.append(buf, n);
    EXPECT_EQ(got, end > 2 ? text.substr(2, end - 2) : "") << end;
    cut.rewind();
    EXPECT_EQ(cut.read(buf, 1), end ? 1u : 0u) << end;
  }
}

}  // namespace
