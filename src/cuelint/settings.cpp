#include "settings.h"

#include "checks.h"

namespace cuelint {

const char* apply_choices(Options& o, const RuleChoices& c) {
  for (const RuleChoices::Set& s : c.sets)
    if (const char* bad = set_param(o, s.rule, s.key, s.value)) return bad;
  if (c.has_select) {
    // Exactly these are on; format always is.
    for (std::size_t i = 0; i < kCheckCount; ++i) o.on[i] = false;
    o.on[static_cast<std::size_t>(Check::kFormat)] = true;
    for (Check r : c.select) set_on(o, r, true);
  }
  if (c.has_extend)
    for (Check r : c.extend) set_on(o, r, true);
  if (c.has_ignore) {
    for (Check r : c.ignore)
      if (!set_on(o, r, false)) return "the format rule cannot be ignored";
  }
  return nullptr;
}

bool parse_rule_list(const std::string& text, std::vector<Check>& out, std::string& bad) {
  out.clear();
  if (text.empty()) return true;
  std::size_t from = 0;
  for (;;) {
    std::size_t comma = text.find(',', from);
    std::string name = text.substr(from, comma == std::string::npos ? comma : comma - from);
    Check c;
    if (!find_rule(name, c)) {
      bad = name;
      return false;
    }
    out.push_back(c);
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

std::string settings_toml(const Options& o, Profile p, Severity fail_on) {
  // Read back, the profile sets every rule's severity and parameter, then the tables say
  // each one again. A rule that is off but keeps another severity than the profile gives
  // it is written with that severity and ignored.
  std::string s = "profile = \"" + std::string(profile_name(p)) + "\"\n";
  s += "fail-on = \"" + std::string(severity_name(fail_on)) + "\"\n";
  if (o.fps_given) {
    Fault f;  // the rate written as the messages write it: the decimal it was given as
    Msg(f).rate(o.fps);
    s += "fps = \"" + std::string(f.text()) + "\"\n";
  }
  Options base;
  apply_profile(base, p);
  std::string ignored;
  std::string tables;
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    const RuleInfo& r = rule_info(static_cast<Check>(i));
    tables += "\n[rules." + std::string(r.name) + "]\n";
    const char* sev = severity_name(o.level[i]);
    if (!o.on[i] && o.level[i] == base.level[i]) {
      sev = "off";
    } else if (!o.on[i]) {
      ignored += std::string(ignored.empty() ? "" : ", ") + "\"" + r.name + "\"";
    }
    tables += "severity = \"" + std::string(sev) + "\"\n";
    for (const char* key : r.params)
      if (key) tables += std::string(key) + " = " + param_toml(o, r.check, key) + "\n";
  }
  if (!ignored.empty()) s += "ignore = [" + ignored + "]\n";
  return s + tables;
}

std::string rules_listing() {
  std::string s = "RULE             CLASSIC  NETFLIX  ALL      WHAT IT CHECKS\n";
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    const RuleInfo& r = rule_info(static_cast<Check>(i));
    std::string line = r.name;
    line.resize(17, ' ');
    for (Severity sev : r.in) {
      std::string col = severity_name(sev);
      col.resize(9, ' ');
      line += col;
    }
    s += line + r.what + "\n";
  }
  return s;
}

}  // namespace cuelint
