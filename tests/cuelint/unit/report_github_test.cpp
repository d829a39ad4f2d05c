#include "report_github.h"

#include <gtest/gtest.h>

#include <string>

#include "checks.h"

using namespace cuelint;

namespace {

TEST(ReportGithub, Escapes) {
  struct Case {
    const char* in;
    const char* data;
    const char* property;
  } cases[] = {
      {"plain words", "plain words", "plain words"},
      {"100% sure", "100%25 sure", "100%25 sure"},
      {"a\r\nb\nc\rd", "a%0D%0Ab%0Ac%0Dd", "a%0D%0Ab%0Ac%0Dd"},
      {"x:1,y", "x:1,y", "x%3A1%2Cy"},
      {"%0A", "%250A", "%250A"},  // an escape in the text stays text
      {"::error::", "::error::", "%3A%3Aerror%3A%3A"},
  };
  for (const Case& c : cases) {
    std::string data, prop;
    github_escape_data(data, c.in);
    github_escape_property(prop, c.in);
    EXPECT_EQ(data, c.data) << c.in;
    EXPECT_EQ(prop, c.property) << c.in;
  }
}

TEST(ReportGithub, OneCommandPerFault) {
  auto w = make_github_writer();
  Fault f;
  f.line = 7;
  f.check = Check::kLineBreakMark;
  Msg(f) << "mark \"|\" in 50%,\nsee";
  std::string out;
  w->fault(out, "a,b:c.srt", f);
  f.severity = Severity::kWarning;
  w->fault(out, "d.srt", f);
  EXPECT_EQ(
      out,
      "::error file=a%2Cb%3Ac.srt,line=7,title=cuelint line-break-mark::mark \"|\" in "
      "50%25,%0Asee\n"
      "::warning file=d.srt,line=7,title=cuelint line-break-mark::mark \"|\" in 50%25,%0Asee\n");
  EXPECT_TRUE(w->summary_on_stderr());
}

}  // namespace
