#include "writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "checks.h"

using namespace cuelint;

namespace {

TEST(Writer, RateText) {
  struct Case {
    Rate r;
    const char* text;
  } cases[] = {
      {{25, 1}, "25"},
      {{23976, 1000}, "23.976"},
      {{250000, 10000}, "25"},
      {{2505, 100}, "25.05"},
      {{25005, 1000}, "25.005"},
      {{299700, 10000}, "29.97"},
      {{1, 1000000}, "0.000001"},
      {{10000000, 1000000}, "10"},
  };
  for (const Case& c : cases) EXPECT_EQ(rate_text(c.r), c.text) << c.text;
}

TEST(Writer, FormatNames) {
  struct Case {
    const char* name;
    bool known;
    OutputFormat f;
  } cases[] = {
      {"text", true, OutputFormat::kText},     {"json", true, OutputFormat::kJson},
      {"github", true, OutputFormat::kGithub}, {"sarif", true, OutputFormat::kSarif},
      {"gitlab", true, OutputFormat::kGitlab}, {"JSON", false, OutputFormat::kText},
      {"", false, OutputFormat::kText},        {"sarif2", false, OutputFormat::kText},
  };
  for (const Case& c : cases) {
    OutputFormat f = OutputFormat::kText;
    EXPECT_EQ(find_output_format(c.name, f), c.known) << c.name;
    EXPECT_EQ(f, c.f) << c.name;
  }
}

TEST(Writer, JsonRecordsOfCheckedAndUnreadable) {
  auto w = make_writer(OutputFormat::kJson);
  FormatInfo mdvd;
  mdvd.name = "microdvd";
  FileOutcome o;
  o.format = &mdvd;
  o.encoding = Encoding::kUtf16Le;
  o.faults = 3;
  o.rate = Rate{23976, 1000};
  std::string out;
  w->checked(out, FileRecord{"m.sub", o, 2});
  FileOutcome none;
  none.encoding = Encoding::kSingleByte;
  none.faults = 1;
  w->checked(out, FileRecord{"b\xff.srt", none, 1});
  EXPECT_EQ(out,
            "{\"checked\":{\"file\":\"m.sub\",\"format\":\"microdvd\",\"encoding\":\"utf-16le\","
            "\"rate\":\"23.976\",\"faults\":3,\"errors\":2,\"warnings\":1}}\n"
            "{\"checked\":{\"file\":\"b\xef\xbf\xbd.srt\",\"file_bytes\":\"62ff2e737274\","
            "\"format\":null,\"encoding\":"
            "\"single-byte\",\"rate\":null,\"faults\":1,\"errors\":1,\"warnings\":0}}\n");
  EXPECT_EQ(w->unreadable("d/x.srt", "Permission denied"),
            "{\"unreadable\":{\"path\":\"d/x.srt\",\"reason\":\"Permission denied\"}}\n");
  EXPECT_EQ(w->unreadable("d/\xe9\x1b", "Permission denied"),
            "{\"unreadable\":{\"path\":\"d/\xef\xbf\xbd\\u001b\",\"file_bytes\":\"642fe91b\","
            "\"reason\":\"Permission denied\"}}\n");
  EXPECT_FALSE(w->summary_on_stderr());
  // Text output has no such records.
  auto t = make_writer(OutputFormat::kText);
  std::string text;
  t->checked(text, FileRecord{"m.sub", o, 2});
  EXPECT_EQ(text, "");
  EXPECT_EQ(t->unreadable("d/x.srt", "Permission denied"), "");
}

// A name as each line format writes it: escaped where a terminal or a line reader would be
// fooled, exact in JSON, with the bytes beside it where JSON cannot hold them.
TEST(Writer, NamesOfFaultLines) {
  Fault f;
  f.line = 3;
  f.check = Check::kOrder;
  Msg(f) << "m";
  struct Case {
    OutputFormat format;
    std::string name, line;
  } cases[] = {
      {OutputFormat::kText, "a.srt", "a.srt:3: error: m [order]\n"},
      {OutputFormat::kText, "\x1b]0;x\x07\nb.srt",
       "\\x1B]0;x\\x07\\x0Ab.srt:3: error: m [order]\n"},
      {OutputFormat::kText, "caf\xe9\xC3\xA9.srt", "caf\\xE9\xC3\xA9.srt:3: error: m [order]\n"},
      {OutputFormat::kGithub, "\x1b[2J\r.srt",
       "::error file=\\x1B[2J\\x0D.srt,line=3,title=cuelint order::m\n"},
      {OutputFormat::kGithub, "caf\xe9,x.srt",
       "::error file=caf\\xE9%2Cx.srt,line=3,title=cuelint order::m\n"},
      {OutputFormat::kJson, "\x1b\n.srt",
       "{\"file\":\"\\u001b\\n.srt\",\"line\":3,\"format\":null,\"check\":\"order\","
       "\"severity\":\"error\",\"subtitle\":null,\"start\":null,\"stop\":null,\"message\":\"m\"}"
       "\n"},
      {OutputFormat::kJson, "q\",\"line\":\xff",
       "{\"file\":\"q\\\",\\\"line\\\":\xef\xbf\xbd\",\"file_bytes\":\"71222c226c696e65223aff\","
       "\"line\":3,\"format\":null,\"check\":\"order\",\"severity\":\"error\",\"subtitle\":null,"
       "\"start\":null,\"stop\":null,\"message\":\"m\"}\n"},
  };
  for (const Case& c : cases) {
    std::string out;
    std::unique_ptr<Writer> w = make_writer(c.format);
    w->fault(out, w->fault_name(c.name), f);
    EXPECT_EQ(out, c.line) << c.line;
  }
}

}  // namespace
