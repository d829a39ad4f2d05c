#include "readtime.h"

#include <cassert>
#include <cmath>
#include <cstring>

#include "extended.h"
#include "globals.h"
#include "numconv.h"
#include "report.h"
#include "runerror.h"
#include "trace_places.h"

namespace {

// The text of TCOUNT for every count: n/20 in the fixed-point output, made once.
struct CountTexts {
  char text[256][8];
  uint8_t len[256];
  CountTexts() {
    for (int n = 0; n < 256; ++n) {
      char t[kFixedTextMax];
      len[n] = static_cast<uint8_t>(fixed_text(n / 20.0, 2, 3, t));
      std::memcpy(text[n], t, len[n]);
    }
  }
};

}  // namespace

uint8_t LENG(const ShortStr& a, const ShortStr& b) {
  int count = ss_len(a) + ss_len(b) - ss_count2(a, b, ' ');
  return static_cast<uint8_t>(count);  // the count wraps at 256
}

bool too_short_extended(double tk, int n) {
  // 20 * tk is exact with a 64-bit significand (53 + 5 bits).
  return ext_lt(ext_mul(ext_from_double(tk), ext_from_int(20)), ext_from_int(n));
}

namespace {

struct Thresholds {
  double of[256];  // the smallest double not below n/20
  Thresholds() {
    for (int n = 0; n < 256; ++n) {
      // The nearest double (stored, so that x87 arithmetic leaves no excess precision in
      // it): the next one up if it lies below.
      volatile double nearest = n / 20.0;
      const double c = nearest;
      of[n] = too_short_extended(c, n) ? std::nextafter(c, HUGE_VAL) : c;
    }
  }
};
const Thresholds thresholds;

}  // namespace

bool too_short_table(double tk, int n) {
  assert(n >= 0 && n < 256);
  return tk < thresholds.of[n];
}

void reading_time_rule(const ShortStr& a, const ShortStr& b, bool gated, FaultKind kind, int32_t ra,
                       int32_t rb, double t1, double t2) {
  int n = LENG(a, b);
  g.TCOUNT = n / 20.0;  // n/20 rounded to the nearest double
  if (!too_short(g.TK, n)) return;
  reading_time_fault(n, gated, kind, ra, rb, t1, t2);
}

bool reading_time_short(CodeTime& start, CodeTime& stop, int n) {
  if (start.ms >= 0 && stop.ms >= 0) {
    // The durations differ from (stop.ms - start.ms) / 1000 by under 2^-31 s; n/20 lies
    // 0.001 s or more away unless the two are equal, where the doubles decide.
    const int32_t d = stop.ms - start.ms;
    if (d != 50 * n) return d < 50 * n;
  }
  g.TK = display_time(time_value(stop), time_value(start));
  return too_short(g.TK, n);
}

void reading_time_rule_codes(const ShortStr& a, const ShortStr& b, CodeTime& start, CodeTime& stop,
                             FaultKind kind, int32_t ra, bool times) {
  int n = LENG(a, b);
  g.TCOUNT = n / 20.0;
  if (!reading_time_short(start, stop, n)) return;
  g.TK = display_time(time_value(stop), time_value(start));
  if (times) {
    reading_time_fault(n, true, kind, ra, 0, time_value(start), time_value(stop));
  } else {
    reading_time_fault(n, true, kind, ra, 0, 0, 0);
  }
}

void reading_time_fault(int n, bool gated, FaultKind kind, int32_t ra, int32_t rb, double t1,
                        double t2) {
  if (gated && !ss_eq(g.FPSS, "on")) return;
  {
    TraceFrame frame(kReturnRuleReport);
    HIBA(kind, ra, rb, t1, t2);
  }
  static const CountTexts counts;
  char line[2 * kFixedTextMax + 3];
  size_t len = counts.len[n];
  std::memcpy(line, counts.text[n], sizeof counts.text[n]);
  line[len++] = ',';
  len += fixed_text(g.TK, 2, 3, line + len);
  out_line_checked(g.OUTF, line, len, kPlaceDurationsLine);
}
