#include "checkers/subviewer.h"

#include "cuecheck/globals.h"
#include "services/readtime.h"
#include "services/report.h"
#include "services/timecode.h"
#include "textio/runerror.h"

namespace {

constexpr uint32_t kPlaceEof = 0x00407010;
constexpr uint32_t kPlaceReadBlock = 0x00407014;
constexpr uint32_t kPlaceSearch = 0x00407018;
constexpr uint32_t kReturnReport = 0x00407020;
constexpr uint32_t kReturnRule = 0x00407024;

void report(uint8_t kind, double t2) {
  TraceFrame frame(kReturnReport);
  HIBA(kind, 0, 0, g.STARTTI, t2);
}

// The hh:mm:ss.cc at buffer positions from..from+10 of the time line, whatever its
// length, with a "0" appended so that the hundredths read as milliseconds.
double cut_time(int from) {
  ss_copy(g.TC, g.SOR, from, 11);
  ss_push(g.TC, '0');
  return ST2TT(g.TC);
}

}  // namespace

void subviewer_loop() {
  while (!at_eof_checked(g.F, kPlaceEof)) {
    read_line_checked(g.F, g.SOR2, kPlaceReadBlock);
    read_line_checked(g.F, g.SOR3, kPlaceReadBlock);

    g.STARTTI = cut_time(1);
    g.STOPTI = cut_time(13);
    if (g.STOPTI < g.STARTTI) report(7, g.STARTTI);
    if (g.STOPTE > g.STARTTI) report(8, g.STOPTE);
    g.TK = display_time(g.STOPTI, g.STARTTI);
    {
      TraceFrame frame(kReturnRule);
      reading_time_rule(g.SOR2, g.SOR3, true, 13, 0, 0, g.STARTTI, g.STOPTI);
    }
    g.STOPTE = g.STOPTI;
    for (int bars = ss_count(g.SOR2, '|'); bars > 0; --bars) report(9, g.STARTTI);
    if (ss_len(g.SOR3) != 0) report(10, g.STARTTI);  // a line of blanks is not empty

    // The next time line is the next line that begins with "0". An empty line keeps the
    // first character of the last longer line, so it may be taken for one.
    read_line_checked(g.F, g.SOR, kPlaceReadBlock);
    while (g.SOR.b[1] != '0' && !at_eof_checked(g.F, kPlaceSearch))
      read_line_checked(g.F, g.SOR, kPlaceSearch);
  }
}
