#include "microdvd.h"

#include "console.h"
#include "extended.h"
#include "globals.h"
#include "numconv.h"
#include "readtime.h"
#include "report.h"
#include "runerror.h"
#include "trace_places.h"

namespace {

// The marks of "}" at buffer positions 2..35: bit i for position i + 2.
uint64_t brace_marks(const ShortStr& s) {
  // Positions 1..64, as the line read has just stored them (a load across two stores waits
  // for both to reach the cache).
  return (bytes::eq64(s.b + 1, '}') >> 1) & bytes::low_bits(34);
}

}  // namespace

void microdvd_scan_frames_bytewise() {
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

void microdvd_scan_frames() {
  // The usual line has both braces: the first at i1, the next at i2 >= i1 + 2. The start
  // text is then positions 2..i1-1, the stop text i1+2..i2-1, each copied whole.
  const uint64_t m = brace_marks(g.SOR);
  if (m != 0) {
    const int a = bytes::ctz64(m);  // i1 - 2
    const uint64_t rest = m & ~((uint64_t{1} << (a + 2)) - 1);
    if (rest != 0) {
      const int b = bytes::ctz64(rest);  // i2 - 2
      bytes::copy_first64(g.START.b + 1, g.SOR.b + 2, static_cast<size_t>(a));
      g.START.b[0] = static_cast<unsigned char>(a);
      bytes::copy_first64(g.STOP.b + 1, g.SOR.b + a + 4, static_cast<size_t>(b - a - 2));
      g.STOP.b[0] = static_cast<unsigned char>(b - a - 2);
      g.STARTT = static_cast<uint8_t>(b + 3);
      return;
    }
  }
  microdvd_scan_frames_bytewise();
}

namespace {

void report(FaultKind kind) {
  TraceFrame frame(kReturnMdvdReport);
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
    microdvd_scan_frames();
    IntConv start = int_conversion32(g.START);
    g.STARTF = start.value;
    g.CODE = static_cast<int16_t>(start.code);
    IntConv stop = int_conversion32(g.STOP);
    g.STOPF = stop.value;
    g.CODE = static_cast<int16_t>(stop.code);

    if (g.STARTF > g.STOPF) report(FaultKind::kFrameCodeInLine);
    if (g.STARTF < g.STOPFE) report(FaultKind::kFrameCodeInLines);
    g.STOPFE = g.STOPF;

    // The text part. A line whose stop-frame brace is not found keeps the previous
    // line's text start; before any line has set one, the text starts at position 1.
    const int from = g.STARTT == 0 ? 1 : g.STARTT;
    const int len = ss_len(g.SOR);
    ss_copy(g.SOR2, g.SOR, from, len >= from ? len - from + 1 : 0);
    if (ss_has(g.SOR2, '[')) {
      for (int i = from; i <= len; ++i) {
        if (g.SOR.b[i] == '[' && ss_match4(g.SOR, i, "[br]")) report(FaultKind::kBrInLine);
      }
    }

    ss_clear(g.SOR3);
    const int32_t diff = wrap_sub(g.STOPF, g.STARTF);
    if (g.FPS == 0)
      run_error(diff == 0 ? kErrInvalidOperation : kErrDivisionByZero, kPlaceMdvdDisplayTime);
    if (!known || diff != known_diff) {
      known_tk =
          ext_store(ext_div(ext_from_int(diff), ext_from_double(g.FPS)), kPlaceMdvdDisplayTime);
      known_diff = diff;
      known = true;
    }
    g.TK = known_tk;
    {
      TraceFrame frame(kReturnMdvdRule);
      reading_time_rule(g.SOR2, g.SOR3, false, FaultKind::kTooShortInLine, g.LINE, g.STARTF, 0, 0);
    }

    if (at_eof_checked(g.F, kPlaceMdvdEof)) return;
    read_line_checked(g.F, g.SOR, kPlaceMdvdRead);
    g.LINE = wrap_add(g.LINE, 1);
  }
}
