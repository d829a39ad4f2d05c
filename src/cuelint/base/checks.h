// What every reader shares: the timing checks (order, overlap, reading time), the
// numbering of faults into report order, and the messages.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "decimal.h"
#include "spill.h"
#include "types.h"

namespace cuelint {

// Writes a message into a fault, cut at the end of its buffer.
class Msg {
 public:
  explicit Msg(Fault& f) : f_(f) { f_.message_len = 0; }
  // Inline: a message is a dozen short pieces, most of them literals, and a run may make
  // millions of messages.
  Msg& operator<<(std::string_view s) {
    if (s.size() > sizeof f_.message - f_.message_len) return put_cut(s);
    std::memcpy(f_.message + f_.message_len, s.data(), s.size());
    f_.message_len = static_cast<std::uint16_t>(f_.message_len + s.size());
    return *this;
  }
  Msg& operator<<(const char* s) { return *this << std::string_view(s); }
  Msg& operator<<(std::uint64_t v) {
    if (sizeof f_.message - f_.message_len < decimal::kMaxDigits) return put_cut(v);
    f_.message_len = static_cast<std::uint16_t>(
        f_.message_len + decimal::write_uint(v, f_.message + f_.message_len));
    return *this;
  }
  Msg& operator<<(std::int64_t v) {
    if (v >= 0) return *this << static_cast<std::uint64_t>(v);
    *this << "-";
    return *this << (static_cast<std::uint64_t>(-(v + 1)) + 1);
  }
  Msg& operator<<(int v) { return *this << static_cast<std::int64_t>(v); }
  Msg& time(std::int64_t ms) { return clock(ms, 2, ','); }  // 00:01:02,340
  // Hours in at least `hour_digits` (1 or 2) digits, then :MM:SS, `mark` and milliseconds.
  Msg& clock(std::int64_t ms, int hour_digits, char mark);
  Msg& seconds(std::int64_t ms);  // 1.550
  Msg& rate(const Rate& r);       // 23.976

 private:
  Msg& put_cut(std::string_view s);  // what fits of s
  Msg& put_cut(std::uint64_t v);

  Fault& f_;
};

// A subtitle as the checks see it. Times are in the format's units (FormatInfo).
struct Subtitle {
  std::uint64_t line = 0;  // the time line (MicroDVD: the subtitle line)
  bool has_number = false;
  std::int64_t number = 0;
  bool has_times = false;
  std::int64_t start = 0, stop = 0;
};

class FileChecker {
 public:
  FileChecker(FaultSink& sink, const FormatInfo& format, const Options& opt);

  const FormatInfo& format() const { return format_; }
  // The frame rate a file of frames gives itself (before its first subtitle); --fps wins.
  void set_file_rate(const Rate& r);

  // Opens a subtitle: checks order and overlap, and sets the previous stop.
  void begin(const Subtitle& s);
  // A fault of the open subtitle, held until end(); the caller writes its message. Past
  // kHeld held, they are sorted and spilled to a temporary file (FaultSpill).
  Fault& add(Check c, std::uint64_t line, std::uint64_t column = 0);
  static constexpr std::size_t kHeld = 4096;
  // Up to this many faults of a subtitle are ordered by index instead of moved.
  static constexpr std::size_t kOrderedInPlace = 64;
  // Closes the subtitle: checks the durations, the reading time and emptiness for its
  // `chars` visible characters (`all_chars` with white space, when the reading time counts
  // all), hands its faults over in report order.
  void end(std::uint64_t chars, std::uint64_t all_chars = 0);

  // A fault that belongs to no subtitle, handed over at once (no subtitle may be open).
  Fault& loose(Check c, std::uint64_t line);
  void flush_loose();

  // "subtitle 12", or "the subtitle at line 41".
  static void label(Msg& m, const Subtitle& s);
  const Subtitle& current() const { return cur_; }
  // Units of the times per second: a file of frames, its frame rate in use.
  const Rate& unit() const { return unit_; }
  const Options& options() const { return opt_; }
  bool on(Check c) const { return opt_.severity(c) != Severity::kOff; }
  std::uint64_t faults() const { return faults_; }

 private:
  void set_unit(const Rate& units_per_second);
  // A span of t units: whole frames at the file's rate, halves up.
  std::int64_t frames(std::int64_t t) const;
  // The spans of units that meet a limit, worked out once per rate: below it is t < lo,
  // above it t > hi.
  struct Bounds {
    std::int64_t lo = 0, hi = 0;
  };
  Bounds bounds(const Duration& limit) const;
  void write_span(Msg& m, std::int64_t t) const;
  void write_limit(Msg& m, const Duration& limit) const;
  void duration_fault(Check c, std::int64_t d, const char* limit_word, const Duration& limit);
  std::int64_t to_ms(std::int64_t t) const;
  void fill(Fault& f, Check c, std::uint64_t line, std::uint64_t column, bool of_subtitle);
  void write_time(Msg& m, std::int64_t t) const;

  FaultSink& sink_;
  const FormatInfo& format_;
  Options opt_;
  Rate unit_;        // units of the times per second: num / den
  Rate frame_rate_;  // of limits in frames
  Bounds min_gap_, min_duration_, max_duration_;
  std::int64_t ms_per_unit_ = 0;  // when a unit is a whole number of milliseconds; else 0
  Subtitle cur_;
  bool order_fault_ = false;
  bool has_prev_ = false;
  Subtitle prev_;                // the one that set the previous stop
  std::int64_t prev_start_ = 0;  // what overlap measures from when cues may be shown together
  std::int64_t prev_stop_ = 0;
  void sort_held();

  std::vector<Fault> held_;  // reused: no allocation per subtitle once it has grown
  std::size_t held_n_ = 0;   // of them, those of the open subtitle
  FaultSpill spill_;         // the subtitle's faults past kHeld
  Fault unheld_;             // a fault of a rule that is off: written, never reported
  bool loose_pending_ = false;
  Fault loose_;
  std::uint64_t faults_ = 0;
};

}  // namespace cuelint
