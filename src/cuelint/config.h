// The config file: found, read and checked; its settings are applied in their place among
// the others (main.cpp).
#pragma once

#include <string>

#include "cli.h"
#include "rules.h"
#include "settings.h"
#include "types.h"

namespace cuelint {

struct Config {
  std::string path;  // empty: no config file
  bool has_profile = false;
  Profile profile = Profile::kClassic;
  bool has_fail_on = false;
  Severity fail_on = Severity::kError;
  bool has_fps = false;
  Rate fps;
  RuleChoices choices;
};

// The first cuelint.toml or .cuelint.toml (a regular file, or a link to one) in `from` or
// the nearest folder above it, as a path from `from` ("../cuelint.toml"); empty when there
// is none.
std::string find_config(const std::string& from);

// Reads and checks the file. False, with `error` set to "FILE:LINE: what is wrong" (LINE
// left out when there is none), on any fault: an unreadable file, text that is not UTF-8,
// a TOML syntax error, an unknown key, rule or parameter, a bad value.
bool read_config(const std::string& path, Config& out, std::string& error);
// The same on text in memory; `name` stands for the file in errors.
bool parse_config(const std::string& text, const std::string& name, Config& out,
                  std::string& error);

// The settings in effect, each step over the last: the profile (the command line's, else
// the config file's, else classic), the config file, the command line.
struct Settled {
  Options options;
  Profile profile = Profile::kClassic;
  Severity fail_on = Severity::kError;
};
// Null, or what is wrong with the config file's choices.
const char* settle(const Config& config, const CommandLine& cl, Settled& out);

}  // namespace cuelint
