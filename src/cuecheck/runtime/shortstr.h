// Short strings and line buffers.
//
// A short string holds at most 255 characters (any byte value) and its length, laid out as
// the classic length-prefixed string: b[0] is the length, b[1..255] the characters. Every
// text variable of the program is one. A variable that receives lines is a line buffer: a
// line read writes positions 1..n and sets the length to n, and positions past n keep what
// earlier, longer lines left there. Tests that read a buffer position read it whatever the
// current length is, so `at` never looks at the length.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "simd.h"

struct ShortStr {
  unsigned char b[256];
};

inline int ss_len(const ShortStr& s) {
  return s.b[0];
}

// Buffer position k (1..255), whatever the length.
inline unsigned char ss_at(const ShortStr& s, int k) {
  return s.b[k];
}

// Makes the string empty. Positions past the length keep their contents.
inline void ss_clear(ShortStr& s) {
  s.b[0] = 0;
}

// Copies n bytes, exactly [d, d + n): positions past a line's length must keep their old
// contents. Short texts go with a few fixed-size moves instead of a library call.
// The first and the last sizeof(T) bytes of n (n from sizeof(T) to 2 * sizeof(T)), both
// loaded before either is stored, so source and destination may overlap.
template <typename T>
inline void copy_ends(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n >= sizeof(T) && n <= 2 * sizeof(T));
  T head, tail;
  std::memcpy(&head, s, sizeof head);
  std::memcpy(&tail, s + n - sizeof tail, sizeof tail);
  std::memcpy(d, &head, sizeof head);
  std::memcpy(d + n - sizeof tail, &tail, sizeof tail);
}

struct Bytes16 {
  uint64_t w[2];
};
struct Bytes32 {
  uint64_t w[4];
};
struct Bytes64 {
  uint64_t w[8];
};

inline void copy_exact(unsigned char* d, const unsigned char* s, size_t n) {
  if (n > 128) {
    std::memmove(d, s, n);
  } else if (n >= 64) {
    copy_ends<Bytes64>(d, s, n);
  } else if (n >= 32) {
    copy_ends<Bytes32>(d, s, n);
  } else if (n >= 16) {
    copy_ends<Bytes16>(d, s, n);
  } else if (n >= 8) {
    copy_ends<uint64_t>(d, s, n);
  } else if (n >= 4) {
    copy_ends<uint32_t>(d, s, n);
  } else if (n >= 2) {
    copy_ends<uint16_t>(d, s, n);
  } else if (n == 1) {
    d[0] = s[0];
  }
}

#if CUECHECK_SSE2
// kTake + 64 - n, read 64 bytes on: n lanes of ones, then zeros (n from 0 to 64).
alignas(64) inline constexpr unsigned char kTake[128] = {
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};

// Lanes i..i+15 of the first n (n at most 64).
inline __m128i take_first(size_t n, int i) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTake + 64 - n + i));
}
#endif

// Copies n bytes (at most 64) to d, keeping d[n..63]: 64 bytes are loaded from s, so
// s[0..63] must be readable; the stores are blended, so no byte past n changes.
inline void copy_line64(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n <= 64);
#if CUECHECK_SSE2
  for (int i = 0; i < 64; i += 16) {
    __m128i m = take_first(n, i);
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(m, v), _mm_andnot_si128(m, old)));
  }
#else
  copy_exact(d, s, n < 64 ? n : 64);  // n is at most 64 already; this tells the compiler
#endif
}

// Copies n bytes (at most 255) to d, keeping d[n..63]: s[0..n+63] must be readable.
// Beyond 64 bytes, whole 64-byte moves, the last one ending at n.
inline void copy_line(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n <= 255);
  if (n <= 64) {
    copy_line64(d, s, n);
    return;
  }
  for (size_t i = 0; i + 64 < n; i += 64) std::memcpy(d + i, s + i, 64);
  Bytes64 last;
  std::memcpy(&last, s + n - 64, 64);
  std::memcpy(d + n - 64, &last, 64);
}

// The number of zero bits below the lowest set bit; x is not 0.
inline int count_trailing_zeros(uint64_t x) {
  assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_ctzll(x);
#else
  int n = 0;
  while ((x & 1) == 0) {
    x >>= 1;
    ++n;
  }
  return n;
#endif
}

// Appends one character; a string of 255 characters drops it.
inline void ss_push(ShortStr& s, unsigned char c) {
  if (s.b[0] < 255) s.b[++s.b[0]] = c;
}

// Assigns a text; characters past 255 are dropped. Positions past the new length are kept.
inline void ss_set(ShortStr& s, const char* text, size_t n) {
  if (n > 255) n = 255;
  std::memcpy(s.b + 1, text, n);
  s.b[0] = static_cast<unsigned char>(n);
}

inline void ss_set(ShortStr& s, const char* text) {
  ss_set(s, text, std::strlen(text));
}

#if CUECHECK_SSE2
// Scans of a whole short string go sixteen positions at a time over b[0..255], which always
// lie inside the string; b[0] (the length) and the positions past the length are masked
// off.
inline __m128i ss_chunk_valid(int n, int base) {
  // kValid + 16 - k: k lanes of ones, then zeros.
  static const unsigned char kValid[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  int valid = n - base + 1;  // positions base..n of this chunk count
  __m128i mask = valid >= 16
                     ? _mm_set1_epi8(-1)
                     : _mm_loadu_si128(reinterpret_cast<const __m128i*>(kValid + 16 - valid));
  if (base == 0)
    mask = _mm_and_si128(
        mask, _mm_set_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0));
  return mask;
}

