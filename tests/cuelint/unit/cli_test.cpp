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
  EXPECT_EQ(c.options.cps, 15);
  EXPECT_TRUE(c.json);
  EXPECT_EQ(c.jobs, 4u);
  EXPECT_TRUE(c.options.fps_given);
  EXPECT_EQ(c.options.fps.num, 25);
  EXPECT_EQ(c.options.fps.den, 1);
}

TEST(CommandLine, DecimalNeverOctal) {
  CommandLine c = parse({"--cps", "020", "-j", "010", "a"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.options.cps, 20);
  EXPECT_EQ(c.jobs, 10u);
}

TEST(CommandLine, Defaults) {
  CommandLine c = parse({"a"});
  ASSERT_EQ(c.action, CommandLine::kRun);
  EXPECT_EQ(c.options.cps, 20);
  EXPECT_FALSE(c.options.fps_given);
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

TEST(CommandLine, ZeroCharactersPerSecondIsAllowed) {
  CommandLine c = parse({"--cps", "0", "a"});
  ASSERT_EQ(c.action, CommandLine::kRun) << c.error;
  EXPECT_EQ(c.options.cps, 0);
}

}  // namespace
