// The reading-time rule: every character that is not a space needs 0.05 seconds.
#pragma once

#include <cstdint>

#include "textio/extended.h"
#include "textio/shortstr.h"

// The number of characters of a and then b that are not the space, counted in 8 bits
// (after 255 the count wraps to 0).
uint8_t LENG(const ShortStr& a, const ShortStr& b);

// stop - start with a 64-bit significand, rounded to a double.
inline double display_time(double stop, double start) {
  return ext_to_double(ext_sub(ext_from_double(stop), ext_from_double(start)));
}

// True when a display time of tk seconds is too short for n counted characters:
// tk < n/20, compared exactly.
bool too_short(double tk, int n);

// Applies the rule to the subtitle whose display time is in TK and whose text is a and b:
// stores TCOUNT, and when TK is too short (and, if `gated`, FPSS is "on") reports the
// fault through HIBA and writes the durations line "TCOUNT,TK" to "errors.txt" alone.
void reading_time_rule(const ShortStr& a, const ShortStr& b, bool gated, uint8_t kind, int32_t ra,
                       int32_t rb, double t1, double t2);
