#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

using namespace cuelint;

namespace {

CommandLine parse(std::vector<const char*> args) {
  args.insert(args.begin(), "cuelint");
  return parse_command_line(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, HelpWinsOverEverything) {
  EXPECT_EQ(parse({"--bogus", "--help"}).action, CommandLine::kHelp);
  EXPECT_EQ(parse({"-h"}).action, CommandLine::kHelp);
  EXPECT_EQ(parse({"--version", "-h", "--cps", "x"}).action, CommandLine::kHelp);
  EXPECT_EQ(parse({"--", "--help"}).action, CommandLine::kRun);
  EXPECT_EQ(parse({"--", "--help"}).paths, std::vector<std::string>{"--help"});
}

TEST(CommandLine, Version) {
  EXPECT_EQ(parse({"--version"}).action, CommandLine::kVersion);
  EXPECT_EQ(parse({"a.srt", "--version"}).action, CommandLine::kVersion);
}

TEST(CommandLine, OptionsAnywhereLastWins) {
  CommandLine c = parse({"a.srt", "--cps", "020", "b.srt", "--cps=15", "--format", "json", "-j4",
                         "--fps=23.976", "--fps", "25"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.paths, (std::vector<std::string>{"a.srt", "b.srt"}));
  EXPECT_EQ(c.cps, 15);
  EXPECT_TRUE(c.json);
  EXPECT_EQ(c.jobs, 4u);
  EXPECT_TRUE(c.has_fps);
  EXPECT_EQ(c.fps.num, 25);
  EXPECT_EQ(c.fps.den, 1);
}

TEST(CommandLine, DecimalNeverOctal) {
  CommandLine c = parse({"--cps", "020", "-j", "010", "a"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.cps, 20);
  EXPECT_EQ(c.jobs, 10u);
}

TEST(CommandLine, Defaults) {
  CommandLine c = parse({"a"});
  ASSERT_EQ(c.action, CommandLine::kRun);
  EXPECT_EQ(c.cps, 20);
  EXPECT_FALSE(c.has_fps);
  EXPECT_FALSE(c.json);
  EXPECT_EQ(c.jobs, 0u);
}

TEST(CommandLine, DashDashEndsOptions) {
  CommandLine c = parse({"--", "-j", "--cps"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.paths, (std::vector<std::string>{"-j", "--cps"}));
}

TEST(CommandLine, WrongLines) {
  const std::vector<std::vector<const char*>> wrong = {
      {},
      {"--cps", "20"},
      {"--bogus", "a"},
      {"-x", "a"},
      {"--cps", "1001", "a"},
      {"--cps", "-1", "a"},
      {"--cps", "0x10", "a"},
      {"--cps", "a"},
      {"--fps", "0", "a"},
      {"--fps", "12345", "a"},
      {"--fps", "23.9765432", "a"},
      {"--fps=", "a"},
      {"--format", "xml", "a"},
      {"-j", "0", "a"},
      {"-j", "two", "a"},
      {"a", "-j"},
      {"--version=1", "a"},
  };
  for (const auto& w : wrong) {
    CommandLine c = parse(w);
    std::string line;
    for (const char* a : w) line += std::string(a) + " ";
    EXPECT_EQ(c.action, CommandLine::kWrong) << line;
    if (c.action == CommandLine::kWrong) {
      EXPECT_FALSE(c.error.empty()) << line;
    }
  }
}

TEST(CommandLine, RuleOptions) {
  struct Row {
    std::vector<const char*> args;
    CommandLine::Action action;
  };
  const Row rows[] = {
      {{"--profile", "netflix", "a"}, CommandLine::kRun},
      {{"--profile", "Netflix", "a"}, CommandLine::kWrong},
      {{"--select=", "a"}, CommandLine::kRun},
      {{"--select", "order,tags", "a"}, CommandLine::kRun},
      {{"--select", "order,", "a"}, CommandLine::kWrong},
      {{"--select", "order tags", "a"}, CommandLine::kWrong},
      {{"--ignore", "format", "a"}, CommandLine::kWrong},
      {{"--extend-select", "nope", "a"}, CommandLine::kWrong},
      {{"--set", "min-gap.min=2f", "a"}, CommandLine::kRun},
      {{"--set", "min-gap.min=\"2f\"", "a"}, CommandLine::kWrong},
      {{"--set", "min-gap.max=2f", "a"}, CommandLine::kWrong},
      {{"--set", "min-gap=2f", "a"}, CommandLine::kWrong},
      {{"--set", "format.severity=off", "a"}, CommandLine::kWrong},
      {{"--fail-on", "warning", "a"}, CommandLine::kRun},
      {{"--fail-on", "off", "a"}, CommandLine::kWrong},
      {{"--list-rules"}, CommandLine::kListRules},
      {{"--list-rules", "--show-settings", "a"}, CommandLine::kListRules},
      {{"--list-rules", "--select", "nope"}, CommandLine::kWrong},
      {{"--show-settings"}, CommandLine::kShowSettings},
      {{"--isolated", "--config", "c.toml", "a"}, CommandLine::kRun},
  };
  for (const Row& r : rows) {
    CommandLine c = parse(r.args);
    std::string line;
    for (const char* a : r.args) line += std::string(a) + " ";
    EXPECT_EQ(c.action, r.action) << line << c.error;
  }
}

TEST(CommandLine, LastListWinsAndCommandLineOrder) {
  CommandLine c = parse({"--select", "tags", "--select", "order", "--set", "reading-time.cps=5",
                         "--cps", "9", "--set", "reading-time.severity=warning", "a"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  ASSERT_EQ(c.choices.select.size(), 1u);
  EXPECT_EQ(c.choices.select[0], Check::kOrder);
  Options o;
  apply_command_line(c, o);
  EXPECT_EQ(o.cps, 9);  // --cps comes after every --set
  // Selected away, the rule keeps the severity it was set to.
  EXPECT_EQ(o.severity(Check::kReadingTime), Severity::kOff);
  EXPECT_EQ(o.level[static_cast<std::size_t>(Check::kReadingTime)], Severity::kWarning);
  EXPECT_EQ(o.severity(Check::kOrder), Severity::kError);
  EXPECT_EQ(o.severity(Check::kFormat), Severity::kError);
}

TEST(CommandLine, ZeroCharactersPerSecondIsAllowed) {
  CommandLine c = parse({"--cps", "0", "a"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.cps, 0);
}

}  // namespace
