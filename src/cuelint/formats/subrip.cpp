#include "subrip.h"

#include <cstring>

#include "count.h"
#include "scan.h"
#include "text.h"

namespace cuelint {

extern constexpr TagSet kSubRipTags = {{"i", "b", "u", "s", "font"}, 0, false};

extern constexpr FormatInfo kSubRip = {  // fields in the order of FormatInfo
    "subrip",
    "SubRip",
    ".srt",
    1000,
    subrip_markup,
    Mark::kNone,
    2,
    "at most two are allowed",
    Overlap::kPreviousStop,
    false,
    false,
    &kSubRipTags,
    nullptr};

namespace {

bool holds_arrow(std::string_view s) {
  if (s.size() < 3) return false;
  for (const char *p = s.data(), *e = s.data() + s.size() - 2; p < e; ++p)
    if (p[0] == '-' && p[1] == '-' && p[2] == '>') return true;
  return false;
}

// Digits ":" digits ":" digits, "," or ".", digits, one or more digits each, at i; the index
// past it, or 0.
std::size_t loose_time(std::string_view s, std::size_t i) {
  static const char kAfter[] = {':', ':', ','};
  for (int field = 0; field < 4; ++field) {
    std::size_t first = i;
    while (i < s.size() && is_digit(s[i])) ++i;
    if (i == first) return 0;
    if (field == 3) break;
    if (i == s.size() || !(s[i] == kAfter[field] || (field == 2 && s[i] == '.'))) return 0;
    ++i;
  }
  return i;
}

// Bytes of a character that may stand in a misspelled arrow at i: a blank, "-", "=", ">",
// and in UTF-8 an en dash, an em dash or a rightwards arrow; 0 for any other.
std::size_t arrow_char(std::string_view s, std::size_t i, bool& blank) {
  char c = s[i];
  blank = is_blank_char(c);
  if (blank || c == '-' || c == '=' || c == '>') return 1;
  std::string_view rest = s.substr(i, 3);
  if (rest == "\xE2\x80\x93" || rest == "\xE2\x80\x94" || rest == "\xE2\x86\x92") return 3;
  return 0;
}

// A time, a misspelled arrow (not all blanks), a time, from i.
bool misspelled_arrow(std::string_view s, std::size_t i) {
  i = loose_time(s, i);
  if (!i) return false;
  bool any = false, blank = false;
  while (i < s.size()) {
    std::size_t k = arrow_char(s, i, blank);
    if (!k) break;
    any |= !blank;
    i += k;
  }
  return any && loose_time(s, i) != 0;
}

}  // namespace

bool is_subrip_candidate(std::string_view line) {
  std::size_t i = 0, n = line.size();
  while (i < n && is_blank_char(line[i])) ++i;
  if (i == n || !(is_digit(line[i]) || line[i] == '-')) return false;
  if (holds_arrow(line.substr(i))) return true;
  return is_digit(line[i]) && misspelled_arrow(line, i);
}

bool recognizes_subrip(const Line& l, int) {
  return is_subrip_candidate(l.text);
}

namespace {

inline unsigned digit(char c) {
  return static_cast<unsigned char>(c - '0');
}

// H:MM:SS,mmm at i; the index past it, or 0 when there is none.
std::size_t parse_time(const char* s, std::size_t n, std::size_t i, std::int64_t& ms) {
  std::size_t first = i;
  std::int64_t h = 0;
  while (i < n && is_digit(s[i])) {
    h = h * 10 + (s[i] - '0');
    if (h > kMaxNumber) return 0;
    ++i;
  }
  if (i == first || n - i < 10) return 0;
  const char* p = s + i;
  unsigned m1 = digit(p[1]), m2 = digit(p[2]), s1 = digit(p[4]), s2 = digit(p[5]), f1 = digit(p[7]),
           f2 = digit(p[8]), f3 = digit(p[9]);
  // One test for the whole form, without a branch per character.
  bool bad = (p[0] != ':') | (p[3] != ':') | ((p[6] != ',') & (p[6] != '.')) | (m1 > 5) | (m2 > 9) |
             (s1 > 5) | (s2 > 9) | (f1 > 9) | (f2 > 9) | (f3 > 9);
  if (bad) return 0;
  ms = ((h * 60 + (m1 * 10 + m2)) * 60 + (s1 * 10 + s2)) * 1000 + f1 * 100 + f2 * 10 + f3;
  return i + 10;
}

// The time line as nearly every file writes it, "HH:MM:SS,mmm --> HH:MM:SS,mmm": its
// first sixteen bytes, and its last sixteen.
constexpr Form16 kHead = make_form("DD:5D:5D~DDD -->");
constexpr Form16 kTail = make_form("--> DD:5D:5D~DDD");

inline std::int64_t ms_at(const char* p) {
  return ((two_digits(p) * 60 + two_digits(p + 3)) * 60 + two_digits(p + 6)) * 1000 +
         (p[9] - '0') * 100 + two_digits(p + 10);
}

// First bytes that make a line text at once: not a blank, digit or "-" (no candidate, no
// number, not blank), and ASCII (no Unicode white space). Most text lines begin so.
bool plain_start(unsigned char c) {
  return c > 0x20 && c < 0x80 && c != '-' && !(c >= '0' && c <= '9');
}

}  // namespace

bool parse_subrip_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop) {
  const char* s = line.data();
  std::size_t n = line.size();
  if (n >= 29 && fits_form(s, kHead) && fits_form(s + 13, kTail)) {
    start = ms_at(s);
    stop = ms_at(s + 17);
    return n == 29 || !is_digit(s[29]);
  }
  std::size_t i = parse_time(s, n, 0, start);
  if (!i) return false;
  while (i < n && is_blank_char(s[i])) ++i;
  if (n - i < 3 || s[i] != '-' || s[i + 1] != '-' || s[i + 2] != '>') return false;
  i += 3;
  while (i < n && is_blank_char(s[i])) ++i;
  i = parse_time(s, n, i, stop);
  return i && (i == n || !is_digit(s[i]));
}

