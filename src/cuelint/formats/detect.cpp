#include "detect.h"

#include "subrip.h"
#include "subviewer.h"
#include "text.h"

namespace cuelint {

static constexpr int kLookAhead = 50;

Format detect_format(LineReader& lines, const bool& unicode) {
  std::string_view s;
  int seen = 0;  // non-blank lines so far
  while (seen < kLookAhead && lines.next(s)) {
    if (is_blank(s, unicode)) continue;
    if (++seen == 1) {
      std::int64_t a, b;
      if (s[0] == '{') return Format::kMicroDvd;
      if (s[0] == '[' || parse_subviewer_time_line(s, a, b)) return Format::kSubviewer;
    }
    // A candidate line first, or after a whole number (the second non-blank line), or
    // anywhere among the first 50 non-blank lines: all of them mean SubRip.
    if (is_subrip_candidate(s)) return Format::kSubRip;
  }
  return Format::kNone;
}

}  // namespace cuelint
