#include "count.h"

#include <utf8proc.h>

#include "bytes.h"
#include "text.h"

namespace cuelint {

std::uint64_t count_stretch(std::string_view s, bool unicode) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  std::size_t n = s.size();
  std::size_t whites = 0;
  if (bytes::count_white(p, n, unicode, whites)) return n - whites;
  // UTF-8 beyond ASCII: extended grapheme clusters.
  std::uint64_t count = 0;
  utf8proc_int32_t state = 0, prev = -1;
  std::size_t i = 0;
  while (i < n) {
    utf8proc_int32_t cp;
    utf8proc_ssize_t k = utf8proc_iterate(p + i, static_cast<utf8proc_ssize_t>(n - i), &cp);
    if (k <= 0) {
      // Not UTF-8 after all (the file changed after its encoding was decided): a byte
      // stands for one character.
      cp = 0xFFFD;
      k = 1;
    }
    bool starts = prev < 0 || utf8proc_grapheme_break_stateful(prev, cp, &state);
    if (starts && !is_white_space(static_cast<std::uint32_t>(cp))) ++count;
    prev = cp;
    i += static_cast<std::size_t>(k);
  }
  return count;
}

std::size_t markup_close(std::string_view s, std::size_t from, char close, MarkupScan& scan) {
  const int k = close == '>' ? 0 : 1;
  std::size_t& begun = scan.from[k];
  std::size_t& found = scan.found[k];
  // Known: from lies between where the last search began and the close it found.
  if (begun != MarkupScan::kUnsearched && from >= begun && (found == 0 || from < found))
    return found;
  const void* at = from < s.size() ? std::memchr(s.data() + from, close, s.size() - from) : nullptr;
  begun = from;
  found = at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) + 1 : 0;
  return found;
}

std::size_t subrip_markup(std::string_view s, std::size_t i, MarkupScan& scan) {
  std::size_t n = s.size();
  if (s[i] == '<' && i + 1 < n && (is_ascii_letter(s[i + 1]) || s[i + 1] == '/'))
    return markup_close(s, i + 2, '>', scan);
  if (s[i] == '{' && i + 1 < n && s[i + 1] == '\\') return markup_close(s, i + 2, '}', scan);
  return 0;
}

std::size_t microdvd_markup(std::string_view s, std::size_t i, MarkupScan& scan) {
  if (s[i] == '{' && i + 2 < s.size() && is_ascii_letter(s[i + 1]) && s[i + 2] == ':')
    return markup_close(s, i + 3, '}', scan);
  return 0;
}

std::uint64_t count_line(std::string_view line, MarkupRule markup, bool unicode, unsigned* marks) {
  // Most lines hold no markup and, in UTF-8 text, only ASCII: every character is then one
  // byte, and the marks only take their own bytes out.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t n = line.size();
  bytes::PlainLine plain;
  if (!bytes::plain_line(p, n, unicode, plain))
    return count_line_by_stretches(line, markup, unicode, marks);
  const std::uint64_t total = n - plain.whites - plain.bars - 4 * plain.breaks;
  unsigned seen = plain.bars ? static_cast<unsigned>(kHasPipe) : 0u;
  if (plain.brackets) seen |= kHasBracket;
  if (marks) *marks = seen;
  return total;
}

std::uint64_t count_line_by_stretches(std::string_view line, MarkupRule markup, bool unicode,
                                      unsigned* marks) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t n = line.size(), i = 0, stretch = 0;
  std::uint64_t total = 0;
  unsigned seen = 0;
  MarkupScan scan;
  for (;;) {
    // Up to the next byte that may begin markup or a mark, the stretch goes on.
    static constexpr unsigned char kSpecial[4] = {'<', '{', '|', '['};
    i += bytes::find_of4(p + i, n - i, kSpecial);
    if (i >= n) break;
    std::size_t skip_to = 0;
    char c = static_cast<char>(p[i]);
    if (c == '|') {
      seen |= kHasPipe;
      skip_to = i + 1;
    } else if (c == '[') {
      seen |= kHasBracket;
      if (n - i >= 4 && std::memcmp(p + i, "[br]", 4) == 0) skip_to = i + 4;
    } else {
      skip_to = markup ? markup(line, i, scan) : 0;
      if (skip_to) {
        const char* m = line.data() + i;
        std::size_t len = skip_to - i;
        if (std::memchr(m, '|', len)) seen |= kHasPipe;
        if (std::memchr(m, '[', len)) seen |= kHasBracket;
      }
    }
    if (!skip_to) {
      ++i;  // "<", "{" or "[" as text: part of the stretch
      continue;
    }
    total += count_stretch(line.substr(stretch, i - stretch), unicode);
    i = stretch = skip_to;
  }
  if (marks) *marks = seen;
  return total + count_stretch(line.substr(stretch), unicode);
}

}  // namespace cuelint
