#include "count.h"

#include <utf8proc.h>

#include "text.h"

namespace cuelint {

#if CUECHECK_SSE2
namespace {

// Masks for the last bytes of a run: the load covers the sixteen bytes that end it, and
// kLast + k keeps the last k of them.
alignas(16) const unsigned char kLast[32] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

inline __m128i load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The white space among sixteen ASCII bytes: 20 and 09, and in unicode text 0A to 0D too.
inline __m128i white_bytes(__m128i v, bool unicode) {
  __m128i ws =
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
  if (unicode)
    ws = _mm_or_si128(ws, _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(8)),
                                        _mm_cmplt_epi8(v, _mm_set1_epi8(14))));
  return ws;
}

// Bytes other than white space in [p, p + n), n >= 16, sixteen at a time; false when a
// byte from 0x80 is among them (unicode) and the grapheme counter must count instead.
bool count_ascii(const unsigned char* p, std::size_t n, bool unicode, std::uint64_t& out) {
  const __m128i one = _mm_set1_epi8(1), zero = _mm_setzero_si128();
  __m128i high = zero, white = zero;
  std::uint64_t whites = 0;
  auto add = [&](__m128i v, __m128i keep) {
    if (unicode) high = _mm_or_si128(high, _mm_and_si128(_mm_cmplt_epi8(v, zero), keep));
    white = _mm_add_epi8(white, _mm_and_si128(_mm_and_si128(white_bytes(v, unicode), keep), one));
  };
  auto flush = [&] {  // byte counters must not pass 255
    __m128i sums = _mm_sad_epu8(white, zero);
    whites += static_cast<std::uint64_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    white = zero;
  };
  const __m128i all = _mm_set1_epi8(-1);
  std::size_t i = 0, rounds = 0;
  for (; i + 16 <= n; i += 16) {
    add(load(p + i), all);
    if (++rounds == 255) flush(), rounds = 0;
  }
  if (i < n) add(load(p + n - 16), load(kLast + (n - i)));
  if (_mm_movemask_epi8(high)) return false;
  flush();
  out = n - whites;
  return true;
}

// The first of "<", "{", "|", "[" (and, for unicode text, nothing else) at or after i.
std::size_t next_special(const unsigned char* p, std::size_t i, std::size_t n) {
  const __m128i lt = _mm_set1_epi8('<'), lb = _mm_set1_epi8('{'), bar = _mm_set1_epi8('|'),
                sq = _mm_set1_epi8('[');
  auto mask = [&](__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, lb)),
                     _mm_or_si128(_mm_cmpeq_epi8(v, bar), _mm_cmpeq_epi8(v, sq)))));
  };
  for (; i + 16 <= n; i += 16) {
    unsigned m = mask(load(p + i));
    if (m) return i + static_cast<unsigned>(__builtin_ctz(m));
  }
  if (i < n && n >= 16) {
    unsigned m = mask(load(p + n - 16)) >> (16 - (n - i));
    return m ? i + static_cast<unsigned>(__builtin_ctz(m)) : n;
  }
  for (; i < n; ++i) {
    unsigned char c = p[i];
    if (c == '<' || c == '{' || c == '|' || c == '[') return i;
  }
  return n;
}

