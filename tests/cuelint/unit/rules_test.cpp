#include "rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cuelint;

namespace {

TEST(Rules, NamesInReportOrder) {
  const char* names[] = {"order",          "overlap",      "min-gap",    "reading-time",
                         "min-duration",   "max-duration", "empty",      "line-break-mark",
                         "too-many-lines", "line-length",  "whitespace", "control-char",
                         "tags",           "numbering",    "structure",  "time-code",
                         "frame-code",     "encoding",     "format"};
  ASSERT_EQ(sizeof names / sizeof *names, kCheckCount);
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    Check c = static_cast<Check>(i);
    EXPECT_STREQ(check_name(c), names[i]);
    EXPECT_EQ(rule_info(c).check, c);
    Check found;
    ASSERT_TRUE(find_rule(names[i], found));
    EXPECT_EQ(found, c);
  }
  Check c;
  EXPECT_FALSE(find_rule("Order", c));
  EXPECT_FALSE(find_rule("", c));
}

TEST(Rules, Profiles) {
  struct Row {
    Profile p;
    std::string on;  // one letter per rule: e error, w warning, - off
  };
  const Row rows[] = {
      {Profile::kClassic, "ee-e---ee----eeee-e"},
      {Profile::kNetflix, "eeeeeeeeeeweeeeeeee"},
      {Profile::kAll, "eeeeeeeeeeeeeeeeeee"},
  };
  for (const Row& r : rows) {
    Options o;
    apply_profile(o, r.p);
    std::string got;
    for (std::size_t i = 0; i < kCheckCount; ++i) {
      Severity s = o.severity(static_cast<Check>(i));
      got += s == Severity::kError ? 'e' : s == Severity::kWarning ? 'w' : '-';
    }
    EXPECT_EQ(got, r.on) << profile_name(r.p);
  }
  Options classic;  // the default is the classic profile, at today's figures
  EXPECT_EQ(classic.cps, 20);
  EXPECT_FALSE(classic.count_all);
  EXPECT_EQ(classic.max_lines, 0);
  Options n;
  apply_profile(n, Profile::kNetflix);
  EXPECT_TRUE(n.count_all);
  EXPECT_EQ(n.max_lines, 2);
  EXPECT_EQ(duration_text(n.min_duration), "20f");
  EXPECT_EQ(duration_text(n.max_duration), "7s");
  EXPECT_EQ(duration_text(n.min_gap), "2f");
  EXPECT_EQ(n.line_length, 42);
}

TEST(Rules, Durations) {
  struct Row {
    const char* text;
    bool ok;
    Duration::Unit unit;
    std::int64_t value;
  };
  const Row rows[] = {
      {"500ms", true, Duration::kMs, 500},
      {"0ms", true, Duration::kMs, 0},
      {"7s", true, Duration::kSeconds, 7000},
      {"0.833s", true, Duration::kSeconds, 833},
      {"1.5s", true, Duration::kSeconds, 1500},
      {"1.50s", true, Duration::kSeconds, 1500},
      {"20f", true, Duration::kFrames, 20},
      {"2147483647ms", true, Duration::kMs, 2147483647},
      {"2147483648ms", false, Duration::kMs, 0},
      {"1.2345s", false, Duration::kMs, 0},
      {"1.s", false, Duration::kMs, 0},
      {".5s", false, Duration::kMs, 0},
      {"5", false, Duration::kMs, 0},
      {"5MS", false, Duration::kMs, 0},
      {"-5ms", false, Duration::kMs, 0},
      {"+5ms", false, Duration::kMs, 0},
      {"5 ms", false, Duration::kMs, 0},
      {" 5ms", false, Duration::kMs, 0},
      {"2.5f", false, Duration::kMs, 0},
      {"", false, Duration::kMs, 0},
  };
  for (const Row& r : rows) {
    Duration d;
    ASSERT_EQ(parse_duration(r.text, d), r.ok) << r.text;
    if (!r.ok) continue;
    EXPECT_EQ(d.unit, r.unit) << r.text;
    EXPECT_EQ(d.value, r.value) << r.text;
    EXPECT_EQ(duration_text(d), r.text);  // written back in the unit it was written in
  }
}

Value text(const char* t) {
  Value v;
  v.text = t;
  return v;
}
Value toml_string(const char* t) {
  Value v = text(t);
  v.kind = Value::kString;
  return v;
}
Value toml_int(std::int64_t i) {
  Value v;
  v.kind = Value::kInteger;
  v.integer = i;
  return v;
}

TEST(Rules, ParameterValues) {
  struct Row {
    Check rule;
    const char* key;
    Value value;
    bool ok;
    std::string back;  // the parameter as written back, when ok and not a severity
  };
  const Row rows[] = {
      {Check::kReadingTime, "cps", text("17"), true, "17"},
      {Check::kReadingTime, "cps", text("0"), true, "0"},
      {Check::kReadingTime, "cps", toml_int(1000), true, "1000"},
      {Check::kReadingTime, "cps", toml_int(1001), false, ""},
      {Check::kReadingTime, "cps", toml_string("20"), false, ""},
      {Check::kReadingTime, "cps", text("\"20\""), false, ""},
      {Check::kReadingTime, "count", text("all"), true, "\"all\""},
      {Check::kReadingTime, "count", toml_string("visible"), true, "\"visible\""},
      {Check::kReadingTime, "count", text("\"all\""), false, ""},
      {Check::kReadingTime, "count", text("All"), false, ""},
      {Check::kMinGap, "min", text("2f"), true, "\"2f\""},
      {Check::kMinGap, "min", toml_int(2), false, ""},
      {Check::kMinDuration, "min", toml_string("0.833s"), true, "\"0.833s\""},
      {Check::kMaxDuration, "max", text("6000ms"), true, "\"6000ms\""},
      {Check::kMaxDuration, "min", text("6s"), false, ""},
      {Check::kTooManyLines, "max", text("format"), true, "\"format\""},
      {Check::kTooManyLines, "max", toml_int(3), true, "3"},
      {Check::kTooManyLines, "max", text("0"), false, ""},
      {Check::kLineLength, "max", text("1"), true, "1"},
      {Check::kLineLength, "max", toml_int(2147483647), true, "2147483647"},
      {Check::kLineLength, "max", toml_int(2147483648LL), false, ""},
      {Check::kLineLength, "max", text("0"), false, ""},
      {Check::kOrder, "max", text("1"), false, ""},
      {Check::kOrder, "severity", text("warning"), true, ""},
      {Check::kOrder, "severity", toml_string("Error"), false, ""},
      {Check::kFormat, "severity", text("off"), false, ""},
      {Check::kFormat, "severity", text("warning"), true, ""},
  };
  for (const Row& r : rows) {
    Options o;
    const char* bad = set_param(o, r.rule, r.key, r.value);
    std::string what = std::string(check_name(r.rule)) + "." + r.key + "=" + r.value.text;
    EXPECT_EQ(bad == nullptr, r.ok) << what << (bad ? bad : "");
    if (r.ok && !r.back.empty()) {
      EXPECT_EQ(param_toml(o, r.rule, r.key), r.back) << what;
    }
  }
}

}  // namespace
