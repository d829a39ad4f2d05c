// The MicroDVD checker: one subtitle per line, {start}{stop}text, "|" between text lines.
#pragma once

// Entered with SOR holding the file's first line and LINE = 1; checks every line to the
// end of the file.
void microdvd_check();