const char* time_line_fault(std::string_view s) {
  std::size_t i = 0, n = s.size();
  if (n && is_blank_char(s[0])) return "a blank before the start time";
  for (const char* which : {"start", "stop"}) {
    bool start = which[2] == 'a';
    if (i < n && s[i] == '-') return start ? "a negative start time" : "a negative stop time";
    std::size_t first = i;
    std::int64_t h = 0;
    while (i < n && is_digit(s[i]) && h <= kMaxNumber) h = h * 10 + (s[i++] - '0');
    if (i == first || h > kMaxNumber)
      return start ? "the start time's hours" : "the stop time's hours";
    auto two = [&](char sep, int max) {
      if (i >= n || s[i] != sep || n - i < 3 || !is_digit(s[i + 1]) || !is_digit(s[i + 2]) ||
          two_digits(s.data() + i + 1) > max)
        return false;
      i += 3;
      return true;
    };
    if (!two(':', 59)) return start ? "the start time's minutes" : "the stop time's minutes";
    if (!two(':', 59)) return start ? "the start time's seconds" : "the stop time's seconds";
    bool ms = i < n && (s[i] == ',' || s[i] == '.') && n - i >= 4 && is_digit(s[i + 1]) &&
              is_digit(s[i + 2]) && is_digit(s[i + 3]);
    i += 4;
    if (!ms || (i < n && is_digit(s[i])))
      return start ? "the start time's milliseconds" : "the stop time's milliseconds";
    if (!start) break;
    while (i < n && is_blank_char(s[i])) ++i;
    if (n - i < 3 || s.substr(i, 3) != "-->") return "the arrow";
    i += 3;
    while (i < n && is_blank_char(s[i])) ++i;
  }
  return "its form";
}

