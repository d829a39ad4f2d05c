// libFuzzer target: one whole check of a subtitle file, in process, on arbitrary bytes.
//
// Input layout:
//   byte 0          L = byte % 16, the length of the second command-line argument
//                   (0: no second argument, the frame rate stays 25 and the rule "on")
//   bytes 1..L      the second argument; NUL bytes are dropped, as a command line cannot
//                   carry them
//   the rest        the subtitle file's bytes
// An empty input is an empty file without a second argument.
//
// Everything runs against sinks: the console output and "errors.txt" are dropped, the
// subtitle file is read from memory, and nothing waits for the Enter key. A stop with a
// run-time error (a RunStop: division by zero with a frame rate of 0, an overflow of the
// real range, ...) is one of the program's ordinary ends and not a finding; crashes,
// sanitizer reports, leaks and hangs are.
#include <cstddef>
#include <cstdint>

#include "console.h"
#include "driver.h"
#include "globals.h"
#include "runerror.h"
#include "shortstr.h"
#include "textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t pos = 0;
  ShortStr arg2;
  ss_clear(arg2);
  if (size > 0) {
    size_t len = data[0] % 16;
    pos = 1;
    for (size_t i = 0; i < len && pos < size; ++i, ++pos) {
      if (data[pos] != 0) ss_push(arg2, data[pos]);
    }
  }

  reset_globals();
  con_set_sink(nullptr);
  out_open_sink(g.OUTF);
  try {
    set_frame_rate(arg2);
    in_open_memory(g.F, data + pos, size - pos);
    check_file();
  } catch (const RunStop& stop) {
    // The entry point would show this report; forming it keeps that code under test too.
    char text[kRunStopTextMax];
    size_t n = run_stop_text(stop, kTraceLinesOther, "\r\n", text);
    if (n > sizeof text) __builtin_trap();
  }
  return 0;
}
