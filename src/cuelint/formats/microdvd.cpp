#include "microdvd.h"

#include "count.h"
#include "text.h"

namespace cuelint {

// Times in frames; no limit of text lines: the text is one line of the file.
extern constexpr FormatInfo kMicroDvd = {  // fields in the order of FormatInfo
    "microdvd", "MicroDVD",      ".sub",
    0,          microdvd_markup, Mark::kPipe,
    0,          nullptr,         Overlap::kPreviousStop,
    false,      false,           nullptr,
    nullptr};

namespace {

bool frame(std::string_view s, std::size_t& i, std::int64_t& out) {
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

}  // namespace

bool parse_microdvd_line(std::string_view s, std::int64_t& start, std::int64_t& stop,
                         std::size_t& text_at) {
  std::size_t i = 0;
  if (!frame(s, i, start) || !frame(s, i, stop)) return false;
  text_at = i;
  return true;
}

bool recognizes_microdvd(const Line& l, int rank) {
  return rank == 1 && l.text[0] == '{';
}

void MicroDvdReader::line(const Line& l) {
  std::string_view s = l.text;
  if (is_blank(s, l.unicode)) return;
  if (s.substr(0, 9) == "{DEFAULT}") return;  // a style line
  Subtitle sub;
  std::size_t text_at = 0;
  if (!parse_microdvd_line(s, sub.start, sub.stop, text_at)) {
    Msg m(fc_.loose(Check::kFrameCode, l.number));
    m << "not a subtitle line {START}{STOP}TEXT with frame numbers";
    return;
  }
  if (!seen_first_) {
    seen_first_ = true;
    Rate r;
    if (sub.start == sub.stop && sub.start <= 1 && parse_rate(s.substr(text_at), r) &&
        r.num >= r.den && r.num <= 1000 * r.den) {
      fc_.set_file_rate(r);  // not a subtitle
      return;
    }
  }
  sub.line = l.number;
  sub.has_times = true;
  block_.begin(sub);
  block_.text(l, text_at);
  block_.close();
}

}  // namespace cuelint
