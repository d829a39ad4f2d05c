#include "rules.h"

#include "text.h"

namespace cuelint {

namespace {

constexpr Severity E = Severity::kError, W = Severity::kWarning, O = Severity::kOff;

// Classic is today's ten; netflix is every rule at the figures of that guide; all is every
// rule at its default.
const RuleInfo kRules[kCheckCount] = {
    {Check::kOrder, "order", {E, E, E}, {}, "a subtitle stops before it starts"},
    {Check::kOverlap, "overlap", {E, E, E}, {}, "a subtitle starts before the previous one stops"},
    {Check::kMinGap, "min-gap", {O, E, E}, {"min"}, "the gap after the previous subtitle is short"},
    {Check::kReadingTime,
     "reading-time",
     {E, E, E},
     {"cps", "count"},
     "a subtitle is shown too short for its characters"},
    {Check::kMinDuration, "min-duration", {O, E, E}, {"min"}, "a subtitle is shown too short"},
    {Check::kMaxDuration, "max-duration", {O, E, E}, {"max"}, "a subtitle is shown too long"},
    {Check::kEmpty, "empty", {O, E, E}, {}, "a subtitle has no visible character"},
    {Check::kLineBreakMark,
     "line-break-mark",
     {E, E, E},
     {},
     "a line-break mark of another format"},
    {Check::kTooManyLines, "too-many-lines", {E, E, E}, {"max"}, "a subtitle has too many lines"},
    {Check::kLineLength, "line-length", {O, E, E}, {"max"}, "a line has too many characters"},
    {Check::kWhitespace,
     "whitespace",
     {O, W, E},
     {},
     "white space at a line's start or end, or two in a row"},
    {Check::kControlChar,
     "control-char",
     {O, E, E},
     {},
     "a control character or U+FFFD in a text line"},
    {Check::kTags, "tags", {O, E, E}, {}, "an opening or closing tag without its pair"},
    {Check::kNumbering, "numbering", {E, E, E}, {}, "a SubRip number is missing or out of step"},
    {Check::kStructure,
     "structure",
     {E, E, E},
     {},
     "a missing blank line, or text outside any subtitle"},
    {Check::kTimeCode, "time-code", {E, E, E}, {}, "a malformed time line"},
    {Check::kFrameCode, "frame-code", {E, E, E}, {}, "a malformed MicroDVD line"},
    {Check::kEncoding, "encoding", {O, E, E}, {}, "a file not read as UTF-8"},
    {Check::kFormat, "format", {E, E, E}, {}, "a file that cannot be read as subtitles"},
};

const char* const kProfiles[kProfileCount] = {"classic", "netflix", "all"};

std::size_t idx(Check c) {
  return static_cast<std::size_t>(c);
}

bool has_param(Check c, std::string_view key) {
  for (const char* p : kRules[idx(c)].params)
    if (p && key == p) return true;
  return false;
}

// A whole number from plain text or a TOML integer; a TOML string is not one.
bool whole(const Value& v, std::int64_t max, std::int64_t& out) {
  if (v.kind == Value::kInteger) {
    if (v.integer < 0 || v.integer > max) return false;
    out = v.integer;
    return true;
  }
  return v.kind == Value::kText && parse_decimal(v.text, max, out);
}

// A word from plain text or a TOML string.
bool word(const Value& v, std::string& out) {
  if (v.kind == Value::kInteger) return false;
  out = v.text;
  return true;
}

// The duration a rule's one parameter is, if it is one.
Duration Options::*duration_param(Check c) {
  switch (c) {
    case Check::kMinDuration:
      return &Options::min_duration;
    case Check::kMaxDuration:
      return &Options::max_duration;
    case Check::kMinGap:
      return &Options::min_gap;
    default:
      return nullptr;
  }
}

}  // namespace

Options::Options() {
  apply_profile(*this, Profile::kClassic);
}

const RuleInfo& rule_info(Check c) {
  return kRules[idx(c)];
}

const char* check_name(Check c) {
  return idx(c) < kCheckCount ? kRules[idx(c)].name : "?";
}

const char* severity_name(Severity s) {
  return s == Severity::kError ? "error" : s == Severity::kWarning ? "warning" : "off";
}

bool find_rule(std::string_view name, Check& out) {
  for (const RuleInfo& r : kRules) {
    if (name == r.name) {
      out = r.check;
      return true;
    }
  }
  return false;
}

const char* profile_name(Profile p) {
  return kProfiles[static_cast<std::size_t>(p)];
}

bool find_profile(std::string_view name, Profile& out) {
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    if (name == kProfiles[i]) {
      out = static_cast<Profile>(i);
      return true;
    }
  }
  return false;
}

