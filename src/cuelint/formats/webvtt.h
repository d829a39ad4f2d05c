// WebVTT: a "WEBVTT" header, then blocks between blank lines: cues (an optional identifier,
// a timing line "[HH:]MM:SS.mmm --> [HH:]MM:SS.mmm settings", text lines) and NOTE, STYLE
// and REGION blocks, which are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "block.h"
#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

extern const FormatInfo kWebVtt;

// A timing line from its first character; times in milliseconds.
bool parse_webvtt_timing_line(std::string_view line, std::int64_t& start, std::int64_t& stop);

// "<" and an ASCII letter, "/" or a digit up to the next ">": tags and timestamp tags.
std::size_t webvtt_markup(std::string_view line, std::size_t i, MarkupScan& scan);

// Line 1 of the file is "WEBVTT", alone or followed by a blank and any text.
bool recognizes_webvtt(const Line& l, int rank);

class WebVttReader {
 public:
  explicit WebVttReader(FileChecker& fc) : fc_(fc), block_(fc) {}
  void line(const Line& l);
  void finish();

 private:
  enum class At : std::uint8_t {
    kHeader,   // line 1 and the lines up to the first blank line
    kBetween,  // after a blank line: the next line begins a block
    kFirst,    // a block's first line was no timing line: its identifier, if the next is one
    kSkip,     // a NOTE, STYLE or REGION block
    kPassing,  // a block with a structure fault, passed over up to a timing line
    kCue,      // the text of a cue
  };
  void timing(const Line& l);
  void block_fault(std::uint64_t line, const char* why);

  FileChecker& fc_;
  Block block_;
  At at_ = At::kHeader;
  bool after_cue_ = false;   // a timing line has been seen (not on line 1)
  bool faulted_ = false;     // the block being skipped has had its structure fault
  std::uint64_t first_ = 0;  // the line that began that block
};

}  // namespace cuelint
