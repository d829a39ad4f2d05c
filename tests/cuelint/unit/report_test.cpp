#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "checks.h"
#include "report.h"

using namespace cuelint;

namespace {

// The report writes the name the format's row gives.
const FormatInfo kFormat = [] {
  FormatInfo f;
  f.name = "subrip";
  return f;
}();

Fault sample() {
  Fault f;
  f.line = 41;
  f.check = Check::kReadingTime;
  f.format = &kFormat;
  f.has_subtitle = true;
  f.subtitle = 12;
  f.has_times = true;
  f.start_ms = 62340;
  f.stop_ms = 63540;
  Msg(f) << "subtitle 12 is shown 1.200 s";
  return f;
}

TEST(Report, TextLine) {
  std::string out;
  append_text(out, "film.srt", sample());
  Fault w = sample();
  w.severity = Severity::kWarning;
  w.check = Check::kWhitespace;
  append_text(out, "film.srt", w);
  EXPECT_EQ(out,
            "film.srt:41: error: subtitle 12 is shown 1.200 s [reading-time]\n"
            "film.srt:41: warning: subtitle 12 is shown 1.200 s [whitespace]\n");
}

// Names from short to longer than the line buffer, messages up to a full one, the largest
// line number: each line the same as written piece by piece.
TEST(Report, TextLineOfEveryLength) {
  for (std::size_t name_len : {1, 200, 260, 470, 480, 600, 5000}) {
    for (std::size_t msg_len : {0, 1, 221, 222}) {
      Fault f = sample();
      f.line = ~std::uint64_t{0};
      f.check = Check::kControlChar;
      f.message_len = 0;
      Msg m(f);
      for (std::size_t i = 0; i < msg_len; ++i) m << std::string_view(&"abcdefgh"[i % 8], 1);
      const std::string name(name_len, 'n');
      std::string out = "before\n";
      append_text(out, name, f);
      EXPECT_EQ(out, "before\n" + name + ":18446744073709551615: error: " +
                         std::string(f.message, f.message_len) + " [control-char]\n")
          << name_len << " " << msg_len;
      EXPECT_EQ(f.message_len, msg_len < 222 ? msg_len : 222);
    }
  }
}

TEST(Report, JsonLineHasExactlyTheMembers) {
  std::string out;
  append_json(out, "film.srt", sample());
  EXPECT_EQ(out,
            "{\"file\":\"film.srt\",\"line\":41,\"format\":\"subrip\",\"check\":\"reading-time\","
            "\"severity\":\"error\",\"subtitle\":12,\"start\":62340,\"stop\":63540,\"message\":"
            "\"subtitle 12 is shown "
            "1.200 s\"}\n");
}

TEST(Report, JsonNullsForFormatFaults) {
  Fault f;
  f.line = 1;
  f.check = Check::kFormat;
  Msg(f) << "x";
  std::string out;
  append_json(out, "a", f);
  EXPECT_EQ(
      out,
      "{\"file\":\"a\",\"line\":1,\"format\":null,\"check\":\"format\",\"severity\":\"error\","
      "\"subtitle\":null,"
      "\"start\":null,\"stop\":null,\"message\":\"x\"}\n");
}

TEST(Report, JsonReplacesBytesThatAreNotUtf8) {
  std::string out;
  append_json(out, "caf\xE9\"\n.srt", sample());
  auto j = nlohmann::json::parse(out);  // throws on invalid JSON
  EXPECT_EQ(j["file"], "caf\xEF\xBF\xBD\"\n.srt");
}

TEST(Report, Summaries) {
  Totals t{3, 2, 17, 17};
  EXPECT_EQ(json_summary(t),
            "{\"summary\":{\"files\":3,\"faulty\":2,\"faults\":17,\"errors\":17,"
            "\"warnings\":0,\"unreadable\":0}}\n");
  EXPECT_EQ(text_summary(t), "cuelint: 3 files checked, 2 with faults, 17 faults\n");
  EXPECT_EQ(text_summary(Totals{1, 1, 1, 1}), "cuelint: 1 file checked, 1 with faults, 1 fault\n");
  EXPECT_EQ(text_summary(Totals{2, 1, 3, 2}),
            "cuelint: 2 files checked, 1 with faults, 3 faults (1 warning)\n");
  EXPECT_EQ(json_summary(Totals{2, 1, 3, 1, 4}),
            "{\"summary\":{\"files\":2,\"faulty\":1,\"faults\":3,\"errors\":1,"
            "\"warnings\":2,\"unreadable\":4}}\n");
}

struct Chunks : Spill {
  std::string all;
  int calls = 0;
  void spill(std::string& text) override {
    all += text;
    text.clear();
    ++calls;
  }
};

TEST(Report, SpillsLargeReportsInChunks) {
  Chunks c;
  std::string out;
  Report r("f.srt", false, out, &c);
  const std::string line = "f.srt:41: error: subtitle 12 is shown 1.200 s [reading-time]\n";
  // A chunk is handed over once it has reached kChunk: four of them, and one line left.
  const std::size_t per_chunk = (Report::kChunk + line.size() - 1) / line.size();
  const std::size_t n = 4 * per_chunk + 1;
  for (std::size_t i = 0; i < n; ++i) r.fault(sample());
  EXPECT_EQ(c.calls, 4);
  EXPECT_EQ(out, line);
  c.all += out;
  EXPECT_EQ(c.all.size(), n * line.size());
}

}  // namespace
