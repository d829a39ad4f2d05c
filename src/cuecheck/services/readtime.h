// The reading-time rule: every character that is not a space needs 0.05 seconds.
#pragma once

#include <cfloat>
#include <cstdint>

#include "extended.h"
#include "report.h"
#include "shortstr.h"
#include "timecode.h"

// The number of characters of a and then b that are not the space, counted in 8 bits
// (after 255 the count wraps to 0).
uint8_t LENG(const ShortStr& a, const ShortStr& b);

// stop - start with a 64-bit significand, rounded to a double.
inline double display_time_extended(double stop, double start) {
  return ext_to_double(ext_sub(ext_from_double(stop), ext_from_double(start)));
}

// The same where doubles are computed as doubles: the two-sum gives the exact rounding
// error of stop - start; when it is zero the difference is exact, and so is the extended
// one, rounded to the same double. Otherwise the extended path decides.
inline double display_time_two_sum(double stop, double start) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  const double d = stop - start;
  const double stop_part = d + start;
  const double start_part = stop_part - d;
  const double error = (stop - stop_part) - (start - start_part);
  if (error == 0) return d;  // an infinite input makes `error` not a number
#endif
  return display_time_extended(stop, start);
}

// True when a display time of tk seconds is too short for n counted characters:
// tk < n/20, compared exactly. too_short_table takes it from a table of the smallest
// double not below n/20 for each count (a double lies below n/20 exactly when it lies
// below that one).
bool too_short_extended(double tk, int n);
bool too_short_table(double tk, int n);

// Where the extended arithmetic is the x87's, its own instructions are the faster way
// (measured: bench/conversions_perftest); the integer implementation takes the shortcuts.
#if !defined(CUECHECK_SOFT_EXT) && LDBL_MANT_DIG == 64
inline double display_time(double stop, double start) {
  return display_time_extended(stop, start);
}
inline bool too_short(double tk, int n) {
  return too_short_extended(tk, n);
}
#else
inline double display_time(double stop, double start) {
  return display_time_two_sum(stop, start);
}
inline bool too_short(double tk, int n) {
  return too_short_table(tk, n);
}
#endif

// The rule's fault, once the display time in TK is found too short for n characters:
// when `gated` and FPSS is not "on", nothing; else the report through HIBA and the
// durations line "TCOUNT,TK" to "errors.txt" alone.
void reading_time_fault(int n, bool gated, FaultKind kind, int32_t ra, int32_t rb, double t1,
                        double t2);

// TK < n/20 for the display time from start to stop: on their milliseconds when both are
// plain and the decision is not a tie, else on the doubles (then TK is stored).
bool reading_time_short(CodeTime& start, CodeTime& stop, int n);

// The gated rule with the display time from start to stop, stored in TK only when it is
// needed; t1, t2 of the report are the start and stop when `times`, else 0 (b is 0).
void reading_time_rule_codes(const ShortStr& a, const ShortStr& b, CodeTime& start, CodeTime& stop,
                             FaultKind kind, int32_t ra, bool times);

// Applies the rule to the subtitle whose display time is in TK and whose text is a and b:
// stores TCOUNT, and when TK is too short (and, if `gated`, FPSS is "on") reports the
// fault through HIBA and writes the durations line "TCOUNT,TK" to "errors.txt" alone.
void reading_time_rule(const ShortStr& a, const ShortStr& b, bool gated, FaultKind kind, int32_t ra,
                       int32_t rb, double t1, double t2);
