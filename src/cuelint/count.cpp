#include "cuelint/count.h"

#include <utf8proc.h>

#include "cuelint/text.h"

namespace cuelint {

std::uint64_t count_stretch(std::string_view s, bool unicode) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  std::size_t n = s.size();
  std::uint64_t count = 0;
  if (!unicode) {
    for (std::size_t i = 0; i < n; ++i) count += p[i] != 0x20 && p[i] != 0x09;
    return count;
  }
  // ASCII only: every character is a cluster of its own (line ends, the one pair that
  // joins, are not in a stretch).
  std::size_t i = 0;
  for (; i < n; ++i) {
    unsigned char c = p[i];
    if (c >= 0x80) break;
    count += c != 0x20 && (c < 0x09 || c > 0x0D);
  }
  if (i == n) return count;

  count = 0;
  utf8proc_int32_t state = 0, prev = -1;
  i = 0;
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

// Where the markup that starts at i ends (one past its closing character), or 0 when none
// starts there.
static std::size_t markup_end(std::string_view s, std::size_t i, Format format) {
  std::size_t n = s.size();
  char c = s[i];
  std::size_t from = 0;
  char close = 0;
  if (format == Format::kSubRip) {
    if (c == '<' && i + 1 < n && (is_ascii_letter(s[i + 1]) || s[i + 1] == '/')) {
      from = i + 2, close = '>';
    } else if (c == '{' && i + 1 < n && s[i + 1] == '\\') {
      from = i + 2, close = '}';
    }
  } else if (format == Format::kMicroDvd) {
    if (c == '{' && i + 2 < n && is_ascii_letter(s[i + 1]) && s[i + 2] == ':') {
      from = i + 3, close = '}';
    }
  }
  if (!close) return 0;
  const void* at = std::memchr(s.data() + from, close, n - from);
  if (!at) return 0;  // not closed on the line: text
  return static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) + 1;
}

std::uint64_t count_line(std::string_view line, Format format, bool unicode) {
  std::uint64_t count = 0;
  std::size_t n = line.size(), i = 0, stretch = 0;
  while (i < n) {
    char c = line[i];
    std::size_t skip_to = 0;
    if (c == '<' || c == '{') {
      skip_to = markup_end(line, i, format);
    } else if (c == '|') {
      skip_to = i + 1;
    } else if (c == '[' && n - i >= 4 && std::memcmp(line.data() + i, "[br]", 4) == 0) {
      skip_to = i + 4;
    }
    if (skip_to) {
      count += count_stretch(line.substr(stretch, i - stretch), unicode);
      i = stretch = skip_to;
    } else {
      ++i;
    }
  }
  return count + count_stretch(line.substr(stretch), unicode);
}

}  // namespace cuelint
