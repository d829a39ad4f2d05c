#include "subviewer.h"

#include "count.h"
#include "scan.h"
#include "text.h"

namespace cuelint {

// HH:MM:SS.cc,HH:MM:SS.cc: its first sixteen bytes, and its last sixteen.
static constexpr Form16 kHead = make_form("DD:5D:5D.DD,DD:5");
static constexpr Form16 kTail = make_form("D.DD,DD:5D:5D.DD");

bool parse_subviewer_time_line(std::string_view s, std::int64_t& start, std::int64_t& stop) {
  if (s.size() < 23) return false;
  const char* p = s.data();
  if (fits_form(p, kHead) && fits_form(p + 7, kTail)) {
    start = ((two_digits(p) * 60 + two_digits(p + 3)) * 60 + two_digits(p + 6)) * 100 +
            two_digits(p + 9);
    stop = ((two_digits(p + 12) * 60 + two_digits(p + 15)) * 60 + two_digits(p + 18)) * 100 +
           two_digits(p + 21);
    return s.size() == 23 || !is_digit(s[23]);
  }
  return false;
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
    unsigned marks = 0;
    chars_ += count_line(s, Format::kSubviewer, unicode_, &marks);
    last_line_ = number;
    if (marks & kHasPipe)
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
