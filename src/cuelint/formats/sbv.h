// YouTube's SubViewer (.sbv): subtitles of a time line "H:MM:SS.mmm,H:MM:SS.mmm" and its
// text lines, a blank line between them; no header.
#pragma once

#include <cstdint>
#include <string_view>

#include "block.h"
#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

extern const FormatInfo kSbv;

// A time line from its first character; times in milliseconds.
bool parse_sbv_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

// The first non-blank line is a time line.
bool recognizes_sbv(const Line& l, int rank);

class SbvReader {
 public:
  explicit SbvReader(FileChecker& fc) : fc_(fc), block_(fc) {}
  void line(const Line& l);
  void finish() { block_.finish(); }

 private:
  FileChecker& fc_;
  Block block_;
  bool skipping_ = false;  // passing over lines up to the next time line
};

}  // namespace cuelint
