#include "checks.h"

#include <algorithm>
#include <cstring>

#include "decimal.h"
#include "wide.h"

namespace cuelint {

Msg& Msg::put_cut(std::string_view s) {
  std::size_t room = sizeof f_.message - f_.message_len;
  std::size_t n = s.size() < room ? s.size() : room;
  std::memcpy(f_.message + f_.message_len, s.data(), n);
  f_.message_len = static_cast<std::uint16_t>(f_.message_len + n);
  return *this;
}

Msg& Msg::put_cut(std::uint64_t v) {
  char buf[decimal::kMaxDigits];
  return put_cut(std::string_view(buf, decimal::write_uint(v, buf)));
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

Msg& Msg::clock(std::int64_t ms, int hour_digits, char mark) {
  if (ms < 0) {
    *this << "-";
    ms = -ms;
  }
  std::int64_t h = ms / 3600000;
  if (hour_digits == 2 && h < 10) *this << "0";
  *this << h << ":";
  digits(*this, ms / 60000 % 60, 2);
  *this << ":";
  digits(*this, ms / 1000 % 60, 2);
  *this << std::string_view(&mark, 1);
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
  frame_rate_ = format_.frames() ? unit_ : opt_.fps;
  min_gap_ = bounds(opt_.min_gap);
  min_duration_ = bounds(opt_.min_duration);
  max_duration_ = bounds(opt_.max_duration);
  bool whole = unit_.den == 1 && 1000 % unit_.num == 0;
  ms_per_unit_ = whole ? 1000 / unit_.num : 0;
}

std::int64_t FileChecker::to_ms(std::int64_t t) const {
  if (ms_per_unit_) return t * ms_per_unit_;
  // The time to the nearest millisecond, halves up: t * 1000 * den / num.
  Wide num = Wide(t) * 2000 * unit_.den + unit_.num;
  Wide den = Wide(unit_.num) * 2;
  Wide q = num / den;
  if (num % den < 0) q -= 1;  // floor for negative times (none occur: times are >= 0)
  return static_cast<std::int64_t>(q);
}

std::int64_t FileChecker::frames(std::int64_t t) const {
  // t * unit.den / unit.num seconds, times the frame rate fn / fd; then halves up.
  Wide num = Wide(t) * unit_.den * frame_rate_.num * 2 + Wide(unit_.num) * frame_rate_.den;
  Wide den = Wide(unit_.num) * frame_rate_.den * 2;
  Wide q = num / den;
  if (num % den < 0) q -= 1;
  return static_cast<std::int64_t>(q);
}

namespace {

Wide ceil_div(Wide a, Wide b) {  // b > 0
  Wide q = a / b;
  return a % b > 0 ? q + 1 : q;
}

std::int64_t clamp64(Wide v) {
  const Wide top = INT64_MAX, bottom = INT64_MIN;
  return static_cast<std::int64_t>(v > top ? top : v < bottom ? bottom : v);
}

// What a reading-time message says, worked out in T (a built-in integer or Wide).
struct ReadingFigures {
  std::int64_t shown_ms, need_ms;  // shown rounded down, needed up: never printed equal
  std::int64_t per_second, tenth;  // characters per second, to a tenth, halves up
};

template <typename T>
ReadingFigures reading_figures(T d, T per, T unit, T chars, T cps) {
  ReadingFigures r{};
  r.shown_ms = static_cast<std::int64_t>(d * per * 1000 / unit);
  r.need_ms = static_cast<std::int64_t>((chars * 1000 + cps - 1) / cps);
  if (d > 0) {
    // chars * unit / (d * per)
    T den = d * per * 2;
    T tenths = (chars * unit * 20 + den / 2) / den;
    r.per_second = static_cast<std::int64_t>(tenths / 10);
    r.tenth = static_cast<std::int64_t>(tenths % 10);
  }
  return r;
}

}  // namespace

FileChecker::Bounds FileChecker::bounds(const Duration& limit) const {
  // t units are t * den / num seconds.
  Wide num = unit_.num, den = unit_.den, v = limit.value;
  if (limit.unit != Duration::kFrames) {
    // Below: t * den * 1000 < v * num; above: t * den * 1000 > v * num.
    Wide lo = ceil_div(v * num, den * 1000);
    Wide hi = v * num / (den * 1000);
    return {clamp64(lo), clamp64(hi)};
  }
  // frames(t) = floor((2tA + B) / C): below v when 2tA + B < vC, above when 2tA + B >= (v+1)C.
  Wide a = den * frame_rate_.num, b = num * frame_rate_.den, c = 2 * num * frame_rate_.den;
  Wide lo = ceil_div(v * c - b, 2 * a);
  Wide hi = ceil_div((v + 1) * c - b, 2 * a) - 1;
  return {clamp64(lo), clamp64(hi)};
}

void FileChecker::write_span(Msg& m, std::int64_t t) const {
  Wide ms = Wide(t) * unit_.den * 1000 / unit_.num;
  m.seconds(static_cast<std::int64_t>(ms)) << " s";
}

void FileChecker::write_limit(Msg& m, const Duration& limit) const {
  if (limit.unit == Duration::kFrames) {
    m << limit.value << (limit.value == 1 ? " frame" : " frames");
  } else {
    m.seconds(limit.value) << " s";
  }
}

void FileChecker::duration_fault(Check c, std::int64_t d, const char* limit_word,
                                 const Duration& limit) {
  Msg m(add(c, cur_.line));
  label(m, cur_);
  m << " is shown ";
  write_span(m, d);
  if (limit.unit == Duration::kFrames) {
    std::int64_t f = frames(d);
    m << " (" << f << (f == 1 ? " frame" : " frames") << " at ";
    m.rate(frame_rate_) << " per second)";
  }
  m << "; the " << limit_word << " is ";
  write_limit(m, limit);
}

void FileChecker::fill(Fault& f, Check c, std::uint64_t line, std::uint64_t column,
                       bool of_subtitle) {
  f.line = line;
  f.column = column;
  f.check = c;
  f.severity = opt_.severity(c);
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
  } else if (format_.time_form) {
    format_.time_form(m, t);
  } else {
    m.time(to_ms(t));
  }
}

void FileChecker::begin(const Subtitle& s) {
  flush_loose();
  cur_ = s;
  held_n_ = 0;
  if (!spill_.empty()) {
    // Not ended: its faults are dropped, as those held are.
    struct Drop : FaultSink {
      void fault(const Fault&) override {}
    } drop;
    spill_.merge(nullptr, 0, unheld_, opt_, drop);
  }
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
  std::int64_t bound = from_start ? prev_start_ : prev_stop_;
  if (has_prev_ && s.start < bound) {
    Msg m(add(Check::kOverlap, s.line));
    label(m, s);
    m << " starts at ";
    write_time(m, s.start);
    m << ", ";
    write_span(m, bound - s.start);
    m << " before ";
    if (prev_.has_number) {
      label(m, prev_);
    } else {
      m << "the previous " << (from_start ? "cue" : "subtitle") << " (line " << prev_.line << ")";
    }
    m << (from_start ? " starts at " : " stops at ");
    write_time(m, bound);
    if (from_start) m << " (cues may be shown together, but in the order of their starts)";
  }
  if (has_prev_ && s.start >= prev_stop_ && on(Check::kMinGap) &&
      s.start - prev_stop_ < min_gap_.lo) {
    std::int64_t g = s.start - prev_stop_;
    Msg m(add(Check::kMinGap, s.line));
    label(m, s);
    m << " starts ";
    write_span(m, g);
    if (opt_.min_gap.unit == Duration::kFrames) {
      std::int64_t f = frames(g);
      m << " (" << f << (f == 1 ? " frame" : " frames") << " at ";
      m.rate(frame_rate_) << " per second)";
    }
    m << " after the previous subtitle stops; the minimum gap is ";
    write_limit(m, opt_.min_gap);
  }
  has_prev_ = true;
  prev_start_ = s.start;
  prev_stop_ = s.stop;
  prev_ = s;
}

Fault& FileChecker::add(Check c, std::uint64_t line, std::uint64_t column) {
  if (opt_.severity(c) == Severity::kOff) {
    // Found all the same (no rule's faults depend on another's), but not held.
    fill(unheld_, c, line, column, true);
    return unheld_;
  }
  if (held_n_ == kHeld) {
    sort_held();
    spill_.add(held_.data(), held_n_);
    held_n_ = 0;
  }
  // Slots are kept from one subtitle to the next: fill() sets every field that counts.
  if (held_n_ == held_.size()) held_.emplace_back();
  Fault& f = held_[held_n_++];
  fill(f, c, line, column, true);
  return f;
}

void FileChecker::sort_held() {
  // Only before a spill: held faults in the thousands.
  std::stable_sort(held_.begin(), held_.begin() + held_n_, report_before);
}

void FileChecker::end(std::uint64_t visible, std::uint64_t all_chars) {
  const Subtitle& s = cur_;
  std::uint64_t chars = opt_.count_all ? all_chars : visible;
  if (s.has_times && !order_fault_) {
    std::int64_t d = s.stop - s.start;
    if (on(Check::kMinDuration) && d < min_duration_.lo)
      duration_fault(Check::kMinDuration, d, "minimum", opt_.min_duration);
    if (on(Check::kMaxDuration) && d > max_duration_.hi)
      duration_fault(Check::kMaxDuration, d, "maximum", opt_.max_duration);
  }
  if (s.has_times && visible == 0 && on(Check::kEmpty)) {
    Msg m(add(Check::kEmpty, s.line));
    label(m, s);
    m << " has no visible character";
  }
  if (s.has_times && !order_fault_ && opt_.cps > 0) {
    // Seconds shown: d * per / unit; a fault when that times cps is less than chars.
    std::int64_t unit = unit_.num, per = unit_.den;
    std::int64_t d = s.stop - s.start;
    Wide shown = Wide(d) * per * opt_.cps;
    Wide needed = Wide(chars) * unit;
    if (shown < needed) {
      Msg m(add(Check::kReadingTime, s.line));
      label(m, s);
      // Every figure is a few products of small numbers: 64 bits hold them but for
      // absurd inputs, which take the slow way.
      const bool small = d < (std::int64_t{1} << 31) && per < (1 << 16) && unit < (1 << 24) &&
                         chars < (std::uint64_t{1} << 31);
      const ReadingFigures r = small ? reading_figures<std::int64_t>(
                                           d, per, unit, static_cast<std::int64_t>(chars), opt_.cps)
                                     : reading_figures<Wide>(d, per, unit, chars, opt_.cps);
      m << " is shown ";
      m.seconds(r.shown_ms) << " s";
      if (format_.frames()) {
        m << " (" << d << (d == 1 ? " frame" : " frames") << " at ";
        m.rate(unit_) << " per second)";
      }
      m << "; its " << chars << (chars == 1 ? " character needs " : " characters need ");
      m.seconds(r.need_ms) << " s (";
      if (d > 0) m << r.per_second << "." << r.tenth << " per second; ";
      m << "at most " << opt_.cps << ")";
    }
  }
  if (spill_.empty() && held_n_ <= kOrderedInPlace) {
    // The common subtitle: a few faults, put in order by their indexes rather than moved
    // (a fault is a few hundred bytes), inserted as they come, so that ties keep the order
    // they were found in.
    std::uint8_t order[kOrderedInPlace];
    const std::size_t n = held_n_;
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t j = i;
      for (; j > 0 && report_before(held_[i], held_[order[j - 1]]); --j) order[j] = order[j - 1];
      order[j] = static_cast<std::uint8_t>(i);
    }
    for (std::size_t k = 0; k < n; ++k) sink_.fault(held_[order[k]]);
    faults_ += n;
    held_n_ = 0;
    return;
  }
  sort_held();
  if (!spill_.empty()) {
    // The spilled runs and the faults held, merged; the fields not stored are the
    // subtitle's, as every held fault's are.
    struct Count : FaultSink {
      FaultSink& out;
      std::uint64_t n = 0;
      explicit Count(FaultSink& o) : out(o) {}
      void fault(const Fault& f) override {
        out.fault(f);
        ++n;
      }
    } count(sink_);
    Fault like;
    fill(like, Check::kFormat, 0, 0, true);
    spill_.merge(held_.data(), held_n_, like, opt_, count);
    faults_ += count.n;
    held_n_ = 0;
    return;
  }
  for (std::size_t k = 0; k < held_n_; ++k) {
    const Fault& f = held_[k];
    sink_.fault(f);
    ++faults_;
  }
  held_n_ = 0;
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
  if (loose_.severity == Severity::kOff) return;
  sink_.fault(loose_);
  ++faults_;
}

}  // namespace cuelint
