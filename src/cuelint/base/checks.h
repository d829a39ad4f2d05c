// What the three readers share: the timing checks (order, overlap, reading time), the
// numbering of faults into report order, and the messages.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "types.h"

namespace cuelint {

// Writes a message into a fault, cut at the end of its buffer.
class Msg {
 public:
  explicit Msg(Fault& f) : f_(f) { f_.message_len = 0; }
  Msg& operator<<(std::string_view s);
  Msg& operator<<(std::int64_t v);
  Msg& operator<<(std::uint64_t v);
  Msg& operator<<(int v) { return *this << static_cast<std::int64_t>(v); }
  Msg& time(std::int64_t ms);     // 00:01:02,340
  Msg& seconds(std::int64_t ms);  // 1.550
  Msg& rate(const Rate& r);       // 23.976

 private:
  Fault& f_;
};

// A subtitle as the checks see it. Times are in the file's units: milliseconds (SubRip),
// hundredths (Subviewer 2.0) or frames (MicroDVD).
struct Subtitle {
  std::uint64_t line = 0;  // the time line (MicroDVD: the subtitle line)
  bool has_number = false;
  std::int64_t number = 0;
  bool has_times = false;
  std::int64_t start = 0, stop = 0;
};

class FileChecker {
 public:
  FileChecker(FaultSink& sink, Format format, const Options& opt);

  // The frame rate of a MicroDVD file (before its first subtitle).
  void set_rate(const Rate& r) { rate_ = r; }
  const Rate& rate() const { return rate_; }

  // Opens a subtitle: checks order and overlap, and sets the previous stop.
  void begin(const Subtitle& s);
  // A fault of the open subtitle, held until end(); the caller writes its message.
  Fault& add(Check c, std::uint64_t line, std::uint64_t column = 0);
  // Closes the subtitle: checks the reading time for `chars` characters, hands its faults
  // over in report order. text_lines names the count in a too-many-lines message.
  void end(std::uint64_t chars, std::uint64_t text_lines = 0);

  // A fault that belongs to no subtitle, handed over at once (no subtitle may be open).
  Fault& loose(Check c, std::uint64_t line);
  void flush_loose();

  // The open subtitle runs straight into the next one: its structure fault at `line`.
  void no_blank_line_after(std::uint64_t line);

  // "subtitle 12", or "the subtitle at line 41".
  static void label(Msg& m, const Subtitle& s);
  const Subtitle& current() const { return cur_; }
  std::uint64_t faults() const { return faults_; }

 private:
  std::int64_t to_ms(std::int64_t t) const;
  void fill(Fault& f, Check c, std::uint64_t line, std::uint64_t column, bool of_subtitle);
  void write_time(Msg& m, std::int64_t t) const;

  FaultSink& sink_;
  Format format_;
  Options opt_;
  Rate rate_;
  Subtitle cur_;
  bool order_fault_ = false;
  bool has_prev_ = false;
  std::int64_t prev_stop_ = 0;
  std::vector<Fault> held_;  // reused: no allocation per subtitle once it has grown
  bool loose_pending_ = false;
  Fault loose_;
  std::uint64_t faults_ = 0;
};

}  // namespace cuelint
