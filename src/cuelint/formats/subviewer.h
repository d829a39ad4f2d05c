// Subviewer 2.0: a header of "[...]" lines, then subtitles of a time line
// "HH:MM:SS.cc,HH:MM:SS.cc" and one text line, a blank line between them.
#pragma once

#include <cstdint>
#include <string_view>

#include "block.h"
#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

extern const FormatInfo kSubviewer;

// A time line from its first character; times in hundredths of a second.
bool parse_subviewer_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

// The first non-blank line is a header line ("[") or a time line.
bool recognizes_subviewer(const Line& l, int rank);

class SubviewerReader {
 public:
  explicit SubviewerReader(FileChecker& fc) : fc_(fc), block_(fc) {}
  void line(const Line& l);
  void finish() { block_.finish(); }

 private:
  FileChecker& fc_;
  Block block_;
  bool header_ = true;
  bool skipping_ = false;  // passing over lines up to the next time line
};

}  // namespace cuelint
