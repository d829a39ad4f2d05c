#include "config.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace cuelint;

namespace {

CommandLine parse(std::vector<const char*> args) {
  args.insert(args.begin(), "cuelint");
  return parse_command_line(static_cast<int>(args.size()), args.data());
}

TEST(Config, Errors) {
  struct Row {
    const char* text;
    const char* error;  // "" when the file is right
  };
  const Row rows[] = {
      {"", ""},
      {"profile = \"netflix\"\nfail-on = \"warning\"\nfps = \"23.976\"\n", ""},
      {"fps = 25\n[rules.min-gap]\nmin = \"2f\"\nseverity = \"warning\"\n", ""},
      {"select = []\nextend-select = [\"tags\"]\nignore = [\"order\"]\n", ""},
      {"encoding = \"Shift_JIS\"\n", ""},
      {"\nencoding = \"klingon\"\n", "c.toml:2: encoding: not an encoding this system knows"},
      {"encoding = 932\n", "c.toml:1: encoding: not an encoding this system knows"},
      {"\n\nbogus = 1\n", "c.toml:3: unknown key \"bogus\""},
      {"profile = \"Netflix\"\n", "c.toml:1: profile: \"classic\", \"netflix\" or \"all\""},
      {"fail-on = \"off\"\n", "c.toml:1: fail-on: \"error\" or \"warning\""},
      {"fps = 23.976\n", "c.toml:1: fps: write the rate as a string, such as \"23.976\""},
      {"fps = 0\n", "c.toml:1: fps: a whole number from 1 to 9999, or a string"},
      {"fps = 10000\n", "c.toml:1: fps: a whole number from 1 to 9999, or a string"},
      {"fps = \"23,976\"\n", "c.toml:1: fps: not a frame rate such as \"25\" or \"23.976\""},
      {"select = [\n  \"order\",\n  \"Tags\",\n]\n", "c.toml:3: select: no rule named \"Tags\""},
      {"ignore = [\"format\"]\n", "c.toml:1: the format rule cannot be ignored"},
      {"ignore = \"order\"\n", "c.toml:1: ignore: not a list of rule names"},
      {"x = 1\n[rules.nope]\nseverity = \"off\"\n", "c.toml:1: unknown key \"x\""},
      {"\n[rules.nope]\nseverity = \"off\"\n", "c.toml:2: no rule named \"nope\""},
      {"[rules.tags]\n\nfoo = 1\n", "c.toml:3: tags.foo: no such parameter"},
      {"[rules.reading-time]\ncps = \"20\"\n",
       "c.toml:2: reading-time.cps: cps is a whole "
       "number from 0 to 1000"},
      {"[rules.reading-time]\ncps = 20.0\n",
       "c.toml:2: reading-time.cps: neither a string nor a "
       "whole number"},
      {"[rules.min-gap]\nmin = 2\n",
       "c.toml:2: min-gap.min: a duration is written like "
       "\"500ms\", \"1.5s\" or \"2f\""},
      {"[rules.format]\nseverity = \"off\"\n",
       "c.toml:2: format.severity: the format rule "
       "cannot be turned off"},
      {"[rules.too-many-lines]\nmax = 0\n",
       "c.toml:2: too-many-lines.max: max is a whole "
       "number of at least 1, or \"format\""},
      {"a = [\n", "c.toml:1: "},  // the TOML library's own words follow
      {"caf\xE9 = 1\n", "c.toml: not UTF-8 text"},
  };
  for (const Row& r : rows) {
    Config c;
    std::string error;
    bool ok = parse_config(r.text, "c.toml", c, error);
    EXPECT_EQ(ok, *r.error == 0) << r.text << "\n" << error;
    if (ok) continue;
    EXPECT_EQ(error.substr(0, std::string(r.error).size()), r.error) << r.text;
    if (std::string(r.error).back() != ' ') {
      EXPECT_EQ(error, r.error) << r.text;
    }
  }
}

// Each step over the last: profile, config file, command line.
TEST(Config, Precedence) {
  Config file;
  std::string error;
  ASSERT_TRUE(parse_config(
      "profile = \"netflix\"\nfail-on = \"warning\"\nfps = \"23.976\"\nignore = [\"tags\"]\n"
      "[rules.reading-time]\ncps = 15\n[rules.line-length]\nmax = 37\n",
      "c.toml", file, error))
      << error;
  struct Row {
    std::vector<const char*> args;
    Profile profile;
    Severity fail_on;
    std::int64_t cps, line_length;
    std::int64_t fps_num;
    Severity tags, whitespace;
  };
  const Row rows[] = {
      {{"a"},
       Profile::kNetflix,
       Severity::kWarning,
       15,
       37,
       23976,
       Severity::kOff,
       Severity::kWarning},
      // A profile on the command line replaces the file's, and the file still applies.
      {{"--profile", "all", "a"},
       Profile::kAll,
       Severity::kWarning,
       15,
       37,
       23976,
       Severity::kOff,
       Severity::kError},
      {{"--cps", "12", "--set", "reading-time.cps=30", "--fail-on", "error", "a"},
       Profile::kNetflix,
       Severity::kError,
       12,
       37,
       23976,
       Severity::kOff,
       Severity::kWarning},
      {{"--extend-select", "tags", "--fps", "25", "--set", "line-length.max=50", "a"},
       Profile::kNetflix,
       Severity::kWarning,
       15,
       50,
       25,
       Severity::kError,
       Severity::kWarning},
      {{"--select", "tags", "a"},
       Profile::kNetflix,
       Severity::kWarning,
       15,
       37,
       23976,
       Severity::kError,
       Severity::kOff},
  };
  for (const Row& r : rows) {
    CommandLine cl = parse(r.args);
    ASSERT_EQ(cl.action, CommandLine::kRun) << cl.error;
    Settled s;
    ASSERT_EQ(settle(file, cl, s), nullptr);
    std::string what = r.args[0];
    EXPECT_EQ(s.profile, r.profile) << what;
    EXPECT_EQ(s.fail_on, r.fail_on) << what;
    EXPECT_EQ(s.options.cps, r.cps) << what;
    EXPECT_EQ(s.options.line_length, r.line_length) << what;
    EXPECT_EQ(s.options.fps.num, r.fps_num) << what;
    EXPECT_EQ(s.options.severity(Check::kTags), r.tags) << what;
    EXPECT_EQ(s.options.severity(Check::kWhitespace), r.whitespace) << what;
  }
}

TEST(Config, EncodingFromTheFileThenTheCommandLine) {
  struct Row {
    const char* file;
    std::vector<const char*> args;
    const char* encoding;
  } rows[] = {
      {"", {"a"}, ""},
      {"encoding = \"windows-1251\"\n", {"a"}, "windows-1251"},
      {"encoding = \"windows-1251\"\n", {"--encoding", "big5", "a"}, "big5"},
      {"", {"--encoding=euc-kr", "a"}, "euc-kr"},
  };
  for (const Row& r : rows) {
    Config file;
    std::string error;
    ASSERT_TRUE(parse_config(r.file, "c.toml", file, error)) << error;
    CommandLine cl = parse(r.args);
    ASSERT_EQ(cl.action, CommandLine::kRun) << cl.error;
    Settled s;
    ASSERT_EQ(settle(file, cl, s), nullptr);
    EXPECT_EQ(s.options.encoding, r.encoding) << r.file << r.args[0];
  }
}

// --show-settings, read back as a config file, gives the same settings.
TEST(Config, ShownSettingsReadBack) {
  const std::vector<std::vector<const char*>> lines = {
      {},
      {"--profile", "netflix"},
      {"--profile", "netflix", "--ignore", "whitespace", "--fps", "23.976"},
      {"--set", "tags.severity=warning", "--ignore", "tags"},  // off, remembering warning
      {"--profile", "all", "--set", "min-gap.min=120ms", "--set", "max-duration.max=6.50s", "--set",
       "reading-time.count=all", "--set", "too-many-lines.max=3", "--fail-on", "warning", "--cps",
       "0"},
      {"--select", "order", "--set", "format.severity=warning"},
      {"--encoding", "Shift_JIS", "--profile", "netflix"},
  };
  for (const auto& args : lines) {
    std::vector<const char*> a = args;
    a.push_back("--show-settings");
    CommandLine cl = parse(a);
    ASSERT_EQ(cl.action, CommandLine::kShowSettings) << cl.error;
    Settled first;
    ASSERT_EQ(settle(Config(), cl, first), nullptr);
    std::string shown = settings_toml(first.options, first.profile, first.fail_on);
    Config back;
    std::string error;
    ASSERT_TRUE(parse_config(shown, "shown.toml", back, error)) << error << "\n" << shown;
    Settled second;
    ASSERT_EQ(settle(back, parse({"a"}), second), nullptr);
    EXPECT_EQ(settings_toml(second.options, second.profile, second.fail_on), shown);
    const Options &x = first.options, &y = second.options;
    EXPECT_EQ(x.on, y.on) << shown;
    EXPECT_EQ(x.level, y.level) << shown;
    EXPECT_EQ(x.cps, y.cps);
    EXPECT_EQ(x.count_all, y.count_all);
    EXPECT_EQ(x.fps_given, y.fps_given);
    EXPECT_EQ(x.fps.num * y.fps.den, y.fps.num * x.fps.den);
    EXPECT_EQ(x.max_lines, y.max_lines);
    EXPECT_EQ(x.line_length, y.line_length);
    EXPECT_EQ(x.encoding, y.encoding);
    for (auto d : {&Options::min_duration, &Options::max_duration, &Options::min_gap})
      EXPECT_EQ(duration_text(x.*d), duration_text(y.*d)) << shown;
  }
}

TEST(Config, SearchedUpwardsFromTheCurrentFolder) {
  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / ("cuelint-config-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "a" / "b" / "c");
  auto touch = [](const fs::path& p) { std::ofstream(p) << "\n"; };
  struct Row {
    const char* make;  // a file, or a folder when it ends in "/"
    const char* from;
    const char* found;
  };
  const Row rows[] = {
      {"a/.cuelint.toml", "a/b/c", "../../.cuelint.toml"},
      {"a/b/cuelint.toml/", "a/b/c", "../../.cuelint.toml"},  // a folder is passed over
      {"a/b/.cuelint.toml", "a/b/c", "../.cuelint.toml"},
      {"a/b/c/.cuelint.toml", "a/b/c", ".cuelint.toml"},
      // cuelint.toml before .cuelint.toml in one folder
      {"a/b/c/cuelint.toml", "a/b/c", "cuelint.toml"},
  };
  for (const Row& r : rows) {
    std::string make = r.make;
    if (make.back() == '/') {
      fs::create_directories(root / make);
    } else {
      touch(root / make);
    }
    fs::path here = fs::current_path();
    fs::current_path(root / r.from);
    std::string found = find_config(".");
    fs::current_path(here);
    // Named with the system's separator, as the user's own paths are.
    std::string want = r.found;
    std::replace(want.begin(), want.end(), '/', static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(found, want) << r.make;
  }
  fs::remove_all(root);
}

}  // namespace
