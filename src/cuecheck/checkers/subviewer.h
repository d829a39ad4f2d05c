// The Subviewer 2.0 checker: blocks of a time line, a text line and an empty line.
#pragma once

// Checks block by block from SOR, the current line, as the first time line, while the
// file is not at its end.
void subviewer_loop();
