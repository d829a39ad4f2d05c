#include "globals.h"

#include <cstring>

#include "console.h"
#include "runerror.h"

Globals g;

void reset_globals() {
  std::memset(&g, 0, sizeof g);
  g.F.file = kNoFile;
  g.OUTF.file = kNoFile;
  textfile_reset();
  console_reset();
  runerror_reset();
}
