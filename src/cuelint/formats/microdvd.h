// MicroDVD: one subtitle a line, "{START}{STOP}TEXT" in frames.
#pragma once

#include <cstdint>
#include <string_view>

#include "checks.h"

namespace cuelint {

// "{START}{STOP}TEXT" from the line's first character; frames at most 2,147,483,647.
// text_at is where TEXT begins.
bool parse_microdvd_line(std::string_view line, std::int64_t& start, std::int64_t& stop,
                         std::size_t& text_at);

class MicroDvdReader {
 public:
  MicroDvdReader(FileChecker& fc, const bool& unicode, bool fps_given)
      : fc_(fc), unicode_(unicode), fps_given_(fps_given) {}
  void line(std::string_view s, std::uint64_t number);
  void finish() { fc_.flush_loose(); }

 private:
  FileChecker& fc_;
  const bool& unicode_;  // may change once, at the first byte beyond ASCII
  bool fps_given_;
  bool seen_first_ = false;  // the first subtitle line, the only one that may set the rate
};

}  // namespace cuelint