void apply_profile(Options& o, Profile p) {
  auto pi = static_cast<std::size_t>(p);
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    Severity s = kRules[i].in[pi];
    o.on[i] = s != Severity::kOff;
    o.level[i] = o.on[i] ? s : Severity::kError;
  }
  o.cps = 20;
  o.count_all = false;
  o.min_duration = {Duration::kSeconds, 1000, 0};
  o.max_duration = {Duration::kSeconds, 7000, 0};
  o.min_gap = {Duration::kFrames, 2, 0};
  o.max_lines = 0;
  o.line_length = 42;
  if (p == Profile::kNetflix) {
    // The figures commonly used from that guide for adult English programmes.
    o.count_all = true;
    o.min_duration = {Duration::kFrames, 20, 0};
    o.max_lines = 2;
  }
}

bool set_on(Options& o, Check c, bool on) {
  if (!on && c == Check::kFormat) return false;
  o.on[idx(c)] = on;
  return true;
}

const char* set_param(Options& o, Check c, std::string_view key, const Value& v) {
  if (key == "severity") {
    std::string s;
    if (!word(v, s)) return "a severity is \"error\", \"warning\" or \"off\"";
    if (s == "off") {
      if (c == Check::kFormat) return "the format rule cannot be turned off";
      o.on[idx(c)] = false;
    } else if (s == "error" || s == "warning") {
      o.on[idx(c)] = true;
      o.level[idx(c)] = s == "error" ? Severity::kError : Severity::kWarning;
    } else {
      return "a severity is \"error\", \"warning\" or \"off\"";
    }
    return nullptr;
  }
  if (!has_param(c, key)) return "no such parameter";
  if (auto d = duration_param(c)) {
    Duration got;
    if (v.kind == Value::kInteger || !parse_duration(v.text, got))
      return "a duration is written like \"500ms\", \"1.5s\" or \"2f\"";
    o.*d = got;
    return nullptr;
  }
  std::int64_t n = 0;
  std::string s;
  switch (c) {
    case Check::kReadingTime:
      if (key == "cps") {
        if (!whole(v, 1000, n)) return "cps is a whole number from 0 to 1000";
        o.cps = n;
        return nullptr;
      }
      if (!word(v, s) || (s != "visible" && s != "all")) return "count is \"visible\" or \"all\"";
      o.count_all = s == "all";
      return nullptr;
    case Check::kTooManyLines:
      if (word(v, s) && s == "format") {
        o.max_lines = 0;
        return nullptr;
      }
      if (!whole(v, kMaxNumber, n) || n < 1)
        return "max is a whole number of at least 1, or \"format\"";
      o.max_lines = n;
      return nullptr;
    case Check::kLineLength:
      if (!whole(v, kMaxNumber, n) || n < 1) return "max is a whole number of at least 1";
      o.line_length = n;
      return nullptr;
    default:
      return "no such parameter";
  }
}

std::string param_toml(const Options& o, Check c, std::string_view key) {
  if (auto d = duration_param(c)) return "\"" + duration_text(o.*d) + "\"";
  switch (c) {
    case Check::kReadingTime:
      if (key == "cps") return std::to_string(o.cps);
      return o.count_all ? "\"all\"" : "\"visible\"";
    case Check::kTooManyLines:
      return o.max_lines ? std::to_string(o.max_lines) : "\"format\"";
    case Check::kLineLength:
      return std::to_string(o.line_length);
    default:
      return "";
  }
}

bool parse_duration(std::string_view s, Duration& out) {
  std::size_t i = 0, n = s.size();
  while (i < n && is_digit(s[i])) ++i;
  std::int64_t whole_part = 0;
  if (i == 0 || !parse_decimal(s.substr(0, i), kMaxNumber, whole_part)) return false;
  std::string_view rest = s.substr(i);
  if (rest == "ms") {
    out = {Duration::kMs, whole_part, 0};
    return true;
  }
  if (rest == "f") {
    out = {Duration::kFrames, whole_part, 0};
    return true;
  }
  std::int64_t ms = whole_part * 1000;
  int decimals = 0;
  if (!rest.empty() && rest[0] == '.') {
    std::size_t k = 1;
    std::int64_t scale = 100;
    while (k < rest.size() && is_digit(rest[k])) {
      if (++decimals > 3) return false;
      ms += (rest[k] - '0') * scale;
      scale /= 10;
      ++k;
    }
    if (decimals == 0) return false;
    rest = rest.substr(k);
  }
  if (rest != "s") return false;
  out = {Duration::kSeconds, ms, decimals};
  return true;
}

std::string duration_text(const Duration& d) {
  switch (d.unit) {
    case Duration::kMs:
      return std::to_string(d.value) + "ms";
    case Duration::kFrames:
      return std::to_string(d.value) + "f";
    case Duration::kSeconds:
      break;
  }
  std::string s = std::to_string(d.value / 1000);
  if (d.decimals > 0) {
    std::string frac = std::to_string(1000 + d.value % 1000).substr(1);
    s += "." + frac.substr(0, static_cast<std::size_t>(d.decimals));
  }
  return s + "s";
}

}  // namespace cuelint
