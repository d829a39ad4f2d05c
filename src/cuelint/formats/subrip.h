// SubRip: numbered subtitles, a time line "H:MM:SS,mmm --> H:MM:SS,mmm", text lines, a blank
// line between subtitles.
#pragma once

#include <cstdint>
#include <string_view>

#include "checks.h"

namespace cuelint {

// Holds "-->" and its first character that is not a blank is an ASCII digit or "-".
bool is_subrip_candidate(std::string_view line);

// A well-formed time line, from its first character; times in milliseconds.
bool parse_subrip_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

class SubRipReader {
 public:
  SubRipReader(FileChecker& fc, const bool& unicode) : fc_(fc), unicode_(unicode) {}
  void line(std::string_view s, std::uint64_t number);
  void finish();

 private:
  // timed: the times when the line is known to be a well-formed time line.
  void start(std::string_view s, std::uint64_t number, const Subtitle* timed);
  void text(std::string_view s, std::uint64_t number);
  void text_line(std::uint64_t number, std::uint64_t chars);
  void flush_pending();
  void close();

  FileChecker& fc_;
  const bool& unicode_;  // may change once, at the first byte beyond ASCII
  // A whole-number line, held back: the number line of a subtitle when a candidate line
  // follows it, else text.
  bool pending_ = false;
  std::int64_t pending_value_ = 0;
  std::uint64_t pending_line_ = 0;
  std::uint64_t pending_chars_ = 0;

  bool open_ = false;       // a subtitle takes text lines
  bool stray_run_ = false;  // inside a run of lines that belong to no subtitle
  std::uint64_t last_line_ = 0;
  std::uint64_t text_lines_ = 0;
  std::uint64_t chars_ = 0;
  std::int64_t expected_ = 1;
};

}  // namespace cuelint