inline __m128i ss_chunk(const ShortStr& s, int base) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.b + base));
}
#endif

// Exact comparison of two short strings (length and characters).
inline bool ss_eq(const ShortStr& a, const ShortStr& b) {
  if (a.b[0] != b.b[0]) return false;
#if CUECHECK_SSE2
  const int n = a.b[0];
  if (n <= 64) {  // four fixed chunks from position 1, as the line read stores them
    __m128i differ = _mm_setzero_si128();
    for (int i = 0; i < 64; i += 16) {
      __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.b + 1 + i));
      __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.b + 1 + i));
      differ = _mm_or_si128(
          differ, _mm_andnot_si128(_mm_cmpeq_epi8(va, vb), take_first(static_cast<size_t>(n), i)));
    }
    return _mm_movemask_epi8(differ) == 0;
  }
  for (int base = 0; base <= n; base += 16) {
    __m128i differ = _mm_andnot_si128(_mm_cmpeq_epi8(ss_chunk(a, base), ss_chunk(b, base)),
                                      ss_chunk_valid(n, base));
    if (_mm_movemask_epi8(differ) != 0) return false;
  }
  return true;
#else
  return std::memcmp(a.b + 1, b.b + 1, a.b[0]) == 0;
#endif
}

// Exact comparison with a C string.
inline bool ss_eq(const ShortStr& a, const char* text) {
  size_t n = std::strlen(text);
  return a.b[0] == n && std::memcmp(a.b + 1, text, n) == 0;
}

// True when buffer positions k, k+1, ... hold `text`, whatever the length; a match never
// reaches past position 255.
inline bool ss_match(const ShortStr& s, int k, const char* text) {
  size_t n = std::strlen(text);
  if (k < 1 || k + n - 1 > 255) return false;
  return std::memcmp(s.b + k, text, n) == 0;
}

// ss_match for a text of four characters: one 32-bit comparison.
inline bool ss_match4(const ShortStr& s, int k, const char* text) {
  assert(std::strlen(text) == 4);
  if (k < 1 || k > 252) return false;
  uint32_t have, want;
  std::memcpy(&have, s.b + k, 4);
  std::memcpy(&want, text, 4);
  return have == want;
}

// Copies buffer positions from..from+n-1 of src to positions 1..n of dst, length n.
inline void ss_copy(ShortStr& dst, const ShortStr& src, int from, int n) {
  assert(from >= 1 && n >= 0 && from + n - 1 <= 255);  // buffer positions only
  copy_exact(dst.b + 1, src.b + from, static_cast<size_t>(n));
  dst.b[0] = static_cast<unsigned char>(n);
}

// True when the string holds c1 or c2 within its length.
inline bool ss_has(const ShortStr& s, unsigned char c1, unsigned char c2) {
#if CUECHECK_SSE2
  const int n = s.b[0];
  const __m128i k1 = _mm_set1_epi8(static_cast<char>(c1)),
                k2 = _mm_set1_epi8(static_cast<char>(c2));
  __m128i any = _mm_setzero_si128();
  if (n <= 64) {
    // The usual line: four fixed chunks from position 1, as the line read stores them
    // (a load across two stores waits for both), no branch on the length.
    for (int i = 0; i < 64; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.b + 1 + i));
      __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, k1), _mm_cmpeq_epi8(v, k2));
      any = _mm_or_si128(any, _mm_and_si128(hit, take_first(static_cast<size_t>(n), i)));
    }
    return _mm_movemask_epi8(any) != 0;
  }
  for (int base = 0; base <= n; base += 16) {
    __m128i v = ss_chunk(s, base);
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, k1), _mm_cmpeq_epi8(v, k2));
    any = _mm_or_si128(any, _mm_and_si128(hit, ss_chunk_valid(n, base)));
  }
  return _mm_movemask_epi8(any) != 0;
#else
  return std::memchr(s.b + 1, c1, s.b[0]) != nullptr || std::memchr(s.b + 1, c2, s.b[0]) != nullptr;
#endif
}

inline bool ss_has(const ShortStr& s, unsigned char c) {
  return ss_has(s, c, c);
}

// The number of characters equal to c within the length.
inline int ss_count(const ShortStr& s, unsigned char c) {
#if CUECHECK_SSE2
  const int n = s.b[0];
  const __m128i k = _mm_set1_epi8(static_cast<char>(c)), one = _mm_set1_epi8(1);
  __m128i acc = _mm_setzero_si128();  // at most 16 chunks: every lane stays below 256
  if (n <= 64) {  // four fixed chunks from position 1, as the line read stores them
    for (int i = 0; i < 64; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.b + 1 + i));
      acc = _mm_sub_epi8(
          acc, _mm_and_si128(_mm_cmpeq_epi8(v, k), take_first(static_cast<size_t>(n), i)));
    }
  }
  for (int base = 0; n > 64 && base <= n; base += 16) {
    __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(ss_chunk(s, base), k), ss_chunk_valid(n, base));
    acc = _mm_add_epi8(acc, _mm_and_si128(hit, one));
  }
  __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
  int count = _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
  return count;
#else
  int count = 0;
  for (int i = 1; i <= s.b[0]; ++i) count += s.b[i] == c;
  return count;
#endif
}

inline const char* ss_chars(const ShortStr& s) {
  return reinterpret_cast<const char*>(s.b + 1);
}
