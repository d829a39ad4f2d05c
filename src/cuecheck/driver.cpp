#include "driver.h"

#include <cstring>

#include "console.h"
#include "extended.h"
#include "globals.h"
#include "microdvd.h"
#include "numconv.h"
#include "platform.h"
#include "runerror.h"
#include "subrip.h"
#include "subviewer.h"
#include "textfile.h"
#include "trace_places.h"

void argument(int n, ShortStr& out) {
  ss_clear(out);
  if (const char* arg = plat_arg(n)) {
    size_t len = std::strlen(arg);
    ss_set(out, arg, len < 254 ? len : 254);
  }
}

void set_frame_rate(const ShortStr& arg2) {
  g.FPS = 25.0;
  ss_set(g.FPSS, "on");
  if (ss_len(arg2) != 0) {
    RealConv r = real_conversion(arg2);
    g.FPS = ext_store(r.value, kPlaceStoreFps);
    g.CODE = static_cast<int16_t>(r.code);
  }
  if (ss_eq(arg2, "-")) {
    ss_set(g.FPSS, "off");
    g.FPS = 1.0;
  }
}

void check_file() {
  read_line_checked(g.F, g.SOR, kPlaceFirstLine);
  g.LINE = 1;
  con_text("Analyzing file type...");

  if (ss_at(g.SOR, 1) == '{') {
    TraceFrame frame(kReturnMicroDvd);
    microdvd_check();
  }

  // Empty lines may stand before the first "1". The skip also ends when the file has no
  // byte left, where every further read would give an empty line again.
  g.STOPTE = 0.0;
  while (ss_len(g.SOR) == 0 && !exhausted_checked(g.F, kPlaceSkip))
    read_line_checked(g.F, g.SOR, kPlaceSkip);

  if (ss_eq(g.SOR, "1")) {
    TraceFrame frame(kReturnSubRip);
    subrip_check();
  }

  // The header: lines that begin with "[" (an empty line among them still does). The
  // same end at the last byte of the file.
  while (ss_at(g.SOR, 1) == '[' && !exhausted_checked(g.F, kPlaceSkip))
    read_line_checked(g.F, g.SOR, kPlaceSkip);
  if (ss_at(g.SOR, 1) == '0') con_line("Subviewer 2.0 format found");

  // A file that no test recognised is checked as Subviewer 2.0 all the same.
  TraceFrame frame(kReturnSubviewer);
  subviewer_loop();
}

int run() {
  g.ERR = false;
  con_clear();
  con_line("The cuecheck ver1.4b");

  ShortStr arg1;
  argument(1, arg1);
  if (ss_len(arg1) == 0 || ss_eq(arg1, "--help") || ss_eq(arg1, "--h")) {
    con_line("usage: cuecheck filename [fps]");
    con_line("");
    con_line("note: fps option is only for MicroDVD subtitle file format, other do not care");
    con_line("if fps option not used than it will count with 25fps!!!");
    con_line("you can also disable the intelligent option for all kind of subtitles by adding");
    con_line("'-' sign not the fps!!!!");
    con_wait_enter();
    return 0;
  }

  out_create(g.OUTF, "errors.txt");
  io_check(kPlaceCreateErrors);
  con_text("Processing file...");

  g.STOPFE = 0;
  g.NAM = arg1;
  ShortStr arg2;
  argument(2, arg2);
  set_frame_rate(arg2);

  char name[256];
  std::memcpy(name, ss_chars(g.NAM), static_cast<size_t>(ss_len(g.NAM)));
  name[ss_len(g.NAM)] = '\0';
  in_open(g.F, name);
  io_check(kPlaceOpen);
  con_line("done");

  {
    TraceFrame frame(kReturnCheckFile);
    check_file();
  }

  con_text("Closing file...");
  in_close(g.F);
  io_check(kPlaceCloseF);
  out_close(g.OUTF);
  io_check(kPlaceCloseErrors);
  con_line("done");

  con_line(g.ERR ? "Errors were found...errors.txt written..." : "No errors were found");
  con_wait_enter();
  return 0;
}
