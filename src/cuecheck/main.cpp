// cuecheck: checks one subtitle file (MicroDVD, SubRip or Subviewer 2.0) for faults of
// form and timing and reports them on the console and in "errors.txt".
#include "console.h"
#include "driver.h"
#include "globals.h"
#include "platform.h"
#include "runerror.h"

namespace {

int no_console(const char* why) {
  plat_error_write(why);
  plat_error_write(plat_console_line_end());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  switch (plat_start(argc, argv)) {
    case kConsoleNoHandle:
      return no_console("No way to get the console handle");
    case kConsoleNoBufferInfo:
      return no_console("No way to get console screen buffer info");
    case kConsoleReady:
      break;
  }
  reset_globals();
  con_init();
  try {
    return run();
  } catch (const RunStop& stop) {
    // Every line already written to "errors.txt" reaches the disk; then the report.
    out_salvage(g.OUTF);
    char text[kRunStopTextMax];
    int max_trace = plat_console_is_device() ? kTraceLinesDevice : kTraceLinesOther;
    size_t n = run_stop_text(stop, max_trace, plat_console_line_end(), text);
    con_write(text, n);
    con_flush();
    return stop.code & 0xFF;
  }
}
