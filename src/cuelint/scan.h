// Finding bytes in text sixteen at a time (SSE2, which every x86-64 has), byte by byte
// elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cuelint {

// The first byte of [p, p + n) that is a or b; p + n when there is none.
inline const char* find_either(const char* p, std::size_t n, char a, char b) {
  const char* e = p + n;
#if defined(__SSE2__)
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
