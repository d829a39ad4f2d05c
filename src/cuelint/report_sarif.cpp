#include "report_sarif.h"

#include <array>
#include <nlohmann/json.hpp>
#include <vector>

#include "platform.h"
#include "rules.h"
#include "version.h"

namespace cuelint {

namespace {

using Json = nlohmann::ordered_json;

std::string dump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

constexpr char kInformationUri[] =
    "https://github.com/cuecheck/cuecheck#cuelint-the-same-checks-for-todays-files-in-batches";
constexpr std::size_t kMaxNotes = 1000;  // unreadable paths named; the rest only counted

// Results come before the tool in the run object: the rules that reported are known only
// at the end, and holding the results would not keep memory bounded.
class SarifWriter : public Writer {
 public:
  explicit SarifWriter(std::uint64_t max_results) : max_(max_results) {}

  // One line a result, its rule first: the printer reads the rule back from it.
  void fault(std::string& out, const std::string& file, const Fault& f) const override {
    Json region;
    region["startLine"] = f.line;
    Json loc;
    loc["physicalLocation"]["artifactLocation"]["uri"] = uri_reference(file, path_separator());
    loc["physicalLocation"]["region"] = std::move(region);
    Json r;
    r["ruleId"] = check_name(f.check);
    r["level"] = f.severity == Severity::kError ? "error" : "warning";
    r["message"]["text"] = std::string(f.text());
    r["locations"] = Json::array({std::move(loc)});
    out += dump(r);
    out += '\n';
  }

  std::string begin() override {
    return "{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\","
           "\"version\":\"2.1.0\",\"runs\":[{\"results\":[";
  }

  std::string_view print(std::string& lines) override {
    buf_.clear();
    each_line(lines, [this](std::string_view line) {
      note_rule(line);
      if (written_ >= max_) {
        ++dropped_;
        return;
      }
      buf_ += written_++ ? ",\n" : "\n";
      buf_ += line;
    });
    return buf_;
  }

  std::string unreadable(const std::string& path, const std::string& reason) override {
    if (unreadable_++ < kMaxNotes) {
      Json n;
      n["level"] = "error";
      n["message"]["text"] = path + ": " + reason;
      n["locations"] = Json::array(
          {{{"physicalLocation",
             {{"artifactLocation", {{"uri", uri_reference(path, path_separator())}}}}}}});
      notes_.push_back(std::move(n));
    }
    return std::string();
  }

  std::string end(const Totals&) override {
    Json rules = Json::array();
    for (std::size_t i = 0; i < kCheckCount; ++i) {
      if (!seen_[i]) continue;
      Json r;
      r["id"] = check_name(static_cast<Check>(i));
      r["shortDescription"]["text"] = rule_info(static_cast<Check>(i)).what;
      rules.push_back(std::move(r));
    }
    Json driver;
    driver["name"] = "cuelint";
    driver["version"] = CUECHECK_VERSION;
    driver["informationUri"] = kInformationUri;
    driver["rules"] = std::move(rules);
    Json notes = Json::array();
    for (Json& n : notes_) notes.push_back(std::move(n));
    if (unreadable_ > kMaxNotes) {
      Json n;
      n["level"] = "error";
      n["message"]["text"] =
          std::to_string(unreadable_ - kMaxNotes) + " more paths could not be read";
      notes.push_back(std::move(n));
    }
    if (dropped_) {
      Json n;
      n["level"] = "warning";
      n["message"]["text"] = std::to_string(dropped_) + " more results not reported: at most " +
                             std::to_string(max_) + " results in a run";
      notes.push_back(std::move(n));
    }
    Json inv;
    inv["executionSuccessful"] = unreadable_ == 0;
    if (!notes.empty()) inv["toolExecutionNotifications"] = std::move(notes);
    std::string s = written_ ? "\n]," : "],";
    s += "\"tool\":{\"driver\":" + dump(driver) + "},";
    s += "\"invocations\":[" + dump(inv) + "]}]}\n";
    return s;
  }

 private:
  void note_rule(std::string_view line) {
    static constexpr std::string_view kHead = "{\"ruleId\":\"";
    if (line.substr(0, kHead.size()) != kHead) return;
    std::string_view rest = line.substr(kHead.size());
    Check c;
    if (find_rule(rest.substr(0, rest.find('"')), c)) seen_[static_cast<std::size_t>(c)] = true;
  }

  std::uint64_t max_;
  std::uint64_t written_ = 0;
  std::uint64_t dropped_ = 0;
  std::uint64_t unreadable_ = 0;
  std::array<bool, kCheckCount> seen_{};
  std::vector<Json> notes_;
  std::string buf_;
};

}  // namespace

std::string uri_reference(std::string_view path, char separator) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(path.size() + 8);
  // An absolute path is a file URI: a reference that begins with "/" is not one SARIF takes.
  if (!path.empty() && path[0] == '/') s = "file://";
  bool backslash = separator == '\\';
  if (backslash) {
    // C:\ or C:/ begins an absolute path where folders are split by backslashes.
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() > 2 && letter(path[0]) && path[1] == ':' &&
        (path[2] == '\\' || path[2] == '/')) {
      s = "file:///";
      s += path.substr(0, 2);
      path.remove_prefix(2);
    }
  }
  for (char ch : path) {
    auto c = static_cast<unsigned char>(ch);
    if (backslash && c == '\\') c = '/';
    bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (keep) {
      s += static_cast<char>(c);
    } else {
      s += '%';
      s += kHex[c >> 4];
      s += kHex[c & 15];
    }
  }
  return s;
}

std::unique_ptr<Writer> make_sarif_writer(std::uint64_t max_results) {
  return std::make_unique<SarifWriter>(max_results);
}

}  // namespace cuelint
