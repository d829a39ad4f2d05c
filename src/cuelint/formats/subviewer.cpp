#include "subviewer.h"

#include "count.h"
#include "scan.h"
#include "text.h"

namespace cuelint {

constexpr char kOneLine[] = "one is allowed (\"[br]\" breaks a line)";

namespace {

// HH:MM:SS.cc, as its time lines write them.
void write_hundredths(Msg& m, std::int64_t t) {
  auto two = [&](std::int64_t v) {
    if (v < 10) m << "0";
    m << v;
  };
  two(t / 360000);
  m << ":";
  two(t / 6000 % 60);
  m << ":";
  two(t / 100 % 60);
  m << ".";
  two(t % 100);
}

}  // namespace

extern constexpr FormatInfo kSubviewer = {  // fields in the order of FormatInfo
    "subviewer", "Subviewer 2.0", ".sub",          100, nullptr, Mark::kBr, 1,
    kOneLine,    false,           write_hundredths};

namespace {

// HH:MM:SS.cc,HH:MM:SS.cc: its first sixteen bytes, and its last sixteen.
constexpr Form16 kHead = make_form("DD:5D:5D.DD,DD:5");
constexpr Form16 kTail = make_form("D.DD,DD:5D:5D.DD");

}  // namespace

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

bool recognizes_subviewer(const Line& l, int rank) {
  std::int64_t a, b;
  return rank == 1 && (l.text[0] == '[' || parse_subviewer_time_line(l.text, a, b));
}

void SubviewerReader::line(const Line& l) {
  std::string_view s = l.text;
  if (header_) {
    if ((!s.empty() && s[0] == '[') || is_blank(s, l.unicode)) return;
    header_ = false;
  }
  Subtitle sub;
  if (parse_subviewer_time_line(s, sub.start, sub.stop)) {
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
  m << "neither a time line HH:MM:SS.cc,HH:MM:SS.cc nor part of a subtitle; "
       "lines up to the next time line are passed over";
}

}  // namespace cuelint
