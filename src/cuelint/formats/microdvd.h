// MicroDVD: one subtitle a line, "{START}{STOP}TEXT" in frames.
#pragma once

#include <cstdint>
#include <string_view>

#include "block.h"
#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

extern const FormatInfo kMicroDvd;

// "{START}{STOP}TEXT" from the line's first character; frames at most 2,147,483,647.
// text_at is where TEXT begins.
bool parse_microdvd_line(std::string_view line, std::int64_t& start, std::int64_t& stop,
                         std::size_t& text_at);

// The first non-blank line begins with "{".
bool recognizes_microdvd(const Line& l, int rank);

class MicroDvdReader {
 public:
  explicit MicroDvdReader(FileChecker& fc) : fc_(fc), block_(fc) {}
  void line(const Line& l);
  void finish() { block_.finish(); }

 private:
  FileChecker& fc_;
  Block block_;
  bool seen_first_ = false;  // the first subtitle line, the only one that may set the rate
};

}  // namespace cuelint
