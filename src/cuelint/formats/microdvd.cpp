#include "microdvd.h"

#include "count.h"
#include "text.h"

namespace cuelint {

static bool frame(std::string_view s, std::size_t& i, std::int64_t& out) {
  std::size_t n = s.size(), k = i;
  if (k >= n || s[k] != '{') return false;
  std::size_t first = ++k;
  std::int64_t v = 0;  // in a register, not stored through out at every digit
  while (k < n && is_digit(s[k])) {
    v = v * 10 + (s[k] - '0');
    if (v > kMaxNumber) return false;
    ++k;
  }
  if (k == first || k >= n || s[k] != '}') return false;
  i = k + 1;
  out = v;
  return true;
}

bool parse_microdvd_line(std::string_view s, std::int64_t& start, std::int64_t& stop,
                         std::size_t& text_at) {
  std::size_t i = 0;
  if (!frame(s, i, start) || !frame(s, i, stop)) return false;
  text_at = i;
  return true;
}

void MicroDvdReader::line(std::string_view s, std::uint64_t number) {
  if (is_blank(s, unicode_)) return;
  if (s.substr(0, 9) == "{DEFAULT}") return;  // a style line
  Subtitle sub;
  std::size_t text_at = 0;
  if (!parse_microdvd_line(s, sub.start, sub.stop, text_at)) {
    Msg m(fc_.loose(Check::kFrameCode, number));
    m << "not a subtitle line {START}{STOP}TEXT with frame numbers";
    return;
  }
  std::string_view text = s.substr(text_at);
  if (!seen_first_) {
    seen_first_ = true;
    Rate r;
    if (sub.start == sub.stop && sub.start <= 1 && parse_rate(text, r) && r.num >= r.den &&
        r.num <= 1000 * r.den) {
      // The file's frame rate, not a subtitle.
      if (!fps_given_) fc_.set_rate(r);
      return;
    }
  }
  sub.line = number;
  sub.has_times = true;
  fc_.begin(sub);
  unsigned marks = 0;
  std::uint64_t chars = count_line(text, Format::kMicroDvd, unicode_, &marks);
  if (marks & kHasBracket)
    for_each_mark(text, [&](std::size_t col, Mark mark) {
      if (mark != Mark::kBr) return;  // "|" separates text lines
      Msg m(fc_.add(Check::kLineBreakMark, number, text_at + col));
      m << "line-break mark \"[br]\" in ";
      FileChecker::label(m, sub);
      m << " (\"|\" breaks a line)";
    });
  fc_.end(chars);
}

}  // namespace cuelint
