#include "stack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cuelint;

namespace {

struct Pos {
  std::uint64_t line;
  std::size_t column;
};

// Pushes and pops in rounds, across the part kept in memory and back: the stack holds what
// a vector would, bottom to top.
TEST(SpillStack, HoldsWhatAVectorHolds) {
  constexpr std::size_t K = SpillStack<Pos>::kKeep;
  struct Case {
    const char* name;
    std::vector<long> rounds;  // > 0: that many pushes; < 0: that many pops
  } cases[] = {
      {"within_memory", {10, -3, 5}},
      {"past_memory_once", {static_cast<long>(K) + 1}},
      {"far_past_then_all_back", {static_cast<long>(3 * K + 17), -static_cast<long>(3 * K + 17)}},
      {"up_and_down_at_the_edge",
       {static_cast<long>(K), 1, -2, 3, -static_cast<long>(K / 2) - 5, static_cast<long>(K)}},
      {"emptied_then_used_again", {static_cast<long>(2 * K), -static_cast<long>(2 * K), 7}},
  };
  for (const Case& c : cases) {
    SpillStack<Pos> s;
    std::vector<Pos> want;
    std::uint64_t next = 1;
    for (long r : c.rounds) {
      for (long i = 0; i < r; ++i, ++next) {
        s.push_back({next, static_cast<std::size_t>(next * 3)});
        want.push_back({next, static_cast<std::size_t>(next * 3)});
      }
      for (long i = 0; i < -r; ++i) {
        ASSERT_FALSE(s.empty()) << c.name;
        s.pop_back();
        want.pop_back();
      }
    }
    EXPECT_EQ(s.empty(), want.empty()) << c.name;
    std::size_t at = 0;
    bool same = true;
    s.for_each([&](const Pos& p) {
      same = same && at < want.size() && p.line == want[at].line && p.column == want[at].column;
      ++at;
    });
    EXPECT_TRUE(same) << c.name;
    EXPECT_EQ(at, want.size()) << c.name;
    s.clear();
    EXPECT_TRUE(s.empty()) << c.name;
  }
}

}  // namespace
