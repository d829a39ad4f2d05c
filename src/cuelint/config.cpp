#include "config.h"

#include <toml++/toml.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "encoding.h"
#include "text.h"

namespace cuelint {

namespace fs = std::filesystem;

// Names are UTF-8 on every system: a path made from a narrow string would take the
// Windows code page.
std::string find_config(const std::string& from) {
  std::error_code ec;
  fs::path dir = fs::absolute(fs::u8path(from), ec).lexically_normal();
  if (ec) return "";
  if (dir.filename().empty()) dir = dir.parent_path();  // "/a/b/" from "/a/b/."
  // Named as reached from `from`, so that errors name it as the user sees it.
  fs::path rel = fs::u8path(from);
  for (;;) {
    for (const char* name : {"cuelint.toml", ".cuelint.toml"}) {
      // A folder of that name is passed over; anything else there is the config file.
      if (fs::exists(dir / name, ec) && !fs::is_directory(dir / name, ec))
        return (rel / name).lexically_normal().u8string();
    }
    fs::path up = dir.parent_path();
    if (up == dir || up.empty()) return "";
    dir = up;
    rel /= "..";
  }
}

namespace {

// The first fault found, by line: toml++ keeps keys sorted, not in the file's order.
struct Faults {
  std::string name;
  std::uint64_t line = 0;
  std::string what;
  void add(const toml::source_region& at, const std::string& w) {
    std::uint64_t l = at.begin.line;
    if (what.empty() || l < line) line = l, what = w;
  }
  bool any() const { return !what.empty(); }
  std::string text() const { return name + ":" + std::to_string(line) + ": " + what; }
};

bool read_list(const toml::node& n, const std::string& key, std::vector<Check>& out,
               Faults& faults) {
  const toml::array* a = n.as_array();
  if (!a) {
    faults.add(n.source(), key + ": not a list of rule names");
    return false;
  }
  out.clear();
  for (const toml::node& e : *a) {
    Check c;
    const auto* s = e.as_string();
    if (!s || !find_rule(s->get(), c)) {
      faults.add(e.source(), key + ": no rule named " + (s ? "\"" + s->get() + "\"" : "so"));
      return false;
    }
    out.push_back(c);
  }
  return true;
}

// A value for a rule's parameter: strings and integers; anything else is never right.
bool to_value(const toml::node& n, Value& v) {
  if (const auto* s = n.as_string()) {
    v.kind = Value::kString;
    v.text = s->get();
    return true;
  }
  if (const auto* i = n.as_integer()) {
    v.kind = Value::kInteger;
    v.integer = i->get();
    return true;
  }
  return false;
}

void read_rules(const toml::node& n, Config& out, Faults& faults) {
  const toml::table* rules = n.as_table();
  if (!rules) {
    faults.add(n.source(), "rules: not a table");
    return;
  }
  for (const auto& [name, node] : *rules) {
    Check c;
    std::string rule(name.str());
    if (!find_rule(rule, c)) {
      faults.add(node.source(), "no rule named \"" + rule + "\"");
      continue;
    }
    const toml::table* t = node.as_table();
    if (!t) {
      faults.add(node.source(), "rules." + rule + ": not a table");
      continue;
    }
    for (const auto& [key, value] : *t) {
      std::string k(key.str());
      RuleChoices::Set set{c, k, Value{}};
      Options scratch;
      if (!to_value(value, set.value)) {
        faults.add(value.source(), rule + "." + k + ": neither a string nor a whole number");
        continue;
      }
      if (const char* bad = set_param(scratch, c, k, set.value)) {
        faults.add(value.source(), rule + "." + k + ": " + bad);
        continue;
      }
      out.choices.sets.push_back(std::move(set));
    }
  }
}

}  // namespace

bool parse_config(const std::string& text, const std::string& name, Config& out,
                  std::string& error) {
  out = Config();
  out.path = name;
  Utf8Validator utf8;
  if (!utf8.feed(reinterpret_cast<const unsigned char*>(text.data()), text.size()) ||
      !utf8.finish()) {
    error = name + ": not UTF-8 text";
    return false;
  }
  toml::table root;
  try {
    root = toml::parse(text, name);
  } catch (const toml::parse_error& e) {
    error =
        name + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description());
    return false;
  }
  Faults faults;
  faults.name = name;
  for (const auto& [key, node] : root) {
    std::string k(key.str());
    if (k == "profile") {
      const auto* s = node.as_string();
      if (!s || !find_profile(s->get(), out.profile)) {
        faults.add(node.source(), "profile: \"classic\", \"netflix\" or \"all\"");
        continue;
      }
      out.has_profile = true;
    } else if (k == "fail-on") {
      const auto* s = node.as_string();
      if (!s || (s->get() != "error" && s->get() != "warning")) {
        faults.add(node.source(), "fail-on: \"error\" or \"warning\"");
        continue;
      }
      out.has_fail_on = true;
      out.fail_on = s->get() == "error" ? Severity::kError : Severity::kWarning;
    } else if (k == "fps") {
      if (node.is_floating_point()) {
        // A TOML float is binary: the rate would not stay the decimal it was written as.
        faults.add(node.source(), "fps: write the rate as a string, such as \"23.976\"");
      } else if (const auto* i = node.as_integer()) {
        if (i->get() < 1 || i->get() > 9999) {
          faults.add(node.source(), "fps: a whole number from 1 to 9999, or a string");
        } else {
          out.fps = Rate{i->get(), 1};
          out.has_fps = true;
        }
      } else if (const auto* s = node.as_string(); s && parse_rate(s->get(), out.fps)) {
        out.has_fps = true;
      } else {
        faults.add(node.source(), "fps: not a frame rate such as \"25\" or \"23.976\"");
      }
    } else if (k == "select") {
      out.choices.has_select = read_list(node, k, out.choices.select, faults);
    } else if (k == "extend-select") {
      out.choices.has_extend = read_list(node, k, out.choices.extend, faults);
    } else if (k == "ignore") {
      out.choices.has_ignore = read_list(node, k, out.choices.ignore, faults);
      for (Check c : out.choices.ignore)
        if (c == Check::kFormat) faults.add(node.source(), "the format rule cannot be ignored");
    } else if (k == "rules") {
      read_rules(node, out, faults);
    } else {
      faults.add(node.source(), "unknown key \"" + k + "\"");
    }
  }
  if (faults.any()) {
    error = faults.text();
    return false;
  }
  return true;
}

bool read_config(const std::string& path, Config& out, std::string& error) {
  std::error_code ec;
  std::ifstream in;
  const fs::path name = fs::u8path(path);
  if (!fs::is_directory(name, ec)) in.open(name, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in.is_open() || in.bad()) {
    error = path + ": cannot be read";
    return false;
  }
  return parse_config(text.str(), path, out, error);
}

const char* settle(const Config& config, const CommandLine& cl, Settled& out) {
  out.profile = cl.has_profile ? cl.profile : config.profile;
  out.options = Options();
  apply_profile(out.options, out.profile);
  if (config.has_fps) {
    out.options.fps = config.fps;
    out.options.fps_given = true;
  }
  if (const char* bad = apply_choices(out.options, config.choices)) return bad;
  apply_command_line(cl, out.options);
  out.fail_on = cl.has_fail_on ? cl.fail_on : config.fail_on;
  return nullptr;
}

}  // namespace cuelint
