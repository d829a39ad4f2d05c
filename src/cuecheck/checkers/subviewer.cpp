#include "subviewer.h"

#include "globals.h"
#include "readtime.h"
#include "report.h"
#include "runerror.h"
#include "timecode.h"
#include "trace_places.h"

namespace {

void report(FaultKind kind, double t1, double t2) {
  TraceFrame frame(kReturnSubReport);
  HIBA(kind, 0, 0, t1, t2);
}

}  // namespace

void subviewer_loop() {
  // The times of the current block and the previous stop; the doubles STARTTI, STOPTI
  // and STOPTE are formed from them where needed, and stored on the way out.
  CodeTime start{-1, true, g.STARTTI}, stop{-1, true, g.STOPTI}, previous{-1, true, g.STOPTE};
  while (!at_eof_checked(g.F, kPlaceSubEof)) {
    read_line_checked(g.F, g.SOR2, kPlaceSubReadBlock);
    read_line_checked(g.F, g.SOR3, kPlaceSubReadBlock);

    // The hh:mm:ss.cc at positions 1..11 and 13..23 of the time line, whatever its
    // length, with a "0" appended so that the hundredths read as milliseconds.
    start = code_time(g.SOR, 1, 0);
    stop = code_time(g.SOR, 13, 0);
    if (time_less(stop, start))
      report(FaultKind::kTimeCodeAt, time_value(start), time_value(start));
    if (time_less(start, previous))
      report(FaultKind::kTimeCodesAt, time_value(start), time_value(previous));
    {
      TraceFrame frame(kReturnSubRule);
      reading_time_rule_codes(g.SOR2, g.SOR3, start, stop, FaultKind::kTooShortAt, 0, true);
    }
    previous = stop;
    for (int bars = ss_count(g.SOR2, '|'); bars > 0; --bars)
      report(FaultKind::kBarAt, time_value(start), time_value(start));
    // A line of blanks is not empty.
    if (ss_len(g.SOR3) != 0) report(FaultKind::kSecondLineAt, time_value(start), time_value(start));

    // The next time line is the next line that begins with "0". An empty line keeps the
    // first character of the last longer line, so it may be taken for one.
    read_line_checked(g.F, g.SOR, kPlaceSubReadBlock);
    while (g.SOR.b[1] != '0' && !at_eof_checked(g.F, kPlaceSubSearch))
      read_line_checked(g.F, g.SOR, kPlaceSubSearch);
  }
  g.STARTTI = time_value(start);
  g.STOPTI = time_value(stop);
  g.STOPTE = time_value(previous);
}
