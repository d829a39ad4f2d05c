#include "subrip.h"

#include "console.h"
#include "globals.h"
#include "numconv.h"
#include "readtime.h"
#include "report.h"
#include "runerror.h"
#include "timecode.h"
#include "trace_places.h"

namespace {

int32_t block_number() {
  return wrap_add(g.LINE, -1);
}

void report(FaultKind kind) {
  TraceFrame frame(kReturnSrtReport);
  HIBA(kind, block_number(), 0, 0, 0);
}

// A "[br]" (read on past the length, as the buffer holds it) or a "|" at position i.
void mark_at(const ShortStr& s, int i) {
  const unsigned char c = s.b[i];
  if (c == '[' && ss_match4(s, i, "[br]")) report(FaultKind::kBrOrBarIn);
  if (c == '|') report(FaultKind::kBrOrBarIn);
}

// "[br]" and "|" in a text line, one report each, in position order. A line of up to 64
// characters goes from mark to mark by the bits of one mask.
void scan_marks(const ShortStr& s) {
  const int n = ss_len(s);
  if (n <= 64) {
    for (uint64_t m = bytes::either64(s.b + 1, '[', '|') & bytes::low_bits(n); m; m &= m - 1)
      mark_at(s, 1 + bytes::ctz64(m));
    return;
  }
  if (!ss_has(s, '[', '|')) return;
  for (int i = 1; i <= n; ++i) mark_at(s, i);
}

// Adds one to the decimal text of a positive number.
void next_number(ShortStr& s) {
  int i = ss_len(s);
  while (i >= 1 && s.b[i] == '9') s.b[i--] = '0';
  if (i >= 1) {
    ++s.b[i];
  } else {
    s.b[0] = static_cast<unsigned char>(ss_len(s) + 1);
    s.b[1] = '1';
    s.b[ss_len(s)] = '0';
  }
}

}  // namespace

void subrip_check() {
  con_line("SubRip format found");
  // The times of the current block and the previous stop; the doubles STARTTI, STOPTI
  // and STOPTE are formed from them where needed, and stored on the way out.
  CodeTime start{-1, true, g.STARTTI}, stop{-1, true, g.STOPTI}, previous{-1, true, g.STOPTE};
  while (!at_eof_checked(g.F, kPlaceSrtEof)) {
    if (g.LINE > 0 && g.LINE < INT32_MAX && ss_len(g.LINES) != 0 && ss_eq(g.SOR, g.LINES)) {
      // SOR is the text of LINE, so it converts to LINE: count on in the text itself.
      g.CODE = 0;
      ++g.LINE;
      next_number(g.LINES);
    } else {
      IntConv number = int_conversion32(g.SOR);
      g.CODE = static_cast<int16_t>(number.code);
      g.LINE = wrap_add(number.value, 1);
      int_to_short(g.LINE, g.LINES);
    }

    read_line_checked(g.F, g.SOR2, kPlaceSrtReadBlock);
    read_line_checked(g.F, g.SOR3, kPlaceSrtReadBlock);
    read_line_checked(g.F, g.SOR4, kPlaceSrtReadBlock);

    // The time codes at positions 1..12 and 18..29 of the time line, whatever its length.
    start = code_time(g.SOR2, 1, 12);
    stop = code_time(g.SOR2, 18, 29);
    if (time_less(stop, start)) report(FaultKind::kTimeCodeIn);
    if (time_less(start, previous)) report(FaultKind::kTimeCodeInBlocks);
    {
      TraceFrame frame(kReturnSrtRule);
      reading_time_rule_codes(g.SOR3, g.SOR4, start, stop, FaultKind::kTooShortIn, block_number(),
                              false);
    }
    previous = stop;
    scan_marks(g.SOR3);
    scan_marks(g.SOR4);

    // The block ends with a blank line or, after a one-line subtitle, the next number.
    read_line_checked(g.F, g.SOR, kPlaceSrtReadEnd);
    if (ss_len(g.SOR) != 0 && !ss_eq(g.SOR, g.LINES)) {
      report(FaultKind::kThreeLinesIn);
      read_line_checked(g.F, g.SOR, kPlaceSrtReadEnd);
    }
    // Only a line equal to the expected number starts the next block.
    while (!ss_eq(g.SOR, g.LINES) && !at_eof_checked(g.F, kPlaceSrtSearch)) {
      read_line_checked(g.F, g.SOR, kPlaceSrtSearch);
    }
  }
  g.STARTTI = time_value(start);
  g.STOPTI = time_value(stop);
  g.STOPTE = time_value(previous);
}
