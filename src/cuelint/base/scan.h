// Finding bytes in text sixteen at a time (SSE2, which every x86-64 has), byte by byte
// elsewhere and where the build turns the SSE2 scans off.
#pragma once

#include <cstddef>
#include <cstdint>

#include "simd.h"

namespace cuelint {

// The first byte of [p, p + n) that is a or b; p + n when there is none.
inline const char* find_either(const char* p, std::size_t n, char a, char b) {
  const char* e = p + n;
#if CUECHECK_SSE2
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b);
  while (e - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned m = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))));
    if (m) return p + __builtin_ctz(m);
    p += 16;
  }
#endif
  for (; p < e; ++p)
    if (*p == a || *p == b) return p;
  return e;
}

}  // namespace cuelint

namespace cuelint {

// A fixed form of sixteen bytes, such as the start of a time line: byte k fits when
// (byte | set[k]) - lo[k] <= span[k], unsigned. Written as a pattern (make_form): "D" a
// digit, "5" a digit from 0 to 5, "~" a "," or a "." (their codes differ in one bit), any
// other character itself.
struct Form16 {
  unsigned char set[16], lo[16], span[16];
};

constexpr Form16 make_form(const char (&pattern)[17]) {
  Form16 f{};
  for (int k = 0; k < 16; ++k) {
    char c = pattern[k];
    f.set[k] = c == '~' ? 0x02 : 0;
    f.lo[k] = static_cast<unsigned char>(c == 'D' || c == '5' ? '0' : c == '~' ? '.' : c);
    f.span[k] = c == 'D' ? 9 : c == '5' ? 5 : 0;
  }
  return f;
}

// Whether the sixteen bytes at p fit the form, in one step without a branch per byte.
inline bool fits_form(const char* p, const Form16& f) {
#if CUECHECK_SSE2
  auto vec = [](const unsigned char* q) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
  };
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i t = _mm_sub_epi8(_mm_or_si128(v, vec(f.set)), vec(f.lo));
  __m128i span = vec(f.span);
  return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(t, span), span)) == 0xFFFF;
#else
  bool ok = true;
  for (int k = 0; k < 16; ++k)
    ok &= static_cast<unsigned char>((static_cast<unsigned char>(p[k]) | f.set[k]) - f.lo[k]) <=
          f.span[k];
  return ok;
#endif
}

}  // namespace cuelint
