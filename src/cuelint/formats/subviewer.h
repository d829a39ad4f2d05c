// Subviewer 2.0: a header of "[...]" lines, then subtitles of a time line
// "HH:MM:SS.cc,HH:MM:SS.cc" and one text line, a blank line between them.
#pragma once

#include <cstdint>
#include <string_view>

#include "checks.h"

namespace cuelint {

// A time line from its first character; times in hundredths of a second.
bool parse_subviewer_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

class SubviewerReader {
 public:
  SubviewerReader(FileChecker& fc, const bool& unicode) : fc_(fc), unicode_(unicode) {}
  void line(std::string_view s, std::uint64_t number);
  void finish();

 private:
  void close();

  FileChecker& fc_;
  const bool& unicode_;  // may change once, at the first byte beyond ASCII
  bool header_ = true;
  bool open_ = false;      // a subtitle takes text lines
  bool skipping_ = false;  // passing over lines up to the next time line
  std::uint64_t last_line_ = 0;
  std::uint64_t text_lines_ = 0;
  std::uint64_t chars_ = 0;
};

}  // namespace cuelint
