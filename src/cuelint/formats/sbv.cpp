#include "sbv.h"

#include "count.h"
#include "subrip.h"
#include "text.h"

namespace cuelint {

namespace {

// H:MM:SS.mmm, as its time lines write them.
void write_millis(Msg& m, std::int64_t t) {
  m.clock(t, 1, '.');
}

}  // namespace

extern constexpr FormatInfo kSbv = {  // fields in the order of FormatInfo
    "sbv",
    "SBV",
    ".sbv",
    1000,
    subrip_markup,
    Mark::kNone,
    2,
    "at most two are allowed",
    Overlap::kPreviousStop,
    false,
    false,
    &kSubRipTags,
    write_millis};

namespace {

// H:MM:SS.mmm at i, H one or more digits; the index past it, or 0 when there is none.
std::size_t parse_time(std::string_view s, std::size_t i, std::int64_t& ms) {
  std::size_t n = s.size(), first = i;
  std::int64_t h = 0;
  while (i < n && is_digit(s[i])) {
    h = h * 10 + (s[i] - '0');
    if (h > kMaxNumber) return 0;
    ++i;
  }
  if (i == first || n - i < 10) return 0;
  const char* p = s.data() + i;
  auto d = [&](int k, char top) { return p[k] >= '0' && p[k] <= top; };
  if (p[0] != ':' || !d(1, '5') || !d(2, '9') || p[3] != ':' || !d(4, '5') || !d(5, '9') ||
      p[6] != '.' || !d(7, '9') || !d(8, '9') || !d(9, '9'))
    return 0;
  ms = ((h * 60 + two_digits(p + 1)) * 60 + two_digits(p + 4)) * 1000 + (p[7] - '0') * 100 +
       two_digits(p + 8);
  return i + 10;
}

}  // namespace

bool parse_sbv_time_line(std::string_view s, std::int64_t& start, std::int64_t& stop) {
  std::size_t i = parse_time(s, 0, start);
  if (!i || i == s.size() || s[i] != ',') return false;
  i = parse_time(s, i + 1, stop);
  return i && (i == s.size() || is_blank_char(s[i]));
}

bool recognizes_sbv(const Line& l, int rank) {
  std::int64_t a, b;
  return rank == 1 && parse_sbv_time_line(l.text, a, b);
}

void SbvReader::line(const Line& l) {
  std::string_view s = l.text;
  Subtitle sub;
  if (!s.empty() && is_digit(s[0]) && parse_sbv_time_line(s, sub.start, sub.stop)) {
    skipping_ = false;
    sub.line = l.number;
    sub.has_times = true;
    block_.begin(sub);
    return;
  }
  if (is_blank(s, l.unicode)) {
    if (block_.open()) block_.close();
    return;
  }
  if (block_.open()) {
    block_.text(l);
    return;
  }
  if (skipping_) return;
  skipping_ = true;
  Msg m(fc_.loose(Check::kTimeCode, l.number));
  m << "neither a time line H:MM:SS.mmm,H:MM:SS.mmm nor part of a subtitle; "
       "lines up to the next time line are passed over";
}

}  // namespace cuelint
