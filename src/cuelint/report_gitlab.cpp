#include "report_gitlab.h"

#include <nlohmann/json.hpp>

namespace cuelint {

namespace {

using Json = nlohmann::ordered_json;

struct Fnv {
  std::uint64_t h;
  void add(std::string_view s) {
    for (char c : s) {
      h ^= static_cast<unsigned char>(c);
      h *= 0x100000001b3ULL;
    }
    // The length too: "a","bc" and "ab","c" differ.
    for (std::size_t n = s.size(), i = 0; i < 8; ++i, n >>= 8) {
      h ^= n & 0xff;
      h *= 0x100000001b3ULL;
    }
  }
};

void append_hex(std::string& out, std::uint64_t v) {
  static const char kHex[] = "0123456789abcdef";
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(v >> shift) & 15];
}

class GitlabWriter : public Writer {
 public:
  void fault(std::string& out, const std::string& file, const Fault& f) const override {
    Json j;
    j["description"] = std::string(f.text());
    j["check_name"] = check_name(f.check);
    j["fingerprint"] = gitlab_fingerprint(file, check_name(f.check), f.line, f.text());
    j["severity"] = f.severity == Severity::kError ? "major" : "minor";
    j["location"]["path"] = file;
    j["location"]["lines"]["begin"] = f.line;
    out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
    out += '\n';
  }
  std::string begin() override { return "["; }
  // The lines joined into the array.
  std::string_view print(std::string& lines) override {
    buf_.clear();
    each_line(lines, [this](std::string_view line) {
      buf_ += any_ ? ",\n" : "\n";
      any_ = true;
      buf_ += line;
    });
    return buf_;
  }
  std::string end(const Totals&) override { return any_ ? "\n]\n" : "]\n"; }

 private:
  bool any_ = false;
  std::string buf_;
};

}  // namespace

std::string gitlab_fingerprint(std::string_view file, std::string_view rule, std::uint64_t line,
                               std::string_view message) {
  std::string l = std::to_string(line);
  Fnv a{0xcbf29ce484222325ULL}, b{0x84222325cbf29ce4ULL};
  for (Fnv* h : {&a, &b}) {
    h->add(file);
    h->add(rule);
    h->add(l);
    h->add(message);
  }
  std::string s;
  append_hex(s, a.h);
  append_hex(s, b.h);
  return s;
}

std::unique_ptr<Writer> make_gitlab_writer() {
  return std::make_unique<GitlabWriter>();
}

}  // namespace cuelint
