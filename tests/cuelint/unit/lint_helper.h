// Runs the reading and the checks on bytes in memory and writes the faults briefly:
// "LINE:check" plus "#NUMBER" when the fault names a subtitle number and "@START-STOP"
// (milliseconds) when it carries times, one fault after the other, separated by spaces.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "lint.h"
#include "source.h"
#include "types.h"

namespace cuelint_test {

struct Collect : cuelint::FaultSink {
  std::vector<cuelint::Fault> faults;
  void fault(const cuelint::Fault& f) override { faults.push_back(f); }
};

// Hands out its bytes a few at a time, to cross every buffer boundary.
class TrickleSource : public cuelint::Source {
 public:
  TrickleSource(std::string_view data, std::size_t step) : data_(data), step_(step) {}
  std::size_t read(char* buf, std::size_t n) override {
    if (n > step_) n = step_;
    if (n > data_.size() - pos_) n = data_.size() - pos_;
    data_.copy(buf, n, pos_);
    pos_ += n;
    return n;
  }
  void rewind() override { pos_ = 0; }

 private:
  std::string_view data_;
  std::size_t step_;
  std::size_t pos_ = 0;
};

inline std::vector<cuelint::Fault> lint_bytes(std::string_view data,
                                              const cuelint::Options& opt = {}) {
  cuelint::MemorySource src(data.data(), data.size());
  Collect c;
  cuelint::lint(src, opt, c);
  return c.faults;
}

inline std::string brief(const std::vector<cuelint::Fault>& faults) {
  std::string s;
  for (const cuelint::Fault& f : faults) {
    if (!s.empty()) s += ' ';
    s += std::to_string(f.line) + ":" + cuelint::check_name(f.check);
    if (f.has_subtitle) s += "#" + std::to_string(f.subtitle);
    if (f.has_times) s += "@" + std::to_string(f.start_ms) + "-" + std::to_string(f.stop_ms);
  }
  return s;
}

inline std::string lint_brief(std::string_view data, const cuelint::Options& opt = {}) {
  return brief(lint_bytes(data, opt));
}

// Every byte of each base line turned into every byte value, and one byte of each value
// added at its end: parse(line, start, stop) and rule(line, start, stop) must agree on
// taking the line and on its times. The lines taken, or -1 at the first disagreement.
template <class Parse, class Rule>
int agree_at_every_byte(std::initializer_list<const char*> bases, Parse parse, Rule rule) {
  int taken = 0;
  for (std::string base : bases)
    for (std::size_t at = 0; at <= base.size(); ++at)
      for (int c = 0; c < 256; ++c) {
        std::string s = base;
        if (at < s.size()) {
          s[at] = static_cast<char>(c);
        } else {
          s += static_cast<char>(c);
        }
        std::int64_t a = -1, b = -1, ra = -1, rb = -1;
        bool got = parse(s, a, b);
        if (got != rule(s, ra, rb) || (got && (a != ra || b != rb))) {
          ADD_FAILURE() << "\"" << s << "\": parsed " << got << " " << a << " " << b;
          return -1;
        }
        taken += got;
      }
  return taken;
}

}  // namespace cuelint_test
