// The SubRip checker: numbered blocks of a number line, a time line, text lines, a blank.
#pragma once

// Entered with SOR holding the line "1"; checks block by block to the end of the file.
void subrip_check();
