#include "report_gitlab.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "checks.h"

using namespace cuelint;

namespace {

TEST(ReportGitlab, FingerprintNamesFileRuleLineAndMessage) {
  std::string base = gitlab_fingerprint("a.srt", "order", 12, "msg");
  EXPECT_EQ(base.size(), 32u);
  EXPECT_EQ(base.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(gitlab_fingerprint("a.srt", "order", 12, "msg"), base);
  std::set<std::string> all = {
      base,
      gitlab_fingerprint("b.srt", "order", 12, "msg"),
      gitlab_fingerprint("a.srt", "overlap", 12, "msg"),
      gitlab_fingerprint("a.srt", "order", 13, "msg"),
      gitlab_fingerprint("a.srt", "order", 12, "msh"),
      // Fields moved across their borders.
      gitlab_fingerprint("a.srto", "rder", 12, "msg"),
      gitlab_fingerprint("a.srt", "order1", 2, "msg"),
  };
  EXPECT_EQ(all.size(), 7u);
}

TEST(ReportGitlab, OneArrayOfIssues) {
  auto w = make_gitlab_writer();
  Fault f;
  f.check = Check::kReadingTime;
  f.line = 4;
  Msg(f) << "too fast";
  std::string first, second;
  w->fault(first, "x.srt", f);
  f.severity = Severity::kWarning;
  f.line = 5;
  w->fault(second, "x.srt", f);
  w->fault(second, "y.srt", f);
  std::string doc = w->begin();
  doc += std::string(w->print(first));
  doc += std::string(w->print(second));
  doc += w->end(Totals{});
  nlohmann::json j = nlohmann::json::parse(doc);
  ASSERT_EQ(j.size(), 3u);
  EXPECT_EQ(j[0]["description"], "too fast");
  EXPECT_EQ(j[0]["check_name"], "reading-time");
  EXPECT_EQ(j[0]["severity"], "major");
  EXPECT_EQ(j[1]["severity"], "minor");
  EXPECT_EQ(j[0]["location"]["path"], "x.srt");
  EXPECT_EQ(j[1]["location"]["lines"]["begin"], 5);
  EXPECT_EQ(j[0]["fingerprint"], gitlab_fingerprint("x.srt", "reading-time", 4, "too fast"));
  EXPECT_NE(j[1]["fingerprint"], j[2]["fingerprint"]);

  auto none = make_gitlab_writer();
  EXPECT_EQ(nlohmann::json::parse(none->begin() + none->end(Totals{})), nlohmann::json::array());
}

}  // namespace
