#include "cuelint/subviewer.h"

#include "cuelint/count.h"
#include "cuelint/text.h"

namespace cuelint {

// HH:MM:SS.cc at p (11 characters, checked by the caller to be there).
static bool time_at(const char* p, std::int64_t& cs) {
  for (int i : {0, 1, 3, 4, 6, 7, 9, 10})
    if (!is_digit(p[i])) return false;
  if (p[2] != ':' || p[5] != ':' || p[8] != '.') return false;
  int mm = two_digits(p + 3), ss = two_digits(p + 6);
  if (mm > 59 || ss > 59) return false;
  cs = ((two_digits(p) * 60 + mm) * 60 + ss) * 100 + two_digits(p + 9);
  return true;
}

bool parse_subviewer_time_line(std::string_view s, std::int64_t& start, std::int64_t& stop) {
  if (s.size() < 23 || s[11] != ',') return false;
  if (!time_at(s.data(), start) || !time_at(s.data() + 12, stop)) return false;
  return s.size() == 23 || !is_digit(s[23]);
}

void SubviewerReader::line(std::string_view s, std::uint64_t number) {
  if (header_) {
    if ((!s.empty() && s[0] == '[') || is_blank(s, unicode_)) return;
    header_ = false;
  }
  Subtitle sub;
  if (parse_subviewer_time_line(s, sub.start, sub.stop)) {
    if (open_) {
      fc_.no_blank_line_after(last_line_);
      close();
    }
    skipping_ = false;
    sub.line = number;
    sub.has_times = true;
    fc_.begin(sub);
    open_ = true;
    last_line_ = number;
    text_lines_ = 0;
    chars_ = 0;
    return;
  }
  if (is_blank(s, unicode_)) {
    if (open_) close();
    return;
  }
  if (open_) {
    if (++text_lines_ == 2) fc_.add(Check::kTooManyLines, number);  // message at close()
    bool marks = false;
    chars_ += count_line(s, Format::kSubviewer, unicode_, &marks);
    last_line_ = number;
    if (marks)
      for_each_mark(s, [&](std::size_t col, Mark mark) {
        if (mark != Mark::kPipe) return;  // "[br]" separates text lines
        Msg m(fc_.add(Check::kLineBreakMark, number, col));
        m << "line-break mark \"|\" in ";
        FileChecker::label(m, fc_.current());
        m << " (\"[br]\" breaks a line)";
      });
    return;
  }
  if (skipping_) return;
  skipping_ = true;
  Msg m(fc_.loose(Check::kTimeCode, number));
  m << "neither a time line HH:MM:SS.cc,HH:MM:SS.cc nor part of a subtitle; "
       "lines up to the next time line are passed over";
}

void SubviewerReader::close() {
  fc_.end(chars_, text_lines_);
  open_ = false;
}

void SubviewerReader::finish() {
  if (open_) close();
  fc_.flush_loose();
}

}  // namespace cuelint
