#include "report_github.h"

#include "report_names.h"

namespace cuelint {

namespace {

void escape(std::string& out, std::string_view s, bool property) {
  for (char c : s) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '\r':
        out += "%0D";
        break;
      case '\n':
        out += "%0A";
        break;
      case ':':
        out += property ? "%3A" : ":";
        break;
      case ',':
        out += property ? "%2C" : ",";
        break;
      default:
        out += c;
    }
  }
}

class GithubWriter : public Writer {
 public:
  // ::error file=FILE,line=LINE,title=cuelint RULE::MESSAGE
  std::string fault_name(const std::string& file) const override { return printable_name(file); }
  void fault(std::string& out, const std::string& name, const Fault& f) const override {
    out += f.severity == Severity::kError ? "::error file=" : "::warning file=";
    github_escape_property(out, name);
    out += ",line=";
    out += std::to_string(f.line);
    out += ",title=cuelint ";
    github_escape_property(out, check_name(f.check));
    out += "::";
    github_escape_data(out, f.text());
    out += '\n';
  }
};

}  // namespace

void github_escape_data(std::string& out, std::string_view s) {
  escape(out, s, false);
}

void github_escape_property(std::string& out, std::string_view s) {
  escape(out, s, true);
}

std::unique_ptr<Writer> make_github_writer() {
  return std::make_unique<GithubWriter>();
}

}  // namespace cuelint
