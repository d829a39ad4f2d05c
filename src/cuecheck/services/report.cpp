#include "report.h"

#include <cassert>
#include <cstring>

#include "console.h"
#include "globals.h"
#include "numconv.h"
#include "timecode.h"
#include "trace_places.h"

namespace {

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
    bytes::copy_exact(reinterpret_cast<unsigned char*>(out + len), s.b + 1,
                      static_cast<size_t>(ss_len(s)));
    len += static_cast<size_t>(ss_len(s));
  }
};

}  // namespace

size_t message_text(FaultKind kind, int32_t a, int32_t b, double t1, double t2, char* out) {
  Line l{out, 0};
  switch (kind) {
    case FaultKind::kFrameCodeInLine:
      l.text("Invalid frame code in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case FaultKind::kBrInLine:
      l.text("Invalid character [br] in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case FaultKind::kFrameCodeInLines:
      l.text("Invalid frame code in lines ");
      l.number(a);
      l.text(", ");
      l.number(wrap_add(a, -1));
      l.text(" frame number: ");
      l.number(b);
      break;
    case FaultKind::kTimeCodeIn:
      l.text("Invalid time code in ");
      l.number(a);
      break;
    case FaultKind::kTimeCodeInBlocks:
      l.text("Invalid time code in ");
      l.number(a);
      l.text(", ");
      l.number(wrap_add(a, -1));
      break;
    case FaultKind::kBrOrBarIn:
      l.text("Invalid character [br] or | in ");
      l.number(a);
      break;
    case FaultKind::kThreeLinesIn:
      l.text("Three lines error in ");
      l.number(a);
      break;
    case FaultKind::kTimeCodeAt:
      l.text("Invalid time code at ");
      l.time(t1);
      break;
    case FaultKind::kTimeCodesAt:
      l.text("Invalid time code at ");
      l.time(t1);
      l.text(", ");
      l.time(t2);
      break;
    case FaultKind::kBarAt:
      l.text("Invalid character | at ");
      l.time(t1);
      break;
    case FaultKind::kSecondLineAt:
      l.text("Second line error at ");
      l.time(t1);
      break;
    case FaultKind::kTooShortInLine:
      l.text("The line stays out too short, in line ");
      l.number(a);
      l.text(" frame number: ");
      l.number(b);
      break;
    case FaultKind::kTooShortIn:
      l.text("The line stays out too short, in ");
      l.number(a);
      break;
    case FaultKind::kTooShortAt:
      l.text("The line stays out too short, at ");
      l.time(t1);
      break;
    default:
      break;
  }
  assert(l.len < kMessageMax);
  return l.len;
}

void HIBA(FaultKind kind, int32_t a, int32_t b, double t1, double t2) {
  char line[kMessageMax];
  if (size_t n = message_text(kind, a, b, t1, t2, line)) {
    con_write_line(line, n);
    out_line_checked(g.OUTF, line, n, kPlaceReportWrite);
  }
  g.ERR = true;
}
