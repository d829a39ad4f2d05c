#include "spill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "checks.h"
#include "lint_helper.h"

using namespace cuelint;
using cuelint_test::Collect;

namespace {

Fault make(std::uint64_t line, Check c, std::uint64_t column, const std::string& text,
           bool times = true) {
  Fault f;
  f.line = line;
  f.check = c;
  f.column = column;
  f.has_times = times;
  f.has_subtitle = true;
  f.subtitle = 7;
  f.start_ms = 1000;
  f.stop_ms = 2000;
  Msg(f) << text;
  return f;
}

std::string describe(const Fault& f) {
  return std::to_string(f.line) + ":" + check_name(f.check) + ":" + std::to_string(f.column) + ":" +
         std::string(f.text()) + (f.has_times ? "@" : "") + ":" + severity_name(f.severity) + ":" +
         std::to_string(f.subtitle);
}

struct SpillCase {
  const char* name;
  std::size_t faults;
  std::size_t chunk;  // faults given to the spill at a time; the rest stay in memory
  int shape;          // 0: in order; 1: every chunk before the last; 2: few keys, many ties
};

const SpillCase kSpillCases[] = {
    {"in_order_one_run", 20000, 4096, 0},
    {"each_chunk_a_run", 3000, 50, 1},  // more runs than are merged at a time
    {"ties_keep_their_order", 5000, 300, 2},
    {"tail_only_after_one_run", 10, 9, 0},
};

void PrintTo(const SpillCase& c, std::ostream* os) {
  *os << c.name;
}

class Spilling : public ::testing::TestWithParam<SpillCase> {};

// Whatever was given, in whatever runs, comes back in report order, ties in the order given,
// with every stored field as it was and the others from the subtitle.
TEST_P(Spilling, MergesBackInReportOrder) {
  const SpillCase& c = GetParam();
  Options opt;
  std::vector<Fault> given;
  std::uint64_t x = 88172645463325252ull;
  auto rnd = [&x] {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    return x;
  };
  const std::size_t chunks = (c.faults + c.chunk - 1) / c.chunk;
  for (std::size_t i = 0; i < c.faults; ++i) {
    std::size_t k = i / c.chunk, j = i % c.chunk;
    std::uint64_t line = c.shape == 0   ? 3 + i / 7
                         : c.shape == 1 ? 3 + (chunks - k) * 1000 + j
                                        : 3 + rnd() % 3;
    auto check = static_cast<Check>(c.shape == 2 ? 7 + rnd() % 2 : 7 + i % 6);
    std::uint64_t column = c.shape == 2 ? rnd() % 2 : (c.shape == 0 ? i % 7 : j);
    // Repeated messages, as most are, and some that differ, of every length.
    std::string text = rnd() % 4 ? "line-break mark \"|\" in subtitle 7"
                                 : "message " + std::to_string(i) + std::string(i % 230, 'm');
    given.push_back(make(line, check, column, text, rnd() % 8 != 0));
    given.back().severity = opt.severity(check);
  }
  std::vector<Fault> want;
  FaultSpill spill;
  std::size_t at = 0;
  // Each chunk is sorted before it is given, as the checker does.
  while (given.size() - at > c.chunk) {
    std::stable_sort(given.begin() + at, given.begin() + at + c.chunk, report_before);
    spill.add(given.data() + at, c.chunk);
    at += c.chunk;
  }
  std::stable_sort(given.begin() + at, given.end(), report_before);
  ASSERT_FALSE(spill.empty());
  want = given;
  std::stable_sort(want.begin(), want.end(), report_before);
  Fault like = make(0, Check::kFormat, 0, "");
  Collect got;
  spill.merge(given.data() + at, given.size() - at, like, opt, got);
  ASSERT_EQ(got.faults.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    ASSERT_EQ(describe(got.faults[i]), describe(want[i])) << c.name << " at " << i;
  }
  EXPECT_TRUE(spill.empty());
  // Used again, it starts afresh.
  Fault one = make(5, Check::kTags, 1, "again");
  spill.add(&one, 1);
  Collect again;
  spill.merge(nullptr, 0, like, opt, again);
  ASSERT_EQ(again.faults.size(), 1u);
  EXPECT_EQ(again.faults[0].text(), "again");
}

INSTANTIATE_TEST_SUITE_P(Cases, Spilling, ::testing::ValuesIn(kSpillCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
