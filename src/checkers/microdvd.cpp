#include "checkers/microdvd.h"

#include "cuecheck/globals.h"
#include "services/readtime.h"
#include "services/report.h"
#include "textio/console.h"
#include "textio/extended.h"
#include "textio/numconv.h"
#include "textio/runerror.h"

namespace {

constexpr uint32_t kPlaceDisplayTime = 0x00405010;
constexpr uint32_t kPlaceEof = 0x00405014;
constexpr uint32_t kPlaceRead = 0x00405018;
constexpr uint32_t kReturnReport = 0x00405020;
constexpr uint32_t kReturnRule = 0x00405024;

// The frame scan over buffer positions 2..35: the start frame's text up to the first "}",
// one character skipped, the stop frame's text up to the next "}". When that second brace
// is missing, the scan goes on after the first one and appends to both texts again.
void scan_frames() {
  ss_clear(g.START);
  ss_clear(g.STOP);
  for (int i = 2; i <= 35; ++i) {
    if (g.SOR.b[i] != '}') {
      ss_push(g.START, g.SOR.b[i]);
      continue;
    }
    for (int j = i + 2; j <= 35; ++j) {
      if (g.SOR.b[j] != '}') {
        ss_push(g.STOP, g.SOR.b[j]);
      } else {
        g.STARTT = static_cast<uint8_t>(j + 1);
        return;
      }
    }
  }
}

void report(uint8_t kind) {
  TraceFrame frame(kReturnReport);
  HIBA(kind, g.LINE, g.STARTF, 0, 0);
}

}  // namespace

void microdvd_check() {
  con_line("MicroDVD sub found");
  con_text("Using fps option...");
  if (g.CODE == 0) {
    char text[kFixedTextMax];
    con_write(text, fixed_text(g.FPS, 2, 3, text));
  } else {
    con_write(ss_chars(g.FPSS), static_cast<size_t>(ss_len(g.FPSS)));
  }
  con_line_end();

  // The display time of the last frame difference: FPS does not change, and most
  // subtitles of a file share a few differences.
  bool known = false;
  int32_t known_diff = 0;
  double known_tk = 0;
  for (;;) {
    scan_frames();
    IntConv start = int_conversion32(g.START);
    g.STARTF = start.value;
    g.CODE = static_cast<int16_t>(start.code);
    IntConv stop = int_conversion32(g.STOP);
    g.STOPF = stop.value;
    g.CODE = static_cast<int16_t>(stop.code);

    if (g.STARTF > g.STOPF) report(0);
    if (g.STARTF < g.STOPFE) report(2);
    g.STOPFE = g.STOPF;

    // The text part. A line whose stop-frame brace is not found keeps the previous
    // line's text start; before any line has set one, the text starts at position 1.
    const int from = g.STARTT == 0 ? 1 : g.STARTT;
    const int len = ss_len(g.SOR);
    ss_copy(g.SOR2, g.SOR, from, len >= from ? len - from + 1 : 0);
    if (ss_has(g.SOR2, '[')) {
      for (int i = from; i <= len; ++i) {
        if (ss_match(g.SOR, i, "[br]")) report(1);
      }
    }

    ss_clear(g.SOR3);
    const int32_t diff = wrap_sub(g.STOPF, g.STARTF);
    if (g.FPS == 0)
      run_error(diff == 0 ? kErrInvalidOperation : kErrDivisionByZero, kPlaceDisplayTime);
    if (!known || diff != known_diff) {
      known_tk = ext_store(ext_div(ext_from_int(diff), ext_from_double(g.FPS)), kPlaceDisplayTime);
      known_diff = diff;
      known = true;
    }
    g.TK = known_tk;
    {
      TraceFrame frame(kReturnRule);
      reading_time_rule(g.SOR2, g.SOR3, false, 11, g.LINE, g.STARTF, 0, 0);
    }

    if (at_eof_checked(g.F, kPlaceEof)) return;
    read_line_checked(g.F, g.SOR, kPlaceRead);
    g.LINE = wrap_add(g.LINE, 1);
  }
}
