#include "checks.h"

#include <cstring>

namespace cuelint {

Msg& Msg::operator<<(std::string_view s) {
  std::size_t room = sizeof f_.message - f_.message_len;
  std::size_t n = s.size() < room ? s.size() : room;
  std::memcpy(f_.message + f_.message_len, s.data(), n);
  f_.message_len = static_cast<std::uint16_t>(f_.message_len + n);
  return *this;
}

Msg& Msg::operator<<(std::uint64_t v) {
  char buf[24];
  char* p = buf + sizeof buf;
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  return *this << std::string_view(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

Msg& Msg::operator<<(std::int64_t v) {
  if (v < 0) {
    *this << "-";
    return *this << (static_cast<std::uint64_t>(-(v + 1)) + 1);
  }
  return *this << static_cast<std::uint64_t>(v);
}

namespace {

void digits(Msg& m, std::int64_t v, int width) {
  char buf[4];
  for (int i = width - 1; i >= 0; --i) {
    buf[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  m << std::string_view(buf, static_cast<std::size_t>(width));
}

}  // namespace

Msg& Msg::time(std::int64_t ms) {
  if (ms < 0) {
    *this << "-";
    ms = -ms;
  }
  std::int64_t h = ms / 3600000;
  if (h < 10) *this << "0";
  *this << h << ":";
  digits(*this, ms / 60000 % 60, 2);
  *this << ":";
  digits(*this, ms / 1000 % 60, 2);
  *this << ",";
  digits(*this, ms % 1000, 3);
  return *this;
}

Msg& Msg::seconds(std::int64_t ms) {
  if (ms < 0) {
    *this << "-";
    ms = -ms;
  }
  *this << ms / 1000 << ".";
  digits(*this, ms % 1000, 3);
  return *this;
}

Msg& Msg::rate(const Rate& r) {
  *this << r.num / r.den;
  if (r.den > 1) {
    char buf[8];
    int n = 0;
    for (std::int64_t d = r.den / 10, f = r.num % r.den; d >= 1; d /= 10) {
      buf[n++] = static_cast<char>('0' + f / d % 10);
    }
    *this << "." << std::string_view(buf, static_cast<std::size_t>(n));
  }
  return *this;
}

FileChecker::FileChecker(FaultSink& sink, const FormatInfo& format, const Options& opt)
    : sink_(sink), format_(format), opt_(opt) {
  set_unit(format.frames() ? opt.fps : Rate{format.units_per_second, 1});
}

void FileChecker::set_file_rate(const Rate& r) {
  if (!opt_.fps_given) set_unit(r);
}

void FileChecker::set_unit(const Rate& units_per_second) {
  unit_ = units_per_second;
  bool whole = unit_.den == 1 && 1000 % unit_.num == 0;
  ms_per_unit_ = whole ? 1000 / unit_.num : 0;
}

std::int64_t FileChecker::to_ms(std::int64_t t) const {
  if (ms_per_unit_) return t * ms_per_unit_;
  // The time to the nearest millisecond, halves up: t * 1000 * den / num.
  i128 num = static_cast<i128>(t) * 2000 * unit_.den + unit_.num;
  i128 den = static_cast<i128>(unit_.num) * 2;
  i128 q = num / den;
  if (num % den < 0) --q;  // floor for negative times (none occur: times are >= 0)
  return static_cast<std::int64_t>(q);
}

void FileChecker::fill(Fault& f, Check c, std::uint64_t line, std::uint64_t column,
                       bool of_subtitle) {
  f.line = line;
  f.column = column;
  f.check = c;
  f.format = &format_;
  f.has_subtitle = of_subtitle && cur_.has_number;
  f.subtitle = cur_.number;
  f.has_times = of_subtitle && cur_.has_times;
  f.start_ms = f.has_times ? to_ms(cur_.start) : 0;
  f.stop_ms = f.has_times ? to_ms(cur_.stop) : 0;
  f.message_len = 0;
}

void FileChecker::label(Msg& m, const Subtitle& s) {
  if (s.has_number) {
    m << "subtitle " << s.number;
  } else {
    m << "the subtitle at line " << s.line;
  }
}

void FileChecker::write_time(Msg& m, std::int64_t t) const {
  if (format_.frames()) {
    m << "frame " << t << " (";
    m.time(to_ms(t)) << ")";
  } else {
    m.time(to_ms(t));
  }
}

void FileChecker::begin(const Subtitle& s) {
  flush_loose();
  cur_ = s;
  held_.clear();
  order_fault_ = false;
  if (!s.has_times) return;
  if (s.stop < s.start) {
    order_fault_ = true;
    Msg m(add(Check::kOrder, s.line));
    label(m, s);
    m << " stops at ";
    write_time(m, s.stop);
    m << ", before it starts at ";
    write_time(m, s.start);
  }
  bool from_start = format_.overlap == Overlap::kPreviousStart;
  std::int64_t bound = prev_bound_;
  if (has_prev_ && s.start < bound) {
    Msg m(add(Check::kOverlap, s.line));
    label(m, s);
    m << " starts at ";
    write_time(m, s.start);
    m << (from_start ? ", before the previous cue starts at "
                     : ", before the previous subtitle stops at ");
    write_time(m, bound);
    if (from_start) m << " (cues may be shown together, but in the order of their starts)";
  }
  has_prev_ = true;
  prev_bound_ = from_start ? s.start : s.stop;
}

Fault& FileChecker::add(Check c, std::uint64_t line, std::uint64_t column) {
  held_.emplace_back();
  Fault& f = held_.back();
  fill(f, c, line, column, true);
  return f;
}

void FileChecker::end(std::uint64_t chars) {
  const Subtitle& s = cur_;
  if (s.has_times && !order_fault_ && opt_.cps > 0) {
    // Seconds shown: d * per / unit; a fault when that times cps is less than chars.
    std::int64_t unit = unit_.num, per = unit_.den;
    std::int64_t d = s.stop - s.start;
    i128 shown = static_cast<i128>(d) * per * opt_.cps;
    i128 needed = static_cast<i128>(chars) * unit;
    if (shown < needed) {
      Msg m(add(Check::kReadingTime, s.line));
      label(m, s);
      // Shown rounded down and needed rounded up to the millisecond, so that the two
      // never print equal.
      i128 shown_ms = static_cast<i128>(d) * per * 1000 / unit;
      i128 need_ms = (static_cast<i128>(chars) * 1000 + opt_.cps - 1) / opt_.cps;
      m << " is shown ";
      m.seconds(static_cast<std::int64_t>(shown_ms)) << " s";
      if (format_.frames()) {
        m << " (" << d << (d == 1 ? " frame" : " frames") << " at ";
        m.rate(unit_) << " per second)";
      }
      m << "; its " << chars << (chars == 1 ? " character needs " : " characters need ");
      m.seconds(static_cast<std::int64_t>(need_ms)) << " s at " << opt_.cps << " per second";
    }
  }
  // Report order: line, then check, then column. Held faults come nearly in order (only
  // the reading-time fault comes late), so an insertion sort moves little.
  for (std::size_t i = 1; i < held_.size(); ++i) {
    auto key_less = [](const Fault& a, const Fault& b) {
      if (a.line != b.line) return a.line < b.line;
      if (a.check != b.check) return a.check < b.check;
      return a.column < b.column;
    };
    if (!key_less(held_[i], held_[i - 1])) continue;
    Fault f = held_[i];
    std::size_t j = i;
    while (j > 0 && key_less(f, held_[j - 1])) {
      held_[j] = held_[j - 1];
      --j;
    }
    held_[j] = f;
  }
  for (const Fault& f : held_) sink_.fault(f);
  faults_ += held_.size();
  held_.clear();
}

Fault& FileChecker::loose(Check c, std::uint64_t line) {
  flush_loose();
  loose_pending_ = true;
  fill(loose_, c, line, 0, false);
  return loose_;
}

void FileChecker::flush_loose() {
  if (!loose_pending_) return;
  loose_pending_ = false;
  sink_.fault(loose_);
  ++faults_;
}

}  // namespace cuelint
