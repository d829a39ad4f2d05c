#include "numconv.h"

#include <gtest/gtest.h>

#include "short_text.h"

#include <cmath>
#include <cstring>
#include <string>

#include "runerror.h"

namespace {

struct IntCase {
  const char* text;
  int32_t value;
  int code;  // -1: any non-zero code
};

TEST(IntegerConversion, Table) {
  const IntCase cases[] = {
      {"123", 123, 0},
      {" 42", 42, 0},
      {"\t 42", 42, 0},
      {"42 ", 0, 3},
      {"+7", 7, 0},
      {"-7", -7, 0},
      {"$1F", 31, 0},
      {"$1f", 31, 0},
      {"$", 0, -1},
      {"$0000", 0, 0},
      {"$0001", 1, 0},
      {"-$1", -1, 0},
      {"%101", 5, 0},
      {"%102", 0, 4},
      {"%", 0, -1},
      {"1a", 0, 2},
      {"12.5", 0, 3},
      {"", 0, -1},
      {"   ", 0, -1},
      {"-", 0, -1},
      {"+-5", 0, 2},
      {"- 5", 0, 2},
      {"2147483647", 2147483647, 0},
      {"2147483648", 0, 10},
      {"-2147483648", INT32_MIN, 0},
      {"-2147483649", 0, 11},
      {"4294967295", 0, 10},
      {"$FFFFFFFF", -1, 0},
      {"$80000000", INT32_MIN, 0},
      {"$100000000", 0, 10},
      {"$000000000001", 1, 0},
      {"00000000000000000042", 42, 0},
      {"1A", 0, 2},  // hexadecimal digits count only after "$"
  };
  for (const IntCase& c : cases) {
    IntConv r = int_conversion32(S(c.text));
    EXPECT_EQ(r.value, c.value) << "text [" << c.text << "]";
    if (c.code < 0) {
      EXPECT_NE(r.code, 0) << "text [" << c.text << "]";
    } else {
      EXPECT_EQ(r.code, c.code) << "text [" << c.text << "]";
    }
  }
}

TEST(IntegerConversion, NulInsideTheTextIsABadCharacter) {
  IntConv r =
      int_conversion32(S(std::string("1\0"
                                     "2",
                                     3)));
  EXPECT_EQ(r.value, 0);
  EXPECT_EQ(r.code, 2);
}

TEST(IntegerConversion, SixteenBitsKeepTheLowHalf) {
  const IntCase cases[] = {
      {"59", 59, 0},   {"65535", -1, 0}, {"32768", -32768, 0}, {"-1", -1, 0},
      {"65536", 0, 0}, {"$FFFF", -1, 0}, {"x", 0, 1},
  };
  for (const IntCase& c : cases) {
    IntConv r = int_conversion16(S(c.text));
    EXPECT_EQ(r.value, c.value) << c.text;
    EXPECT_EQ(r.code, c.code) << c.text;
  }
}

struct RealCase {
  const char* text;
  double value;
  int code;  // -1: any non-zero code
};

TEST(RealConversion, Table) {
  const RealCase cases[] = {
      {"25", 25.0, 0},       {"23.976", 23.976, 0}, {"25.", 25.0, 0},    {".5", 0.5, 0},
      {"2.5e1", 25.0, 0},    {"2.5E+1", 25.0, 0},   {"1e-1", 0.1, 0},    {"-25", -25.0, 0},
      {" 30", 30.0, 0},      {"+30", 30.0, 0},      {".", 0.0, 2},       {"-", 0.0, 2},
      {"abc", 0.0, 1},       {"25fps", 0.0, 3},     {"1e", 0.0, -1},     {"1e+", 0.0, -1},
      {"25 ", 0.0, 3},       {"0", 0.0, 0},         {"29.97", 29.97, 0}, {"1e-400", 0.0, 0},
      {"0.000001", 1e-6, 0}, {"1.5.2", 0.0, 4},
  };
  for (const RealCase& c : cases) {
    RealConv r = real_conversion(S(c.text));
    double v = ext_to_double(r.value);
    EXPECT_EQ(v, c.value) << c.text;
    if (c.code < 0) {
      EXPECT_NE(r.code, 0) << c.text;
    } else {
      EXPECT_EQ(r.code, c.code) << c.text;
    }
  }
}

TEST(RealConversion, MinusZeroKeepsItsSign) {
  RealConv r = real_conversion(S("-0"));
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(std::signbit(ext_to_double(r.value)));
}

int stop_code(const char* text, bool store) {
  try {
    RealConv r = real_conversion(S(text));
    if (store) ext_store(r.value, 1);
  } catch (const RunStop& stop) {
    return stop.code;
  }
  return 0;
}

TEST(RealConversion, RangeFaultsStopWith205) {
  runerror_reset();
  EXPECT_EQ(stop_code("1e400", false), 0);   // fits the extended range...
  EXPECT_EQ(stop_code("1e400", true), 205);  // ...but not a double
  EXPECT_EQ(stop_code("1e5000", false), 205);
  EXPECT_EQ(stop_code("1e-5000", false), 205);  // the power is formed before it divides
  EXPECT_EQ(stop_code("0e5000", false), 205);
  EXPECT_EQ(stop_code("9e4932", false), 205);
  EXPECT_EQ(stop_code("1e999999999999", false), 205);
  EXPECT_EQ(stop_code("1e308", true), 0);
}

struct FixedCase {
  double value;
  const char* text;
};

TEST(FixedPointOutput, WidthTwoThreeDecimals) {
  const FixedCase cases[] = {
      {25, "25.000"},
      {23.976, "23.976"},
      {0.25, "0.250"},
      {0.0625, "0.063"},
      {0.0004, "0.000"},
      {-0.0004, "-0.000"},
      {-0.0, "-0.000"},
      {0.0, "0.000"},
      {-12.3456, "-12.346"},
      {9.9996, "10.000"},
      {999.9995, "1000.000"},
      {0.85, "0.850"},
      {1.0005, "1.000"},
      {2.0005, "2.001"},
      {-1.0, "-1.000"},
      {-41.0, "-41.000"},
      {0.15, "0.150"},
      {1e-300, "0.000"},
      {5e-324, "0.000"},
      {2147483648.0, "2147483648.000"},
      {12000000000000.123, "12000000000000.120"},
      {1234567890123456.0, "1234567890123456.000"},
      {1e20, "100000000000000000000.000"},
      {INFINITY, "Inf"},
      {-INFINITY, "-Inf"},
      {NAN, "NaN"},
  };
  for (const FixedCase& c : cases) {
    char out[kFixedTextMax];
    size_t n = fixed_text(c.value, 2, 3, out);
    EXPECT_EQ(std::string(out, n), c.text) << c.value;
  }
}

TEST(FixedPointOutput, WidthPadsWithBlanksAndDecimalsMayBeZero) {
  char out[kFixedTextMax];
  EXPECT_EQ(std::string(out, fixed_text(2.5, 8, 3, out)), "   2.500");
  EXPECT_EQ(std::string(out, fixed_text(2.5, 0, 0, out)), "3");
  EXPECT_EQ(std::string(out, fixed_text(-2.5, 0, 0, out)), "-3");
  EXPECT_EQ(std::string(out, fixed_text(0.05, 2, 1, out)), "0.1");
}

TEST(IntegerOutput, NoPaddingAndAMinusSign) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "0"}, {-5, "-5"}, {2147483647, "2147483647"}, {INT32_MIN, "-2147483648"}, {10, "10"}};
  for (const auto& c : cases) {
    char out[16];
    EXPECT_EQ(std::string(out, int_to_text(c.first, out)), c.second);
    ShortStr s;
    int_to_short(c.first, s);
    EXPECT_TRUE(ss_eq(s, c.second));
  }
}

