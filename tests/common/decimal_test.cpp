// The decimal writer against the C library's, at every change of length and around it.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "decimal.h"

namespace {

std::string written(std::uint64_t v) {
  char buf[decimal::kMaxDigits + 4];
  std::memset(buf, '#', sizeof buf);
  std::size_t n = decimal::write_uint(v, buf);
  EXPECT_EQ(buf[n], '#') << "wrote past its digits for " << v;
  return std::string(buf, n);
}

std::string printed(std::uint64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%" PRIu64, v);
  return buf;
}

TEST(Decimal, MatchesPrintfAtEveryPowerOfTenAndBeside) {
  std::uint64_t p = 1;
  for (int k = 0; k < 20; ++k, p *= 10) {
    for (std::uint64_t v : {p - 1, p, p + 1, 2 * p - 1, 5 * p, 9 * p + p - 1}) {
      EXPECT_EQ(written(v), printed(v));
    }
  }
  for (std::uint64_t v :
       {std::uint64_t{0}, std::uint64_t{UINT64_MAX}, std::uint64_t{UINT64_MAX - 1},
        std::uint64_t{UINT32_MAX}, std::uint64_t{2147483648u}}) {
    EXPECT_EQ(written(v), printed(v));
  }
  EXPECT_EQ(written(UINT64_MAX).size(), decimal::kMaxDigits);
}

TEST(Decimal, MatchesPrintfOnEveryPairAndRandomValues) {
  for (std::uint64_t v = 0; v < 100000; ++v) ASSERT_EQ(written(v), printed(v));
  std::uint64_t x = 1;
  for (int i = 0; i < 100000; ++i) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    std::uint64_t v = x >> (x % 64);
    ASSERT_EQ(written(v), printed(v));
  }
}

}  // namespace
