#include "report.h"

#include <cassert>
#include <cstring>

#include "console.h"
#include "globals.h"
#include "numconv.h"
#include "timecode.h"

namespace {

constexpr uint32_t kPlaceReportWrite = 0x00404020;

struct Line {
  char* out;
  size_t len;

  template <size_t N>
  void text(const char (&s)[N]) {
    std::memcpy(out + len, s, N - 1);
    len += N - 1;
  }
  void number(int32_t v) { len += int_to_text(v, out + len); }
  void time(double t) {
    ShortStr s;
    TT2ST(t, s);
    copy_exact(reinterpret_cast<unsigned char*>(out + len), s.b + 1,
               static_cast<size_t>(ss_len(s)));
    len += static_cast<size_t>(ss_len(s));
  }
};

}  // namespace

size_t message_text(uint8_t kind, int32_t a, int32_t b, double t1, double t2, char* out) {
  Line l{out, 0};
  switch (kind) {
    case 0:
      l.text("Invalid frame code in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case 1:
      l.text("Invalid character [br] in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case 2:
      l.text("Invalid frame code in lines ");
      l.number(a);
      l.text(", ");
      l.number(wrap_add(a, -1));
      l.text(" frame number: ");
      l.number(b);
      break;
    case 3:
      l.text("Invalid time code in ");
      l.number(a);
      break;
    case 4:
      l.text("Invalid time code in ");
      l.number(a);
      l.text(", ");
      l.number(wrap_add(a, -1));
      break;
    case 5:
      l.text("Invalid character [br] or | in ");
      l.number(a);
      break;
    case 6:
      l.text("Three lines error in ");
      l.number(a);
      break;
    case 7:
      l.text("Invalid time code at ");
      l.time(t1);
      break;
    case 8:
      l.text("Invalid time code at ");
      l.time(t1);
      l.text(", ");
      l.time(t2);
      break;
    case 9:
      l.text("Invalid character | at ");
      l.time(t1);
      break;
    case 10:
      l.text("Second line error at ");
      l.time(t1);
      break;
    case 11:
      l.text("The line stays out too short, in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case 12:
      l.text("The line stays out too short, in ");
      l.number(a);
      break;
    case 13:
      l.text("The line stays out too short, at ");
      l.time(t1);
      break;
    default:
      break;
  }
  assert(l.len < kMessageMax);
  return l.len;
}

void HIBA(uint8_t kind, int32_t a, int32_t b, double t1, double t2) {
  if (kind <= 13) {
    char line[kMessageMax];
    size_t n = message_text(kind, a, b, t1, t2, line);
    con_write_line(line, n);
    out_line_checked(g.OUTF, line, n, kPlaceReportWrite);
  }
  g.ERR = true;
}
