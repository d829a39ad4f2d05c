#include "writer.h"

#include <nlohmann/json.hpp>

#include "report_github.h"
#include "report_gitlab.h"
#include "report_names.h"
#include "report_sarif.h"

namespace cuelint {

namespace {

using Json = nlohmann::ordered_json;

std::string dump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

class TextWriter : public Writer {
 public:
  std::string fault_name(const std::string& file) const override { return printable_name(file); }
  void fault(std::string& out, const std::string& name, const Fault& f) const override {
    append_text(out, name, f);
  }
};

class JsonWriter : public Writer {
 public:
  void fault(std::string& out, const std::string& file, const Fault& f) const override {
    std::size_t at = out.size();
    append_json(out, file, f);
    if (name_is_utf8(file)) return;
    // The name came out with U+FFFD in it: its bytes go right after it. A quote inside the
    // name is escaped, so the first ,"line": is the key's own.
    std::size_t line = out.find(",\"line\":", at);
    out.insert(line, ",\"file_bytes\":\"" + hex_bytes(file) + "\"");
  }
  void checked(std::string& out, const FileRecord& r) const override {
    const FileOutcome& o = r.outcome;
    Json c;
    c["file"] = r.file;
    if (!name_is_utf8(r.file)) c["file_bytes"] = hex_bytes(r.file);
    c["format"] = o.format ? Json(o.format->name) : Json(nullptr);
    c["encoding"] = encoding_name(o.encoding);
    c["rate"] = o.format && o.format->frames() ? Json(rate_text(o.rate)) : Json(nullptr);
    c["faults"] = o.faults;
    c["errors"] = r.errors;
    c["warnings"] = o.faults - r.errors;
    Json j;
    j["checked"] = std::move(c);
    out += dump(j);
    out += '\n';
  }
  std::string unreadable(const std::string& path, const std::string& reason) override {
    Json u;
    u["path"] = path;
    if (!name_is_utf8(path)) u["file_bytes"] = hex_bytes(path);
    u["reason"] = reason;
    Json j;
    j["unreadable"] = std::move(u);
    return dump(j) + "\n";
  }
  std::string end(const Totals& t) override { return json_summary(t); }
  bool summary_on_stderr() const override { return false; }
};

}  // namespace

bool find_output_format(std::string_view name, OutputFormat& out) {
  static const struct {
    const char* name;
    OutputFormat f;
  } kNames[] = {{"text", OutputFormat::kText},
                {"json", OutputFormat::kJson},
                {"github", OutputFormat::kGithub},
                {"sarif", OutputFormat::kSarif},
                {"gitlab", OutputFormat::kGitlab}};
  for (const auto& n : kNames) {
    if (name == n.name) {
      out = n.f;
      return true;
    }
  }
  return false;
}

std::unique_ptr<Writer> make_writer(OutputFormat f) {
  switch (f) {
    case OutputFormat::kJson:
      return std::make_unique<JsonWriter>();
    case OutputFormat::kGithub:
      return make_github_writer();
    case OutputFormat::kSarif:
      return make_sarif_writer();
    case OutputFormat::kGitlab:
      return make_gitlab_writer();
    case OutputFormat::kText:
      break;
  }
  return std::make_unique<TextWriter>();
}

std::string rate_text(const Rate& r) {
  std::string s = std::to_string(r.num / r.den);
  std::int64_t den = r.den, frac = r.num % r.den;
  while (den > 1 && frac % 10 == 0) {
    den /= 10;
    frac /= 10;
  }
  if (den > 1) {
    std::string digits = std::to_string(frac);
    s += '.';
    // Leading zeros of the fraction: 25.05 is 2505 / 100.
    for (std::int64_t d = den / 10; d > 1 && frac < d; d /= 10) s += '0';
    s += digits;
  }
  return s;
}

}  // namespace cuelint
