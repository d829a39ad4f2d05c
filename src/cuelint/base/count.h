// Counting the characters of a text line for the reading-time rule, and finding its
// line-break marks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "scan.h"
#include "types.h"

namespace cuelint {

// Characters of one stretch of text (no markup, marks or line ends in it): extended
// grapheme clusters whose first code point is not white space when unicode, else the bytes
// other than 20 and 09.
std::uint64_t count_stretch(std::string_view s, bool unicode);

// The markup rules of the formats. SubRip's: "<" and an ASCII letter or "/" up to the next
// ">", and "{\" up to the next "}". MicroDVD's: "{", an ASCII letter and ":" up to the next
// "}". Markup not closed on its line is text.
std::size_t subrip_markup(std::string_view line, std::size_t i, MarkupScan& scan);
std::size_t microdvd_markup(std::string_view line, std::size_t i, MarkupScan& scan);

// One past the first `close` ('>' or '}') at or after from, or 0 when the line has none
// there: markup not closed on its line is text. What scan knows is used and kept.
std::size_t markup_close(std::string_view line, std::size_t from, char close, MarkupScan& scan);

// Characters of one text line of a subtitle. Markup (by the rule; none when null) and the
// marks "|" and "[br]" are taken out, and split the line into stretches counted apart.
// *marks, when given, gets kHasPipe when the line holds a "|" anywhere (markup included)
// and kHasBracket when it holds a "[": only such a line needs for_each_mark.
enum : unsigned { kHasPipe = 1, kHasBracket = 2 };
std::uint64_t count_line(std::string_view line, MarkupRule markup, bool unicode,
                         unsigned* marks = nullptr);

// The same, always stretch by stretch: what count_line does when its one-pass way for plain
// lines does not apply (the tests hold the two ways to the same result).
std::uint64_t count_line_by_stretches(std::string_view line, MarkupRule markup, bool unicode,
                                      unsigned* marks = nullptr);

// Calls f(column, mark) for every "|" and every "[br]" of the line, left to right; column
// counts bytes from 0. Marks inside markup are found too.
template <class F>
void for_each_mark(std::string_view line, F&& f) {
  const char* b = line.data();
  const char* e = b + line.size();
  for (const char* p = find_either(b, line.size(), '|', '['); p < e;
       p = find_either(p + 1, static_cast<std::size_t>(e - p - 1), '|', '[')) {
    char c = *p;
    if (c == '|') {
      f(static_cast<std::size_t>(p - b), Mark::kPipe);
    } else if (c == '[' && e - p >= 4 && std::memcmp(p, "[br]", 4) == 0) {
      f(static_cast<std::size_t>(p - b), Mark::kBr);
      p += 3;
    }
  }
}

}  // namespace cuelint
