// libFuzzer target for cuelint: the reading and the checks of one file, in memory, on
// arbitrary bytes.
//
// Input layout:
//   byte 0      options: bits 0-1 the characters per second (20, 0, 1000, 7); bit 2 a
//               frame rate given as --fps; bits 3-4 that rate (25, 23.976, 0.000001,
//               9999.999999); bits 5-7 the read size of the second run (1 to 8 bytes)
//   the rest    the file's bytes
//
// Every input runs three times: read whole from memory; trickled a few bytes at a time with a
// line buffer of 16 bytes, so that reads, UTF-16 code units, CR LF pairs and lines are cut
// at every place; and with the encoding decided on a pass of its own before the reading. All
// runs must give the same faults. Then twice more with every rule on (the `all` profile),
// whole and trickled: the two must agree, and their faults of the classic rules must be the
// first runs' faults. The faults must come in report order (line, then check);
// and every fault is written as a text line and as JSON. A difference or a fault out of order stops
// the run
// (__builtin_trap), as do crashes, sanitizer reports, leaks and hangs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "lint.h"
#include "report.h"
#include "rules.h"
#include "source.h"

namespace {

class Trickle : public cuelint::Source {
 public:
  Trickle(const uint8_t* data, std::size_t size, std::size_t step)
      : data_(data), size_(size), step_(step) {}
  std::size_t read(char* buf, std::size_t n) override {
    if (n > step_) n = step_;
    if (n > size_ - pos_) n = size_ - pos_;
    if (n) std::memcpy(buf, data_ + pos_, n);
    pos_ += n;
    return n;
  }
  void rewind() override { pos_ = 0; }

 private:
  const uint8_t* data_;
  std::size_t size_, step_, pos_ = 0;
};

// Keeps a digest of every fault and writes each in both report forms.
class Sink : public cuelint::FaultSink {
 public:
  // classic: the digest keeps only faults of the rules the classic profile has on.
  explicit Sink(bool classic = false) : classic_(classic) {}
  void fault(const cuelint::Fault& f) override {
    if (f.message_len > sizeof f.message) __builtin_trap();
    if (count_ && (f.line < last_line_ || (f.line == last_line_ && f.check < last_check_)))
      __builtin_trap();  // out of report order
    last_line_ = f.line;
    last_check_ = f.check;
    ++count_;
    text_.clear();
    cuelint::append_text(text_, "fuzz.srt", f);
    cuelint::append_json(text_, "fuzz\xff.srt", f);
    if (classic_ && cuelint::Options().severity(f.check) == cuelint::Severity::kOff) return;
    digest_ += std::to_string(f.line) + cuelint::check_name(f.check) +
               (f.has_subtitle ? std::to_string(f.subtitle) : "-") +
               (f.has_times ? std::to_string(f.start_ms) + "/" + std::to_string(f.stop_ms) : "-") +
               std::string(f.text()) + "\n";
  }
  std::string digest_;
  std::uint64_t count_ = 0;

 private:
  bool classic_;
  std::string text_;
  std::uint64_t last_line_ = 0;
  cuelint::Check last_check_ = cuelint::Check::kOrder;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  unsigned o = data[0];
  ++data;
  --size;
  cuelint::Options opt;
  const std::int64_t cps[] = {20, 0, 1000, 7};
  opt.cps = cps[o & 3];
  opt.fps_given = (o & 4) != 0;
  const cuelint::Rate rates[] = {{25, 1}, {23976, 1000}, {1, 1000000}, {9999999999, 1000000}};
  if (opt.fps_given) opt.fps = rates[(o >> 3) & 3];
  std::size_t step = 1 + ((o >> 5) & 7);

  Sink whole;
  cuelint::MemorySource mem(data, size);
  cuelint::FileOutcome a = cuelint::lint(mem, opt, whole);

  Sink cut;
  Trickle trickle(data, size, step);
  cuelint::FileOutcome b = cuelint::lint(trickle, opt, cut, 16);

  // The encoding decided on a pass of its own first, as for a file with a mark.
  Sink first;
  cuelint::MemorySource mem2(data, size);
  cuelint::FileOutcome c = cuelint::lint(mem2, opt, first, 65536, true);

  if (a.faults != whole.count_ || b.faults != cut.count_) __builtin_trap();
  if (a.encoding != b.encoding || a.format != b.format) __builtin_trap();
  if (a.encoding != c.encoding || a.format != c.format || a.faults != c.faults) __builtin_trap();
  if (whole.digest_ != cut.digest_ || whole.digest_ != first.digest_) __builtin_trap();

  // Every rule on: the rules of the classic profile find what they found alone.
  cuelint::Options all = opt;
  cuelint::apply_profile(all, cuelint::Profile::kAll);
  all.cps = opt.cps;
  Sink every(true);
  cuelint::MemorySource mem3(data, size);
  cuelint::FileOutcome d = cuelint::lint(mem3, all, every);
  Sink every_cut(true);
  Trickle trickle2(data, size, step);
  cuelint::FileOutcome e = cuelint::lint(trickle2, all, every_cut, 16);
  if (d.faults != every.count_ || e.faults != every_cut.count_ || d.faults != e.faults)
    __builtin_trap();
  if (d.faults < a.faults || every.digest_ != whole.digest_ || every_cut.digest_ != whole.digest_)
    __builtin_trap();
  return 0;
}
