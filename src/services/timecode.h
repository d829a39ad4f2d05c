// Time codes: the text of a time code to seconds and seconds to text.
#pragma once

#include "textio/shortstr.h"

// The time that the 12 characters of `tc` denote, read by fixed positions: hours 1-2,
// minutes 4-5, seconds 7-8, milliseconds 10-12; positions 3, 6 and 9 are never looked at.
// Each field goes through the 16-bit integer conversion and counts 0 when rejected; CODE
// is left holding the code of the milliseconds field.
double ST2TT(const ShortStr& tc);

// The time t as hours:minutes:seconds.hundredths, each field truncated toward zero on its
// own (so each non-zero field of a negative time carries a minus sign), the hundredths
// rounded with ties to even and possibly 100, no leading zeros and no fixed widths.
void TT2ST(double t, ShortStr& out);

// TT2ST computed step by step in extended precision, as described above; TT2ST gives the
// same text from whole-number arithmetic on the double's exact value where that is proven
// equal (|t| < 2^20) and calls this elsewhere.
void tt2st_extended(double t, ShortStr& out);
