#include "settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cuelint;

namespace {

TEST(Settings, SeverityAndSelection) {
  // Each row: choices over the classic profile, then the severity of three rules.
  struct Row {
    const char* what;
    RuleChoices c;
    Severity whitespace, order, format;
  };
  auto sets = [](std::vector<RuleChoices::Set> s) {
    RuleChoices c;
    c.sets = std::move(s);
    return c;
  };
  auto sev = [](const char* s) {
    Value v;
    v.text = s;
    return v;
  };
  RuleChoices select_ws;
  select_ws.has_select = true;
  select_ws.select = {Check::kWhitespace};
  RuleChoices warn_off_select = sets({{Check::kWhitespace, "severity", sev("warning")},
                                      {Check::kWhitespace, "severity", sev("off")}});
  warn_off_select.has_extend = true;
  warn_off_select.extend = {Check::kWhitespace};
  RuleChoices select_then_ignore = select_ws;
  select_then_ignore.has_ignore = true;
  select_then_ignore.ignore = {Check::kWhitespace};
  RuleChoices extend_then_ignore;
  extend_then_ignore.has_extend = extend_then_ignore.has_ignore = true;
  extend_then_ignore.extend = {Check::kOrder};
  extend_then_ignore.ignore = {Check::kOrder};
  const Row rows[] = {
      {"nothing", RuleChoices{}, Severity::kOff, Severity::kError, Severity::kError},
      {"select leaves format on", select_ws, Severity::kError, Severity::kOff, Severity::kError},
      {"off remembers warning", warn_off_select, Severity::kWarning, Severity::kError,
       Severity::kError},
      {"parameters alone do not turn on", sets({{Check::kWhitespace, "severity", sev("off")}}),
       Severity::kOff, Severity::kError, Severity::kError},
      {"ignore after select", select_then_ignore, Severity::kOff, Severity::kOff, Severity::kError},
      {"ignore after extend", extend_then_ignore, Severity::kOff, Severity::kOff, Severity::kError},
      {"format as warning", sets({{Check::kFormat, "severity", sev("warning")}}), Severity::kOff,
       Severity::kError, Severity::kWarning},
  };
  for (const Row& r : rows) {
    Options o;
    EXPECT_EQ(apply_choices(o, r.c), nullptr) << r.what;
    EXPECT_EQ(o.severity(Check::kWhitespace), r.whitespace) << r.what;
    EXPECT_EQ(o.severity(Check::kOrder), r.order) << r.what;
    EXPECT_EQ(o.severity(Check::kFormat), r.format) << r.what;
  }
  RuleChoices ignore_format;
  ignore_format.has_ignore = true;
  ignore_format.ignore = {Check::kFormat};
  Options o;
  EXPECT_NE(apply_choices(o, ignore_format), nullptr);
}

TEST(Settings, RuleLists) {
  struct Row {
    const char* text;
    bool ok;
    std::size_t n;
  };
  const Row rows[] = {{"", true, 0},        {"order", true, 1},        {"order,tags", true, 2},
                      {"order,", false, 0}, {",order", false, 0},      {"order,,tags", false, 0},
                      {"Order", false, 0},  {"order, tags", false, 0}, {"nope", false, 0}};
  for (const Row& r : rows) {
    std::vector<Check> got;
    std::string bad;
    EXPECT_EQ(parse_rule_list(r.text, got, bad), r.ok) << r.text;
    if (r.ok) {
      EXPECT_EQ(got.size(), r.n) << r.text;
    }
  }
}

}  // namespace
