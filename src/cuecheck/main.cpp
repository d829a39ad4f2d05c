// cuecheck: checks one subtitle file (MicroDVD, SubRip or Subviewer 2.0) for faults of
// form and timing and reports them on the console and in "errors.txt".
#include "cuecheck/driver.h"
#include "cuecheck/globals.h"
#include "textio/console.h"
#include "textio/platform.h"
#include "textio/runerror.h"

int main(int argc, char** argv) {
  if (!plat_stdout_open()) {
    plat_stderr_write("No way to get the console handle\n");
    return 1;
  }
  plat_init();
  reset_globals();
  con_init();
  try {
    return run(argc, argv);
  } catch (const RunStop& stop) {
    // Every line already written to "errors.txt" reaches the disk; then the report.
    out_salvage(g.OUTF);
    char text[kRunStopTextMax];
    size_t n = run_stop_text(stop, text);
    con_write(text, n);
    con_flush();
    return stop.code & 0xFF;
  }
}
