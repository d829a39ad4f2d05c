// The settings a run checks with: a profile, then the config file, then the command line,
// each step over the last.
#pragma once

#include <string>
#include <vector>

#include "rules.h"
#include "types.h"

namespace cuelint {

// One source of choices over the rules (the config file, or the command line), applied in
// this order: every setting, then select, extend-select, ignore.
struct RuleChoices {
  struct Set {
    Check rule;
    std::string key;
    Value value;
  };
  std::vector<Set> sets;
  bool has_select = false, has_extend = false, has_ignore = false;
  std::vector<Check> select, extend, ignore;
};

// Null, or what is wrong (turning `format` off).
const char* apply_choices(Options& o, const RuleChoices& c);

// "a,b,c" into rules; false when a name is empty or unknown (an empty list is fine).
bool parse_rule_list(const std::string& text, std::vector<Check>& out, std::string& bad);

// The settings as a config file that, read back, gives the same settings.
std::string settings_toml(const Options& o, Profile p, Severity fail_on);

// --list-rules: each rule, whether each profile has it on, and what it checks.
std::string rules_listing();

}  // namespace cuelint
