// SubRip: numbered subtitles, a time line "H:MM:SS,mmm --> H:MM:SS,mmm", text lines, a blank
// line between subtitles.
#pragma once

#include <string>

#include <cstdint>
#include <string_view>

#include "block.h"
#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

extern const FormatInfo kSubRip;
extern const TagSet kSubRipTags;  // SBV's too

// Holds "-->" and its first character that is not a blank is an ASCII digit or "-"; or,
// from that character, a time, a misspelled arrow ("->", "- >", "=>", an en or em dash, a
// rightwards arrow, ...) and a time.
bool is_subrip_candidate(std::string_view line);

// A well-formed time line, from its first character; times in milliseconds.
bool parse_subrip_time_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

// What is wrong with a candidate that is not a well-formed time line: "the arrow".
const char* time_line_fault(std::string_view line);

// A candidate line anywhere among the lines looked at.
bool recognizes_subrip(const Line& l, int rank);

class SubRipReader {
 public:
  explicit SubRipReader(FileChecker& fc) : fc_(fc), block_(fc) {}
  void line(const Line& l);
  void finish();

 private:
  // timed: the times when the line is known to be a well-formed time line.
  void start(const Line& l, const Subtitle* timed);
  void text(const Line& l);
  void stray(std::uint64_t number);
  void flush_pending();

  FileChecker& fc_;
  Block block_;
  // A whole-number line, held back: the number line of a subtitle when a candidate line
  // follows it, else text (of which only its count is kept: its view is gone by then).
  bool pending_ = false;
  std::int64_t pending_value_ = 0;
  std::uint64_t pending_line_ = 0;
  std::uint64_t pending_chars_ = 0;
  // Its text, when the block looks at more than the count: a short one (every number line
  // of a subtitle) copied into pending_short_, a longer one into pending_long_.
  std::string_view pending_text_;
  char pending_short_[32];
  std::string pending_long_;

  bool stray_run_ = false;        // inside a run of lines that belong to no subtitle
  std::int64_t last_number_ = 0;  // the last number line found, right or wrong
  std::int64_t unnumbered_ = 0;   // subtitles without a number since then
};

}  // namespace cuelint