Ext E(double v) {
  return ext_from_double(v);
}

TEST(TruncationAndRounding, Table) {
  EXPECT_EQ(truncation(E(2.9)), 2);
  EXPECT_EQ(truncation(E(-2.9)), -2);
  EXPECT_EQ(truncation(E(-0.5)), 0);
  EXPECT_EQ(truncation(E(3e9)), INT32_MIN);
  EXPECT_EQ(truncation(E(-3e9)), INT32_MIN);
  EXPECT_EQ(truncation(E(NAN)), INT32_MIN);
  EXPECT_EQ(truncation(E(2147483647.9)), 2147483647);
  EXPECT_EQ(rounding(E(0.5), 1), 0);
  EXPECT_EQ(rounding(E(1.5), 1), 2);
  EXPECT_EQ(rounding(E(2.5), 1), 2);
  EXPECT_EQ(rounding(E(3.5), 1), 4);
  EXPECT_EQ(rounding(E(-2.5), 1), -2);
  EXPECT_EQ(rounding(E(-2.6), 1), -3);
  EXPECT_EQ(rounding(E(2.4999999), 1), 2);
  EXPECT_EQ(rounding(E(-2147483648.0), 1), INT32_MIN);
}

TEST(TruncationAndRounding, RoundingOutsideThirtyTwoBitsStopsWith207) {
  runerror_reset();
  for (double v : {2147483647.5, 3e9, -2147483649.0, static_cast<double>(NAN)}) {
    int code = 0;
    try {
      rounding(E(v), 1);
    } catch (const RunStop& stop) {
      code = stop.code;
    }
    EXPECT_EQ(code, 207) << v;
  }
}

}  // namespace
