#include "report_sarif.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "checks.h"

using namespace cuelint;

namespace {

TEST(ReportSarif, UriReference) {
  struct Case {
    const char* path;
    char separator;
    const char* uri;
  } cases[] = {
      {"subs/film.srt", '/', "subs/film.srt"},
      {"my film.srt", '/', "my%20film.srt"},
      {"a:b.srt", '/', "a%3Ab.srt"},  // not a scheme
      {"/abs/x y.srt", '/', "file:///abs/x%20y.srt"},
      {"100%#?.srt", '/', "100%25%23%3F.srt"},
      {"caf\xc3\xa9.srt", '/', "caf%C3%A9.srt"},
      {"caf\xe9.srt", '/', "caf%E9.srt"},
      {"a~b_c-d.e", '/', "a~b_c-d.e"},
      // A backslash is a name's own byte where it does not separate.
      {"a\\b.srt", '/', "a%5Cb.srt"},
      {"C:\\x.srt", '/', "C%3A%5Cx.srt"},
      {"subs\\my film.srt", '\\', "subs/my%20film.srt"},
      {"C:\\subs\\x.srt", '\\', "file:///C:/subs/x.srt"},
      {"d:/subs/x.srt", '\\', "file:///d:/subs/x.srt"},
      {"C:x.srt", '\\', "C%3Ax.srt"},  // relative to the drive's folder: no URI of its own
      {"/abs/x.srt", '\\', "file:///abs/x.srt"},
  };
  for (const Case& c : cases) EXPECT_EQ(uri_reference(c.path, c.separator), c.uri) << c.path;
}

Fault fault_of(Check c, Severity s, std::uint64_t line) {
  Fault f;
  f.check = c;
  f.severity = s;
  f.line = line;
  Msg(f) << "words \"quoted\"";
  return f;
}

// The whole document as the batch writes it: begin, the printed lines, end.
nlohmann::json run(Writer& w, const std::string& lines, bool unreadable = false) {
  std::string doc = w.begin();
  std::string copy = lines;
  doc += std::string(w.print(copy));
  if (unreadable) doc += w.unreadable("gone.srt", "No such file or directory");
  doc += w.end(Totals{});
  return nlohmann::json::parse(doc);
}

TEST(ReportSarif, DocumentHasResultsAndTheRulesThatReported) {
  auto w = make_sarif_writer();
  std::string lines;
  w->fault(lines, "a b.srt", fault_of(Check::kOverlap, Severity::kError, 3));
  w->fault(lines, "a b.srt", fault_of(Check::kWhitespace, Severity::kWarning, 9));
  nlohmann::json doc = run(*w, lines);
  EXPECT_EQ(doc["version"], "2.1.0");
  const auto& run0 = doc["runs"][0];
  ASSERT_EQ(run0["results"].size(), 2u);
  EXPECT_EQ(run0["results"][0]["ruleId"], "overlap");
  EXPECT_EQ(run0["results"][0]["level"], "error");
  EXPECT_EQ(run0["results"][1]["level"], "warning");
  EXPECT_EQ(run0["results"][1]["message"]["text"], "words \"quoted\"");
  const auto& loc = run0["results"][1]["locations"][0]["physicalLocation"];
  EXPECT_EQ(loc["artifactLocation"]["uri"], "a%20b.srt");
  EXPECT_EQ(loc["region"]["startLine"], 9);
  const auto& rules = run0["tool"]["driver"]["rules"];
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]["id"], "overlap");
  EXPECT_EQ(rules[1]["id"], "whitespace");
  EXPECT_FALSE(rules[0]["shortDescription"]["text"].get<std::string>().empty());
  EXPECT_EQ(run0["invocations"][0]["executionSuccessful"], true);
}

TEST(ReportSarif, EmptyRunAndUnreadablePath) {
  auto w = make_sarif_writer();
  nlohmann::json doc = run(*w, "", true);
  const auto& run0 = doc["runs"][0];
  EXPECT_TRUE(run0["results"].empty());
  EXPECT_TRUE(run0["tool"]["driver"]["rules"].empty());
  EXPECT_EQ(run0["invocations"][0]["executionSuccessful"], false);
  EXPECT_EQ(run0["invocations"][0]["toolExecutionNotifications"][0]["message"]["text"],
            "gone.srt: No such file or directory");
}

TEST(ReportSarif, ResultsPastTheLimitAreCounted) {
  auto w = make_sarif_writer(3);
  std::string doc = w->begin();
  // Two chunks, as a batch hands them over.
  for (int chunk = 0; chunk < 2; ++chunk) {
    std::string lines;
    for (std::uint64_t i = 1; i <= 3; ++i) {
      w->fault(lines, "f.srt",
               fault_of(chunk ? Check::kOrder : Check::kOverlap, Severity::kError, i));
    }
    doc += std::string(w->print(lines));
  }
  doc += w->end(Totals{});
  nlohmann::json j = nlohmann::json::parse(doc);
  const auto& run0 = j["runs"][0];
  EXPECT_EQ(run0["results"].size(), 3u);
  // A rule whose results were all left out still reported.
  EXPECT_EQ(run0["tool"]["driver"]["rules"].size(), 2u);
  EXPECT_EQ(run0["invocations"][0]["toolExecutionNotifications"][0]["message"]["text"],
            "3 more results not reported: at most 3 results in a run");
}

}  // namespace