// A whole line in one pass when no markup can begin in it (no "<", no "{") and, in unicode
// text, it is ASCII, as most text lines are: every character is then one byte, and the
// marks only take their own bytes out. False when the line is not so, or is too short or
// too long for this way (its byte counters must not pass 255).
bool count_simple(const unsigned char* p, std::size_t n, bool unicode, std::uint64_t& out,
                  unsigned& marks) {
  const __m128i lt = _mm_set1_epi8('<'), lb = _mm_set1_epi8('{'), bar = _mm_set1_epi8('|'),
                sq = _mm_set1_epi8('['), zero = _mm_setzero_si128();
  // Byte counters go down by one for each byte found (a match is -1), so they count up
  // from 0 when negated; what stops the one-pass way is gathered and looked at once.
  __m128i white = zero, pipes = zero, brackets = zero, stop = zero;
  auto add = [&](__m128i v) {
    stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, lb)));
    if (unicode) stop = _mm_or_si128(stop, v);  // a byte from 0x80: its top bit
    white = _mm_sub_epi8(white, white_bytes(v, unicode));
    pipes = _mm_sub_epi8(pipes, _mm_cmpeq_epi8(v, bar));
    brackets = _mm_or_si128(brackets, _mm_cmpeq_epi8(v, sq));
  };
  if (n < 16 || n > 16 * 255) return false;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) add(load(p + i));
  if (i < n) {
    // The last sixteen bytes, with those already counted turned into a letter.
    __m128i keep = load(kLast + (n - i));
    add(_mm_or_si128(_mm_and_si128(keep, load(p + n - 16)),
                     _mm_andnot_si128(keep, _mm_set1_epi8('a'))));
  }
  if (_mm_movemask_epi8(stop)) return false;
  __m128i w = _mm_sad_epu8(white, zero), b = _mm_sad_epu8(pipes, zero);
  std::uint64_t bars = static_cast<std::uint64_t>(_mm_cvtsi128_si32(b) + _mm_extract_epi16(b, 4));
  out = n - static_cast<std::uint64_t>(_mm_cvtsi128_si32(w) + _mm_extract_epi16(w, 4)) - bars;
  marks = bars ? static_cast<unsigned>(kHasPipe) : 0u;
  if (_mm_movemask_epi8(brackets)) {
    marks |= kHasBracket;
    // Every "[br]" takes its four bytes out. One cannot overlap another: each "[" is
    // looked at alone.
    for (std::size_t at = 0; at < n; at += 16) {
      std::size_t from = at + 16 <= n ? at : n - 16;  // the last sixteen bytes, new ones only
      unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(load(p + from), sq))) &
                   (0xFFFFu << (at - from));
      for (; m; m &= m - 1) {
        std::size_t k = from + static_cast<unsigned>(__builtin_ctz(m));
        if (n - k >= 4 && std::memcmp(p + k, "[br]", 4) == 0) out -= 4;
      }
    }
  }
  return true;
}

}  // namespace
#endif

std::uint64_t count_stretch(std::string_view s, bool unicode) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  std::size_t n = s.size();
  std::uint64_t count = 0;
#if CUECHECK_SSE2
  if (n >= 16) {
    if (count_ascii(p, n, unicode, count)) return count;
    count = 0;
  }
#endif
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

namespace {

// One past the first `close` at or after from, or 0 when the line has none: markup not
// closed on its line is text.
std::size_t closed_at(std::string_view s, std::size_t from, char close) {
  const void* at = std::memchr(s.data() + from, close, s.size() - from);
  if (!at) return 0;
  return static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) + 1;
}

}  // namespace

std::size_t subrip_markup(std::string_view s, std::size_t i) {
  std::size_t n = s.size();
  if (s[i] == '<' && i + 1 < n && (is_ascii_letter(s[i + 1]) || s[i + 1] == '/'))
    return closed_at(s, i + 2, '>');
  if (s[i] == '{' && i + 1 < n && s[i + 1] == '\\') return closed_at(s, i + 2, '}');
  return 0;
}

std::size_t microdvd_markup(std::string_view s, std::size_t i) {
  if (s[i] == '{' && i + 2 < s.size() && is_ascii_letter(s[i + 1]) && s[i + 2] == ':')
    return closed_at(s, i + 3, '}');
  return 0;
}

std::uint64_t count_line(std::string_view line, MarkupRule markup, bool unicode, unsigned* marks) {
#if CUECHECK_SSE2
  std::uint64_t total = 0;
  unsigned seen = 0;
  if (count_simple(reinterpret_cast<const unsigned char*>(line.data()), line.size(), unicode, total,
                   seen)) {
    if (marks) *marks = seen;
    return total;
  }
#endif
  return count_line_by_stretches(line, markup, unicode, marks);
}

std::uint64_t count_line_by_stretches(std::string_view line, MarkupRule markup, bool unicode,
                                      unsigned* marks) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t n = line.size(), i = 0, stretch = 0;
  std::uint64_t total = 0;
  unsigned seen = 0;
  for (;;) {
    // Up to the next byte that may begin markup or a mark, the stretch goes on.
#if CUECHECK_SSE2
    i = next_special(p, i, n);
#else
    while (i < n && p[i] != '<' && p[i] != '{' && p[i] != '|' && p[i] != '[') ++i;
#endif
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
      skip_to = markup ? markup(line, i) : 0;
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
