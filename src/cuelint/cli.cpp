#include "cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>

#include "legacy.h"
#include "text.h"
#include "version.h"

namespace cuelint {

const char* usage_text() {
  return "Usage: cuelint [OPTIONS] PATH...\n"
         "\n"
         "Checks MicroDVD, SBV, SubRip, Subviewer 2.0 and WebVTT subtitle files for faults\n"
         "of timing and form. A PATH that is a folder is searched, recursively, for files\n"
         "whose names end in .sbv, .srt, .sub or .vtt.\n"
         "\n"
         "Options:\n"
         "  --profile NAME      classic (default: today's ten rules), netflix or all\n"
         "  --select LIST       exactly these rules are on (names separated by \",\")\n"
         "  --extend-select LIST  these rules are on too\n"
         "  --ignore LIST       these rules are off\n"
         "  --set RULE.KEY=VALUE  a rule's parameter, or its severity (error, warning, off)\n"
         "  --fail-on error|warning  exit 1 on faults of this severity or higher\n"
         "                      (default error)\n"
         "  --config FILE       settings from FILE (default: cuelint.toml or\n"
         "                      .cuelint.toml here or in the nearest folder above)\n"
         "  --isolated          no config file unless --config names one\n"
         "  --list-rules        list the rules and the profiles that have them on\n"
         "  --show-settings     print the settings in effect as a config file\n"
         "  --fps RATE          frame rate of MicroDVD files and of limits in frames,\n"
         "                      such as 25 or 23.976 (default: a MicroDVD file's own\n"
         "                      frame-rate line, else 25)\n"
         "  --cps N             characters per second of the reading-time rule, 0 to 1000\n"
         "                      (default 20; 0 turns the rule off)\n"
         "  --encoding NAME     encoding of the files that have no byte-order mark and are\n"
         "                      not UTF-8, such as windows-1252 or shift_jis (default:\n"
         "                      detected)\n"
         "  --format FORMAT     text (default), json (JSON Lines), github (workflow\n"
         "                      commands), sarif (SARIF 2.1.0) or gitlab (Code Quality)\n"
         "  --files-from FILE   check the paths listed in FILE too, one a line (\"-\":\n"
         "                      standard input)\n"
         "  -0, --null          the list's paths are separated by NUL bytes\n"
         "  --stdin-filename NAME  the name a PATH \"-\" (standard input) is reported as\n"
         "  --exit-zero         exit 0 when faults were found\n"
         "  --quiet             no summary and no progress line\n"
         "  --statistics        after the run, the count of faults of each rule\n"
         "  -j N                check up to N files at once (default: the number of\n"
         "                      processors)\n"
         "  -h, --help          show this text and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "The netflix profile holds the figures commonly used from that guide for adult\n"
         "English programmes (20 characters per second counting spaces, 20 frames to 7\n"
         "seconds, a gap of 2 frames, two lines of 42); a config file changes any of them.\n"
         "\n"
         "Exit status: 0 when no fault of the --fail-on severity was found, 1 when one\n"
         "was, 2 when a path cannot be read, or the command line or config file is wrong.\n";
}

const char* version_text() {
  return "cuelint " CUECHECK_VERSION "\n";
}

namespace {

constexpr char kEmptyList[] = "\x1f";

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine cl;
  // --help and -h win over anything else on the line, --version over the rest; both only
  // before "--".
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      cl.action = CommandLine::kHelp;
      return cl;
    }
    if (std::strcmp(argv[i], "--version") == 0) version = true;
  }
  if (version) {
    cl.action = CommandLine::kVersion;
    return cl;
  }

  CLI::App app("cuelint", "cuelint");
  app.set_help_flag();  // handled above, with our own text
  std::string fps, cps, format, jobs, profile, select, extend, ignore, fail_on;
  std::vector<std::string> sets;
  bool list_rules = false, show_settings = false;
  auto last = CLI::MultiOptionPolicy::TakeLast;
  // Values are taken as strings and read here: CLI11 reads "020" as octal.
  app.add_option("--fps", fps)->multi_option_policy(last);
  app.add_option("--cps", cps)->multi_option_policy(last);
  app.add_option("--format", format)->multi_option_policy(last);
  app.add_option("-j", jobs)->multi_option_policy(last);
  app.add_option("--profile", profile)->multi_option_policy(last);
  app.add_option("--select", select)->multi_option_policy(last);
  app.add_option("--extend-select", extend)->multi_option_policy(last);
  app.add_option("--ignore", ignore)->multi_option_policy(last);
  app.add_option("--set", sets)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->allow_extra_args(false);
  app.add_option("--fail-on", fail_on)->multi_option_policy(last);
  app.add_option("--config", cl.config)->multi_option_policy(last);
  app.add_flag("--isolated", cl.isolated);
  app.add_flag("--list-rules", list_rules);
  app.add_flag("--show-settings", show_settings);
  std::string encoding;
  app.add_option("--encoding", encoding)->multi_option_policy(last);
  app.add_option("--files-from", cl.files_from)->multi_option_policy(last);
  app.add_flag("--null", cl.null_separated);
  app.add_option("--stdin-filename", cl.stdin_filename)->multi_option_policy(last);
  app.add_flag("--exit-zero", cl.exit_zero);
  app.add_flag("--quiet", cl.quiet);
  app.add_flag("--statistics", cl.statistics);
  app.add_option("PATH", cl.paths);
  // CLI11 reads "--select=" as an option still waiting for its value: the empty list is
  // passed to it as a name no rule has, and read back below.
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::string& a : args) {
    if (a == "--") break;
    if (a == "-0") a = "--null";
    if (a == "--select=" || a == "--extend-select=" || a == "--ignore=") a += kEmptyList;
  }
  std::reverse(args.begin(), args.end());  // CLI11 takes a vector in reverse order
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    cl.action = CommandLine::kWrong;
    cl.error = e.what();
    return cl;
  }
  auto wrong = [&](std::string what) {
    cl.action = CommandLine::kWrong;
    cl.error = std::move(what);
    return cl;
  };
  if (app.count("--fps")) {
    if (!parse_rate(fps, cl.fps)) return wrong("--fps: not a frame rate: " + fps);
    cl.has_fps = true;
  }
  if (app.count("--cps")) {
    if (!parse_decimal(cps, 1000, cl.cps))
      return wrong("--cps: not a number from 0 to 1000: " + cps);
    cl.has_cps = true;
  }
  if (app.count("--profile")) {
    if (!find_profile(profile, cl.profile))
      return wrong("--profile: neither classic, netflix nor all: " + profile);
    cl.has_profile = true;
  }
  if (app.count("--fail-on")) {
    if (fail_on != "error" && fail_on != "warning")
      return wrong("--fail-on: neither error nor warning: " + fail_on);
    cl.fail_on = fail_on == "error" ? Severity::kError : Severity::kWarning;
    cl.has_fail_on = true;
  }
  RuleChoices& ch = cl.choices;
  struct ListOption {
    const char* name;
    const std::string& text;
    bool& has;
    std::vector<Check>& rules;
  } lists[] = {{"--select", select, ch.has_select, ch.select},
               {"--extend-select", extend, ch.has_extend, ch.extend},
               {"--ignore", ignore, ch.has_ignore, ch.ignore}};
  for (ListOption& lo : lists) {
    if (!app.count(lo.name)) continue;
    std::string bad;
    if (lo.text == kEmptyList) {
      lo.rules.clear();
    } else if (!parse_rule_list(lo.text, lo.rules, bad)) {
      return wrong(std::string(lo.name) + ": no rule named \"" + bad + "\"");
    }
    lo.has = true;
  }
  for (const std::string& set : sets) {
    std::size_t dot = set.find('.'), eq = set.find('=');
    Check rule;
    if (dot == std::string::npos || eq == std::string::npos || dot > eq)
      return wrong("--set: not RULE.KEY=VALUE: " + set);
    if (!find_rule(set.substr(0, dot), rule))
      return wrong("--set: no rule named \"" + set.substr(0, dot) + "\"");
    RuleChoices::Set one{rule, set.substr(dot + 1, eq - dot - 1), Value{}};
    one.value.text = set.substr(eq + 1);
    // Checked now, on settings of their own: a bad value is the usage error.
    Options scratch;
    if (const char* bad = set_param(scratch, rule, one.key, one.value))
      return wrong("--set " + set + ": " + bad);
    ch.sets.push_back(std::move(one));
  }
  {
    Options scratch;
    if (const char* bad = apply_choices(scratch, ch)) return wrong(bad);
  }
  if (app.count("--format")) {
    if (!find_output_format(format, cl.format))
      return wrong("--format: not one of text, json, github, sarif, gitlab: " + format);
    cl.json = cl.format == OutputFormat::kJson;
  }
  cl.has_files_from = app.count("--files-from") > 0;
  cl.has_stdin_filename = app.count("--stdin-filename") > 0;
  if (const char* bad = stdin_misuse(cl.paths, cl.has_files_from && cl.files_from == "-"))
    return wrong(bad);
  if (app.count("-j")) {
    std::int64_t n = 0;
    if (!parse_decimal(jobs, kMaxNumber, n) || n < 1)
      return wrong("-j: not a number of at least 1: " + jobs);
    cl.jobs = static_cast<unsigned>(n);
  }
  if (app.count("--encoding")) {
    if (!known_encoding(encoding))
      return wrong("--encoding: not an encoding this system knows: " + encoding);
    cl.encoding = encoding;
    cl.has_encoding = true;
  }
  if (list_rules) {
    cl.action = CommandLine::kListRules;
  } else if (show_settings) {
    cl.action = CommandLine::kShowSettings;
  } else if (cl.paths.empty() && !cl.has_files_from) {
    return wrong("no PATH given");
  }
  return cl;
}

const char* stdin_misuse(const std::vector<std::string>& paths, bool list_on_stdin) {
  auto n = std::count(paths.begin(), paths.end(), "-");
  if (n && list_on_stdin) return "standard input (\"-\") cannot be both the list and a file";
  if (n > 1) return "standard input (\"-\") may be given once";
  return nullptr;
}

void apply_command_line(const CommandLine& cl, Options& o) {
  apply_choices(o, cl.choices);  // checked when the line was read
  if (cl.has_cps) o.cps = cl.cps;
  if (cl.has_fps) {
    o.fps = cl.fps;
    o.fps_given = true;
  }
  if (cl.has_encoding) o.encoding = cl.encoding;
}

}  // namespace cuelint
