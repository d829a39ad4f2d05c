#include <gtest/gtest.h>

#include <string>

#include "lint_helper.h"
#include "microdvd.h"

using namespace cuelint;
using cuelint_test::lint_brief;

namespace {

struct SubCase {
  const char* name;
  std::string text;
  const char* faults;
};

class MicroDvd : public ::testing::TestWithParam<SubCase> {};

TEST_P(MicroDvd, Table) {
  EXPECT_EQ(lint_brief(GetParam().text), GetParam().faults) << GetParam().name;
}

const std::string X20(20, 'x');

const SubCase kSubCases[] = {
    {"clean", "{0}{25}" + X20 + "\n{25}{50}" + X20 + "\n", ""},
    {"too_short_at_25", "{0}{25}" + X20 + "y\n", "1:reading-time@0-1000"},
    // 24 frames at 23.976 per second are 1.001 s: room for 20.02 characters.
    {"rate_line", "{1}{1}23.976\n{0}{24}" + X20 + "\n", ""},
    {"rate_line_too_short", "{1}{1}23.976\n{0}{24}" + X20 + "y\n", "2:reading-time@0-1001"},
    {"rate_line_zero", "{0}{0}50\n{0}{50}" + X20 + "\n", ""},
    {"rate_line_after_other_lines", "{junk\n\n{DEFAULT}{y:i}\n{1}{1}30\n{0}{30}" + X20 + "\n",
     "1:frame-code"},
    {"rate_1000", "{1}{1}1000\n{0}{1000}abc\n", ""},
    {"rate_above_1000_is_text", "{1}{1}1000.5\n", "1:reading-time@40-40"},
    {"rate_below_1_is_text", "{1}{1}0.5\n", "1:reading-time@40-40"},
    {"rate_with_blank_is_text", "{1}{1}25 \n", "1:reading-time@40-40"},
    {"other_frames_are_text", "{2}{2}25\n", "1:reading-time@80-80"},
    {"mixed_frames_are_text", "{0}{1}25\n", "1:reading-time@0-40"},
    {"only_first_subtitle_line", "{0}{25}a\n{1}{1}23.976\n",
     "2:overlap@40-40 2:reading-time@40-40"},
    {"default_lines_skipped", "{DEFAULT}{c:$0000ff}\n{default}\n{0}{25}a\n", "2:frame-code"},
    {"bad_frames",
     "{-1}{5}x\n{}{5}x\n{2147483648}{1}x\n{1}{2147483647}x\n{5}x\n {1}{2}x\n{1}{2 }x\n",
     "1:frame-code 2:frame-code 3:frame-code 5:frame-code 6:frame-code 7:frame-code"},
    {"frame_code_is_not_previous", "{0}{10}a\n{x}{100}\n{10}{20}b\n", "2:frame-code"},
    {"br_marks", "{0}{100}a[br]b|c[br]\n", "1:line-break-mark@0-4000 1:line-break-mark@0-4000"},
    {"markup_not_counted", "{0}{25}{y:i}" + X20 + "\n", ""},
    {"markup_and_pipe", "{0}{25}{y:i}" + X20 + "|{c:$ff}y\n", "1:reading-time@0-1000"},
    {"order", "{10}{5}long text here\n", "1:order@400-200"},
    {"order_then_overlap", "{10}{5}a\n{4}{8}b\n", "1:order@400-200 2:overlap@160-320"},
    {"blank_lines", "\n  \n{0}{25}a\n\n", ""},
    {"empty_text", "{0}{0}\n", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, MicroDvd, ::testing::ValuesIn(kSubCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MicroDvd, FpsOptionWinsOverTheRateLine) {
  Options opt;
  opt.fps_given = true;
  opt.fps = Rate{25, 1};
  // At 25 per second 24 frames are 0.96 s: 19.2 characters.
  EXPECT_EQ(lint_brief("{1}{1}23.976\n{0}{24}" + X20 + "\n", opt), "2:reading-time@0-960");
}

TEST(MicroDvd, MillisecondsRoundHalvesUp) {
  Options opt;
  opt.fps_given = true;
  opt.fps = Rate{16, 1};  // frame 1 is 62.5 ms, frame 3 187.5 ms
  EXPECT_EQ(lint_brief("{3}{1}x\n", opt), "1:order@188-63");
}

TEST(MicroDvd, MessagesShowFramesAndTheRate) {
  auto f = cuelint_test::lint_bytes("{1}{1}23.976\n{0}{24}" + X20 + "y\n");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].text(),
            "the subtitle at line 2 is shown 1.001 s (24 frames at 23.976 per second); its 21 "
            "characters need 1.050 s (21.0 per second; at most 20)");
  EXPECT_EQ(f[0].format, &kMicroDvd);
  EXPECT_FALSE(f[0].has_subtitle);
}

TEST(MicroDvd, LineParsing) {
  std::int64_t a = -1, b = -1;
  std::size_t at = 0;
  EXPECT_TRUE(parse_microdvd_line("{007}{2147483647}text", a, b, at));
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 2147483647);
  EXPECT_EQ(at, 17u);
  EXPECT_FALSE(parse_microdvd_line("{1}", a, b, at));
  EXPECT_FALSE(parse_microdvd_line("{1}{", a, b, at));
  EXPECT_TRUE(parse_microdvd_line("{1}{2}", a, b, at));
  EXPECT_EQ(at, 6u);
}

}  // namespace
