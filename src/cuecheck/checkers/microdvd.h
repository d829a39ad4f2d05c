// The MicroDVD checker: one subtitle per line, {start}{stop}text, "|" between text lines.
#pragma once

// Entered with SOR holding the file's first line and LINE = 1; checks every line to the
// end of the file.
void microdvd_check();

// The frame scan over buffer positions 2..35 of SOR: the start frame's text up to the
// first "}" into START, one character skipped, the stop frame's text up to the next "}"
// into STOP, and STARTT one past that brace. When the second brace is missing, the scan
// goes on after the first one and appends to both texts again (STARTT is kept).
// microdvd_scan_frames takes both braces from a bit mask where they are found and the
// byte-by-byte scan otherwise.
void microdvd_scan_frames();
void microdvd_scan_frames_bytewise();
