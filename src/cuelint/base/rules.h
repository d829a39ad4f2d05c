// The rules: their names, what each profile makes of them, their parameters, and reading
// and writing those parameters' values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "types.h"

namespace cuelint {

enum class Profile : std::uint8_t { kClassic, kNetflix, kAll };
constexpr std::size_t kProfileCount = 3;

struct RuleInfo {
  Check check;
  const char* name;
  Severity in[kProfileCount];  // in each profile: kOff, or its severity there
  const char* params[2];       // its parameters besides severity; null ends the list
  const char* what;            // one line for --list-rules
};

// In the order of Check.
const RuleInfo& rule_info(Check c);
// Exact, case-sensitive; false when no rule has the name.
bool find_rule(std::string_view name, Check& out);

const char* profile_name(Profile p);
bool find_profile(std::string_view name, Profile& out);
// Every rule's severity and every parameter as the profile has them (the frame rate stays).
void apply_profile(Options& o, Profile p);

// Turns a rule on (at the severity it last had) or off. False for turning `format` off.
bool set_on(Options& o, Check c, bool on);

// A value for a parameter: plain text from the command line, or a TOML string or integer.
struct Value {
  enum Kind : std::uint8_t { kText, kString, kInteger } kind = kText;
  std::string text;  // kText, kString
  std::int64_t integer = 0;
};

// Sets NAME.KEY (KEY "severity" or a parameter of the rule). Returns null, or what is wrong.
const char* set_param(Options& o, Check c, std::string_view key, const Value& v);

// A parameter's value as a config file writes it (strings quoted): `20`, `"2f"`.
std::string param_toml(const Options& o, Check c, std::string_view key);

// "500ms", "1.5s", "7s", "2f"; whole numbers at most 2,147,483,647.
bool parse_duration(std::string_view s, Duration& out);
std::string duration_text(const Duration& d);

}  // namespace cuelint
