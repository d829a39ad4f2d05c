// Time codes: the text of a time code to seconds and seconds to text.
#pragma once

#include <cstdint>

#include "shortstr.h"

// The time that the 12 characters of `tc` denote, read by fixed positions: hours 1-2,
// minutes 4-5, seconds 7-8, milliseconds 10-12; positions 3, 6 and 9 are never looked at.
// Each field goes through the 16-bit integer conversion and counts 0 when rejected; CODE
// is left holding the code of the milliseconds field.
double ST2TT(const ShortStr& tc);

// The time t as hours:minutes:seconds.hundredths, each field truncated toward zero on its
// own (so each non-zero field of a negative time carries a minus sign), the hundredths
// rounded with ties to even and possibly 100, no leading zeros and no fixed widths.
void TT2ST(double t, ShortStr& out);

// Time codes whose nine digit positions (1-2, 4-5, 7-8, 10-12) all hold digits are plain:
// ST2TT of such a code is time_of_ms of its whole milliseconds, a strictly increasing
// function (two codes lie 0.001 s or more apart, and each result within 2^-33 s of its
// exact value), so times of plain codes compare as their milliseconds do.
int32_t plain_ms(const unsigned char* p, unsigned char twelfth);  // -1: not plain
double time_of_ms(int32_t ms);

// A time read from a time line: the milliseconds of a plain code, with the double formed
// only when asked for; or, for any other code, ST2TT's double (ms = -1).
struct CodeTime {
  int32_t ms;
  bool formed;
  double value;
};

// The time code at buffer positions from..from+10 of `line` and a twelfth character:
// position twelfth_at, or "0" when twelfth_at is 0. Stores CODE as ST2TT does (and TC for
// a code that is not plain).
CodeTime code_time(const ShortStr& line, int from, int twelfth_at);

inline double time_value(CodeTime& t) {
  if (!t.formed) {
    t.value = time_of_ms(t.ms);
    t.formed = true;
  }
  return t.value;
}

// a < b, as the doubles compare.
inline bool time_less(CodeTime& a, CodeTime& b) {
  if (a.ms >= 0 && b.ms >= 0) return a.ms < b.ms;
  return time_value(a) < time_value(b);
}

// TT2ST computed step by step in extended precision, as described above; TT2ST gives the
// same text from whole-number arithmetic on the double's exact value where that is proven
// equal (|t| < 2^20) and calls this elsewhere.
void tt2st_extended(double t, ShortStr& out);
