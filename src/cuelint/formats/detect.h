// The format of a file, from its content.
#pragma once

#include "lines.h"
#include "types.h"

namespace cuelint {

// Reads lines from the start until the format is known: from the first non-blank line,
// "{" is MicroDVD; "[" or a Subviewer time line is Subviewer 2.0; a SubRip candidate line,
// or a whole number whose next non-blank line is one, is SubRip; else SubRip when one of
// the first 50 non-blank lines is a candidate line. kNone otherwise.
Format detect_format(LineReader& lines, const bool& unicode);

}  // namespace cuelint
