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

namespace {

// Bits set in a 16-bit mask, without a library call where the processor has no POPCNT.
inline unsigned popcount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return (x + (x >> 8)) & 0x1Fu;
}

// Byte classes for the counting loop.
enum : std::uint8_t {
  kCounted,  // a character of its own that counts
  kSpace,    // white space: not counted
  kSpecial,  // may begin markup or a line-break mark: "<", "{", "|", "["
  kHigh,     // part of a UTF-8 sequence: the stretch goes to the grapheme counter
};

struct Classes {
  std::uint8_t unicode[256];
  std::uint8_t single[256];
  Classes() {
    for (int b = 0; b < 256; ++b) {
      std::uint8_t u = kCounted, s = kCounted;
      if (b == 0x20 || (b >= 0x09 && b <= 0x0D)) u = kSpace;
      if (b == 0x20 || b == 0x09) s = kSpace;
      if (b == '<' || b == '{' || b == '|' || b == '[') u = s = kSpecial;
      if (b >= 0x80) u = kHigh;
      unicode[b] = u;
      single[b] = s;
    }
  }
};

const Classes kClasses;

}  // namespace

std::uint64_t count_line(std::string_view line, Format format, bool unicode, bool* marks) {
  const std::uint8_t* cls = unicode ? kClasses.unicode : kClasses.single;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t n = line.size(), i = 0, stretch = 0;
  std::uint64_t total = 0, run = 0;  // run: characters of the stretch while it is ASCII
  bool high = false, seen = false;
#if defined(__SSE2__)
  const __m128i lt = _mm_set1_epi8('<'), lb = _mm_set1_epi8('{'), bar = _mm_set1_epi8('|'),
                sq = _mm_set1_epi8('['), sp = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'),
                c8 = _mm_set1_epi8(8), c14 = _mm_set1_epi8(14);
#endif
  while (i < n) {
#if defined(__SSE2__)
    // Sixteen bytes at a time while they are plain ASCII text: count what is not white
    // space, up to the first byte that needs a closer look.
    if (n >= 16) {
      // The last bytes of a line: the sixteen that end it, the ones already seen shifted
      // out (a copy into a buffer would stall the load that follows it).
      std::size_t rem = n - i;
      unsigned valid = 0xFFFFu, shift = 0;
      __m128i v;
      if (rem >= 16) {
        v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      } else {
        v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
        shift = static_cast<unsigned>(16 - rem);
        valid = (1u << rem) - 1;
      }
      __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, lb)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, bar), _mm_cmpeq_epi8(v, sq)));
      unsigned stop = static_cast<unsigned>(_mm_movemask_epi8(special));
      __m128i ws = _mm_or_si128(_mm_cmpeq_epi8(v, sp), _mm_cmpeq_epi8(v, tab));
      if (unicode) {
        stop |= static_cast<unsigned>(_mm_movemask_epi8(v));  // bytes from 0x80
        ws = _mm_or_si128(ws, _mm_and_si128(_mm_cmpgt_epi8(v, c8), _mm_cmplt_epi8(v, c14)));
      }
      stop = (stop >> shift) & valid;
      unsigned white = (static_cast<unsigned>(_mm_movemask_epi8(ws)) >> shift) & valid;
      if (!stop) {
        run += popcount16(valid & ~white);
        i += rem >= 16 ? 16 : rem;
        continue;
      }
      unsigned k = static_cast<unsigned>(__builtin_ctz(stop));
      run += k - popcount16(white & ((1u << k) - 1));
      i += k;
    }
#endif
    std::uint8_t k = cls[p[i]];
    if (k == kCounted) {
      ++run, ++i;
      continue;
    }
    if (k == kSpace) {
      ++i;
      continue;
    }
    if (k == kHigh) {
      high = true, ++i;
      continue;
    }
    std::size_t skip_to = 0;
    char c = static_cast<char>(p[i]);
    if (c == '|') {
      seen = true;
      skip_to = i + 1;
    } else if (c == '[') {
      seen = true;
      if (n - i >= 4 && std::memcmp(p + i, "[br]", 4) == 0) skip_to = i + 4;
    } else {
      skip_to = markup_end(line, i, format);
      if (skip_to) {
        const char* m = line.data() + i;
        seen = seen || find_either(m, skip_to - i, '|', '[') != m + (skip_to - i);
      }
    }
    if (!skip_to) {
      ++run, ++i;  // "<", "{" or "[" as text
      continue;
    }
    total += high ? count_stretch(line.substr(stretch, i - stretch), true) : run;
    run = 0, high = false;
    i = stretch = skip_to;
  }
  if (marks) *marks = seen;
  return total + (high ? count_stretch(line.substr(stretch), true) : run);
}

}  // namespace cuelint
