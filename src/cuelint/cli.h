// The command line.
#pragma once

#include <string>
#include <vector>

#include "rules.h"
#include "settings.h"
#include "types.h"
#include "writer.h"

namespace cuelint {

struct CommandLine {
  enum Action { kRun, kHelp, kVersion, kWrong, kListRules, kShowSettings } action = kRun;
  std::string error;  // what is wrong, for kWrong
  // The settings are made from these once the config file is read (settings.h).
  bool has_profile = false;
  Profile profile = Profile::kClassic;
  RuleChoices choices;
  bool has_cps = false, has_fps = false, has_fail_on = false;
  std::int64_t cps = 20;
  Rate fps;
  Severity fail_on = Severity::kError;
  bool has_encoding = false;
  std::string encoding;
  std::string config;  // --config FILE; empty: searched for unless isolated
  bool isolated = false;
  bool json = false;
  OutputFormat format = OutputFormat::kText;
  bool has_files_from = false;
  std::string files_from;  // "-": standard input
  bool null_separated = false;
  bool has_stdin_filename = false;
  std::string stdin_filename;  // the name a PATH "-" is reported as
  bool exit_zero = false, quiet = false, statistics = false;
  unsigned jobs = 0;  // 0: the number of processors
  std::vector<std::string> paths;
};

const char* usage_text();
const char* version_text();

CommandLine parse_command_line(int argc, const char* const* argv);

// What is wrong with the paths to check (the command line's, then the list's) as to
// standard input: "-" more than once, or "-" while the list is read from it. Null if fine.
const char* stdin_misuse(const std::vector<std::string>& paths, bool list_on_stdin);

// The command line's steps over settings made so far (profile and config file): --set,
// --select, --extend-select, --ignore, then --cps, --fps and --encoding.
void apply_command_line(const CommandLine& cl, Options& o);

}  // namespace cuelint