void SubRipReader::line(const Line& l) {
  std::string_view s = l.text;
  // The common lines first, each by its first byte: text, a number, an empty line.
  if (!s.empty() && plain_start(static_cast<unsigned char>(s[0]))) {
    flush_pending();
    text(l);
    return;
  }
  std::int64_t v = -1;
  if (!s.empty() && is_digit(s[0])) {
    // A well-formed time line is a candidate line: no need to look for "-->" apart.
    Subtitle sub;
    if (s.size() >= 12 && parse_subrip_time_line(s, sub.start, sub.stop)) {
      start(l, &sub);
      return;
    }
    v = whole_number(s);  // no "-->" in a whole number: not a candidate
    if (v < 0 && is_subrip_candidate(s)) {
      start(l, nullptr);
      return;
    }
  } else if (is_subrip_candidate(s)) {
    start(l, nullptr);
    return;
  } else if (!s.empty()) {
    v = whole_number(s);
  }
  flush_pending();
  if (v >= 0) {
    pending_ = true;
    pending_value_ = v;
    pending_line_ = l.number;
    pending_chars_ = 0;
    for (char c : s) pending_chars_ += is_digit(c);
    if (block_.inspects()) {
      if (s.size() <= sizeof pending_short_) {
        std::memcpy(pending_short_, s.data(), s.size());
        pending_text_ = std::string_view(pending_short_, s.size());
      } else {
        pending_long_.assign(s.data(), s.size());
        pending_text_ = pending_long_;
      }
    }
    return;
  }
  if (s.empty() || is_blank(s, l.unicode)) {
    if (block_.open()) block_.close();
    stray_run_ = false;
    return;
  }
  text(l);
}

void SubRipReader::start(const Line& l, const Subtitle* timed) {
  stray_run_ = false;
  Subtitle sub;
  sub.line = l.number;
  sub.has_number = pending_;
  sub.number = pending_value_;
  if (timed) {
    sub.start = timed->start, sub.stop = timed->stop, sub.has_times = true;
  } else {
    sub.has_times = parse_subrip_time_line(l.text, sub.start, sub.stop);
  }
  block_.begin(sub);
  // After subtitles without a number, a number may have counted them or not.
  std::int64_t lowest = last_number_ + 1, highest = lowest + unnumbered_;
  if (pending_) {
    // One unsigned comparison: below lowest wraps around to a large value.
    if (static_cast<std::uint64_t>(pending_value_ - lowest) >
        static_cast<std::uint64_t>(unnumbered_)) {
      Msg m(fc_.add(Check::kNumbering, pending_line_));
      m << "subtitle numbered " << pending_value_ << " where " << lowest;
      if (highest > lowest) m << " to " << highest;
      m << " is expected";
    }
    last_number_ = pending_value_;
    unnumbered_ = 0;
  } else {
    Msg m(fc_.add(Check::kNumbering, l.number));
    FileChecker::label(m, sub);
    m << " has no number where " << highest << " is expected";
    ++unnumbered_;
  }
  pending_ = false;
  if (!sub.has_times) {
    Msg m(fc_.add(Check::kTimeCode, l.number));
    FileChecker::label(m, sub);
    m << " has a malformed time line (H:MM:SS,mmm --> H:MM:SS,mmm): ";
    if (holds_arrow(l.text)) {
      m << time_line_fault(l.text);
    } else {
      m << "the arrow between the times must be -->";
    }
  }
}

void SubRipReader::text(const Line& l) {
  if (block_.open()) {
    block_.text(l);
  } else {
    stray(l.number);
  }
}

void SubRipReader::stray(std::uint64_t number) {
  if (stray_run_) return;
  stray_run_ = true;
  Msg m(fc_.loose(Check::kStructure, number));
  m << "text that belongs to no subtitle";
}

void SubRipReader::flush_pending() {
  if (!pending_) return;
  pending_ = false;
  if (block_.open() && block_.inspects()) {
    Line l;
    l.text = pending_text_;
    l.number = pending_line_;
    block_.text(l);
  } else if (block_.open()) {
    block_.text_counted(pending_line_, pending_chars_);
  } else {
    stray(pending_line_);
  }
}

void SubRipReader::finish() {
  flush_pending();
  block_.finish();
}

}  // namespace cuelint
