// Byte kernels: the scans both programs run over every line. Each has a portable body and,
// where the compiler offers SSE2, an SSE2 body beside it (bytes::portable, bytes::sse2);
// the plain name is the one the build uses. A 64-byte block gives one bit a byte, bit i
// for byte i. Kernels over [p, p + n) load nothing past it; block kernels load 64 bytes.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "simd.h"

namespace bytes {

// Bits 0..n-1 (n up to 64).
inline uint64_t low_bits(size_t n) {
  return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

// The tail masks, one table: 64 zero bytes, 64 of 0xFF, 64 zero bytes.
struct TailTable {
  unsigned char b[192];
  constexpr TailTable() : b{} {
    for (int i = 64; i < 128; ++i) b[i] = 0xFF;
  }
};
alignas(64) inline constexpr TailTable kTail{};

// 64 bytes whose first n (up to 64) are 0xFF, the rest 0.
inline const unsigned char* keep_first(size_t n) {
  assert(n <= 64);
  return kTail.b + 128 - n;
}

// 16 bytes whose last k (up to 16) are 0xFF, the rest 0.
inline const unsigned char* keep_last16(size_t k) {
  assert(k <= 16);
  return kTail.b + 48 + k;
}

struct Eol64 {
  uint64_t cr, lf;
};

// What one pass over a line of plain text finds (plain_line).
struct PlainLine {
  size_t whites, bars, breaks;  // white bytes (as count_white counts them), "|", "[br]"
  bool brackets;                // a "[" among them
};

// What one pass over a line of printable ASCII finds (text_line).
struct TextLine {
  bool marks;                   // a "|" or a "[" among them
  bool two_white;               // two white bytes (20, 09) next to each other
  size_t whites, bars, breaks;  // white bytes, "|", "[br]"
  bool brackets, amp;           // a "[", a "&" among them
  size_t first_break;           // where the first "[br]" begins; n when there is none
};

// Copies n bytes, exactly [d, d + n), in a few fixed-size moves instead of a library call:
// the first and the last sizeof(T) bytes, both loaded before either is stored, so that
// source and destination may overlap.
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

namespace portable {

// The de Bruijn way: the lowest set bit alone, times a sequence in which every six-bit
// window differs, names the bit by its top six bits.
constexpr uint64_t kDeBruijn = 0x03F79D71B4CB0A89ull;
struct CtzTable {
  unsigned char at[64];
  constexpr CtzTable() : at{} {
    for (int i = 0; i < 64; ++i)
      at[((uint64_t{1} << i) * kDeBruijn) >> 58] = static_cast<unsigned char>(i);
  }
};
inline constexpr CtzTable kCtz{};

inline int ctz64(uint64_t x) {
  assert(x != 0);
  return kCtz.at[((x & (~x + 1)) * kDeBruijn) >> 58];
}

inline uint64_t eq64(const void* p, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  uint64_t m = 0;
  for (int i = 0; i < 64; ++i) m |= uint64_t{b[i] == c} << i;
  return m;
}

inline uint64_t either64(const void* p, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  uint64_t m = 0;
  for (int i = 0; i < 64; ++i) m |= uint64_t{b[i] == a || b[i] == c} << i;
  return m;
}

inline Eol64 eol64(const void* p) {
  return Eol64{eq64(p, '\r'), eq64(p, '\n')};
}

inline uint64_t differ64(const void* p, const void* q) {
  const unsigned char* a = static_cast<const unsigned char*>(p);
  const unsigned char* b = static_cast<const unsigned char*>(q);
  uint64_t m = 0;
  for (int i = 0; i < 64; ++i) m |= uint64_t{a[i] != b[i]} << i;
  return m;
}

// The index of the first byte from 0x80; n when there is none.
inline size_t find_high(const void* p, size_t n) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    uint64_t w[4];
    std::memcpy(w, b + i, 32);
    if ((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) break;
  }
  for (; i < n; ++i)
    if (b[i] >= 0x80) return i;
  return n;
}

inline size_t find_byte(const void* p, size_t n, unsigned char c) {
  const void* at = n ? std::memchr(p, c, n) : nullptr;
  return at ? static_cast<size_t>(static_cast<const unsigned char*>(at) -
                                  static_cast<const unsigned char*>(p))
            : n;
}

inline size_t find_either(const void* p, size_t n, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  size_t i = 0;
  while (i < n && b[i] != a && b[i] != c) ++i;
  return i;
}

inline size_t count_byte(const void* p, size_t n, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  size_t count = 0;
  for (size_t i = 0; i < n; ++i) count += b[i] == c;
  return count;
}

// Among the first n (up to 64) of 64 readable bytes.
inline unsigned count_byte64(const void* p, size_t n, unsigned char c) {
  assert(n <= 64);
  return static_cast<unsigned>(count_byte(p, n, c));
}

// Among the first n of 64 bytes at p and the first m of 64 at q, both counts in one.
inline unsigned count_byte64x2(const void* p, size_t n, const void* q, size_t m, unsigned char c) {
  return count_byte64(p, n, c) + count_byte64(q, m, c);
}

// Copies n bytes (up to 64) and keeps d[n..63]; s[0..63] must be readable.
inline void copy_first64(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n <= 64);
  copy_exact(d, s, n < 64 ? n : 64);  // n is at most 64 already; this tells the compiler
}

// Within a length-prefixed string: a 256-byte block, all of it readable, whose byte 0 is a
// length n and bytes 1..n the text.
inline size_t count_byte256(const void* block, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(block);
  return count_byte(b + 1, b[0], c);
}

inline bool has_either256(const void* block, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(block);
  return find_either(b + 1, b[0], a, c) != b[0];
}

// Whether every byte k of the 16 at p has (byte | set[k]) - lo[k] <= span[k], unsigned
// and in eight bits: a class of characters per position in one test.
inline bool fits16(const void* p, const unsigned char* set, const unsigned char* lo,
                   const unsigned char* span) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  bool ok = true;
  for (int k = 0; k < 16; ++k) ok &= static_cast<unsigned char>((b[k] | set[k]) - lo[k]) <= span[k];
  return ok;
}

// No byte from 0x80 and none equal to a or c.
inline bool ascii_without(const void* p, size_t n, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  bool odd = false;
  for (size_t i = 0; i < n; ++i) odd |= b[i] >= 0x80 || b[i] == a || b[i] == c;
  return !odd;
}

// Whether c is white space: 20 and 09, and in UTF-8 text 0A to 0D too.
inline bool is_white(unsigned char c, bool utf8) {
  return c == 0x20 || c == 0x09 || (utf8 && c >= 0x0A && c <= 0x0D);
}

// The white bytes of [p, p + n) into whites. In UTF-8 text a byte from 0x80 (part of a
// longer character) ends the count: false, whites undefined.
inline bool count_white(const void* p, size_t n, bool utf8, size_t& whites) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  size_t k = 0;
  for (size_t i = 0; i < n; ++i) {
    if (utf8 && b[i] >= 0x80) return false;
    k += is_white(b[i], utf8);
  }
  whites = k;
  return true;
}

// The first byte equal to one of four.
inline size_t find_of4(const void* p, size_t n, const unsigned char (&set)[4]) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = b[i];
    if (c == set[0] || c == set[1] || c == set[2] || c == set[3]) return i;
  }
  return n;
}

// A line of plain text in one pass: false when a "<" or a "{" (where markup may begin) or,
// in UTF-8 text, a byte from 0x80 is in it; else its white bytes, bars, "[br]" marks (one
// cannot overlap another) and whether a "[" is in it.
inline bool plain_line(const void* p, size_t n, bool utf8, PlainLine& out) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  PlainLine r{0, 0, 0, false};
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = b[i];
    if (c == '<' || c == '{' || (utf8 && c >= 0x80)) return false;
    r.whites += is_white(c, utf8);
    r.bars += c == '|';
    r.brackets |= c == '[';
    r.breaks += c == '[' && n - i >= 4 && std::memcmp(b + i, "[br]", 4) == 0;
  }
  out = r;
  return true;
}

// A line of printable ASCII in one pass: false when a byte is not 20 to 7E nor a tab, or
// is a "<" or a "{" (a control character, markup or more than ASCII); else its white
// bytes, bars and "[br]" marks, whether a "[" or a "&" is in it and whether two white bytes
// stand together.
inline bool text_line(const void* p, size_t n, TextLine& out) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  TextLine r{false, false, 0, 0, 0, false, false, n};
  unsigned two = 0, prev = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = b[i];
    if (c == '<' || c == '{' || c >= 0x7F || (c < 0x20 && c != '\t')) return false;
    const unsigned w = c == ' ' || c == '\t';
    r.whites += w;
    two |= w & prev;
    prev = w;
    r.bars += c == '|';
    r.brackets |= c == '[';
    if (c == '[' && n - i >= 4 && std::memcmp(b + i, "[br]", 4) == 0) {
      if (r.breaks++ == 0) r.first_break = i;
    }
    r.amp |= c == '&';
  }
  r.marks = r.bars != 0 || r.brackets;
  r.two_white = two != 0;
  out = r;
  return true;
}

}  // namespace portable

#if CUECHECK_SSE2_BUILT
namespace sse2 {

inline __m128i load16(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

inline uint64_t bits16(__m128i v) {
  return static_cast<unsigned>(_mm_movemask_epi8(v));
}

// The sum of the sixteen byte lanes.
inline size_t lane_sum(__m128i v) {
  __m128i s = _mm_sad_epu8(v, _mm_setzero_si128());
  return static_cast<size_t>(_mm_cvtsi128_si32(s) + _mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
}

inline uint64_t eq64(const void* p, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i k = _mm_set1_epi8(static_cast<char>(c));
  uint64_t m = 0;
  for (int i = 0; i < 4; ++i) m |= bits16(_mm_cmpeq_epi8(load16(b + 16 * i), k)) << (16 * i);
  return m;
}

inline uint64_t either64(const void* p, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i ka = _mm_set1_epi8(static_cast<char>(a)), kc = _mm_set1_epi8(static_cast<char>(c));
  uint64_t m = 0;
  for (int i = 0; i < 4; ++i) {
    __m128i v = load16(b + 16 * i);
    m |= bits16(_mm_or_si128(_mm_cmpeq_epi8(v, ka), _mm_cmpeq_epi8(v, kc))) << (16 * i);
  }
  return m;
}

inline Eol64 eol64(const void* p) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  Eol64 m{0, 0};
  for (int i = 0; i < 4; ++i) {
    __m128i v = load16(b + 16 * i);
    m.cr |= bits16(_mm_cmpeq_epi8(v, cr)) << (16 * i);
    m.lf |= bits16(_mm_cmpeq_epi8(v, lf)) << (16 * i);
  }
  return m;
}

inline uint64_t differ64(const void* p, const void* q) {
  const unsigned char* a = static_cast<const unsigned char*>(p);
  const unsigned char* b = static_cast<const unsigned char*>(q);
  uint64_t same = 0;
  for (int i = 0; i < 4; ++i)
    same |= bits16(_mm_cmpeq_epi8(load16(a + 16 * i), load16(b + 16 * i))) << (16 * i);
  return ~same;
}

inline size_t find_high(const void* p, size_t n) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m128i v = _mm_or_si128(_mm_or_si128(load16(b + i), load16(b + i + 16)),
                                   _mm_or_si128(load16(b + i + 32), load16(b + i + 48)));
    if (_mm_movemask_epi8(v)) break;
  }
  for (; i + 16 <= n; i += 16) {
    unsigned m = static_cast<unsigned>(_mm_movemask_epi8(load16(b + i)));
    if (m) return i + static_cast<size_t>(__builtin_ctz(m));
  }
  for (; i < n; ++i)
    if (b[i] >= 0x80) return i;
  return n;
}

inline size_t find_byte(const void* p, size_t n, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i k = _mm_set1_epi8(static_cast<char>(c));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(load16(b + i), k)));
    if (m) return i + static_cast<size_t>(__builtin_ctz(m));
  }
  for (; i < n; ++i)
    if (b[i] == c) return i;
  return n;
}

inline size_t find_either(const void* p, size_t n, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i ka = _mm_set1_epi8(static_cast<char>(a)), kc = _mm_set1_epi8(static_cast<char>(c));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i v = load16(b + i);
    unsigned m = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, ka), _mm_cmpeq_epi8(v, kc))));
    if (m) return i + static_cast<size_t>(__builtin_ctz(m));
  }
  for (; i < n; ++i)
    if (b[i] == a || b[i] == c) return i;
  return n;
}

inline size_t count_byte(const void* p, size_t n, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i k = _mm_set1_epi8(static_cast<char>(c));
  size_t count = 0, i = 0;
  while (i + 16 <= n) {
    // A match is -1 in its lane: 255 rounds at most before the lanes are summed.
    __m128i acc = _mm_setzero_si128();
    for (int r = 0; r < 255 && i + 16 <= n; ++r, i += 16)
      acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(load16(b + i), k));
    count += lane_sum(acc);
  }
  for (; i < n; ++i) count += b[i] == c;
  return count;
}

// p, kept in a register as it is: left to itself, GCC works a table row's address out
// afresh for every load from it (kTail + 16 * i - n: two more instructions a load).
inline const unsigned char* pinned(const unsigned char* p) {
#if defined(__GNUC__)
  __asm__("" : "+r"(p));
#endif
  return p;
}

// The matches among the first n of the 64 bytes at p, -1 in their lanes, added to acc.
inline __m128i count_into(__m128i acc, const unsigned char* p, size_t n, __m128i k) {
  const unsigned char* keep = pinned(keep_first(n));
  for (int i = 0; i < 64; i += 16)
    acc = _mm_add_epi8(acc, _mm_and_si128(_mm_cmpeq_epi8(load16(p + i), k), load16(keep + i)));
  return acc;
}

inline unsigned count_byte64(const void* p, size_t n, unsigned char c) {
  assert(n <= 64);
  const __m128i k = _mm_set1_epi8(static_cast<char>(c)), zero = _mm_setzero_si128();
  // Four rounds: every lane stays above -5.
  const __m128i acc = count_into(zero, static_cast<const unsigned char*>(p), n, k);
  return static_cast<unsigned>(lane_sum(_mm_sub_epi8(zero, acc)));
}

// Eight rounds into one sum: every lane stays above -9.
inline unsigned count_byte64x2(const void* p, size_t n, const void* q, size_t m, unsigned char c) {
  assert(n <= 64 && m <= 64);
  const __m128i k = _mm_set1_epi8(static_cast<char>(c)), zero = _mm_setzero_si128();
  __m128i acc = count_into(zero, static_cast<const unsigned char*>(p), n, k);
  acc = count_into(acc, static_cast<const unsigned char*>(q), m, k);
  return static_cast<unsigned>(lane_sum(_mm_sub_epi8(zero, acc)));
}

// Sixteen bytes at a time from the block's start: the first without the length byte, then
// whole ones, then the last masked to the text (keep_first); no tail byte by byte.
inline bool has_either256(const void* block, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(block);
  const size_t n = b[0];
  const __m128i ka = _mm_set1_epi8(static_cast<char>(a)), kc = _mm_set1_epi8(static_cast<char>(c));
  auto hit = [&](size_t at) {
    const __m128i v = load16(b + at);
    return _mm_or_si128(_mm_cmpeq_epi8(v, ka), _mm_cmpeq_epi8(v, kc));
  };
  __m128i any = _mm_and_si128(hit(0), load16(keep_first(n < 15 ? n + 1 : 16)));
  any = _mm_andnot_si128(load16(keep_first(1)), any);
  size_t at = 16;
  for (; at + 15 <= n; at += 16) any = _mm_or_si128(any, hit(at));
  if (at <= n) any = _mm_or_si128(any, _mm_and_si128(hit(at), load16(keep_first(n - at + 1))));
  return _mm_movemask_epi8(any) != 0;
}

inline size_t count_byte256(const void* block, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(block);
  const size_t n = b[0];
  const __m128i k = _mm_set1_epi8(static_cast<char>(c));
  auto hit = [&](size_t at) { return _mm_cmpeq_epi8(load16(b + at), k); };
  // A match is -1 in its lane; sixteen rounds at most.
  __m128i acc = _mm_and_si128(hit(0), load16(keep_first(n < 15 ? n + 1 : 16)));
  acc = _mm_andnot_si128(load16(keep_first(1)), acc);
  size_t at = 16;
  for (; at + 15 <= n; at += 16) acc = _mm_add_epi8(acc, hit(at));
  if (at <= n) acc = _mm_add_epi8(acc, _mm_and_si128(hit(at), load16(keep_first(n - at + 1))));
  return lane_sum(_mm_sub_epi8(_mm_setzero_si128(), acc));
}

// The stores are blended, so no byte past n changes.
inline void copy_first64(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n <= 64);
  const unsigned char* keep = pinned(keep_first(n));
  for (int i = 0; i < 64; i += 16) {
    __m128i m = load16(keep + i);
    __m128i v = load16(s + i), old = load16(d + i);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(m, v), _mm_andnot_si128(m, old)));
  }
}

inline bool fits16(const void* p, const unsigned char* set, const unsigned char* lo,
                   const unsigned char* span) {
  __m128i t = _mm_sub_epi8(_mm_or_si128(load16(p), load16(set)), load16(lo));
  __m128i s = load16(span);
  return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(t, s), s)) == 0xFFFF;
}

inline bool ascii_without(const void* p, size_t n, unsigned char a, unsigned char c) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i ka = _mm_set1_epi8(static_cast<char>(a)), kc = _mm_set1_epi8(static_cast<char>(c));
  __m128i odd = _mm_setzero_si128();  // the top bit of each lane: a byte from 0x80 or a match
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i v = load16(b + i);
    odd = _mm_or_si128(odd,
                       _mm_or_si128(v, _mm_or_si128(_mm_cmpeq_epi8(v, ka), _mm_cmpeq_epi8(v, kc))));
  }
  return _mm_movemask_epi8(odd) == 0 && portable::ascii_without(b + i, n - i, a, c);
}

// The white space among sixteen bytes, as portable::is_white.
inline __m128i white16(__m128i v, bool utf8) {
  __m128i ws =
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
  if (utf8)  // signed: a byte from 0x80 lies below 9
    ws = _mm_or_si128(ws, _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(8)),
                                        _mm_cmplt_epi8(v, _mm_set1_epi8(14))));
  return ws;
}

// Sixteen at a time; the last sixteen bytes are loaded whole and the ones already seen
// masked off (keep_last16), so a run of 16 bytes or more has no byte-by-byte tail.
inline bool count_white(const void* p, size_t n, bool utf8, size_t& whites) {
  if (n < 16) return portable::count_white(p, n, utf8, whites);
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i one = _mm_set1_epi8(1), zero = _mm_setzero_si128();
  __m128i high = zero, white = zero;
  size_t k = 0;
  auto add = [&](__m128i v, __m128i keep) {
    if (utf8) high = _mm_or_si128(high, _mm_and_si128(_mm_cmplt_epi8(v, zero), keep));
    white = _mm_add_epi8(white, _mm_and_si128(_mm_and_si128(white16(v, utf8), keep), one));
  };
  const __m128i all = _mm_set1_epi8(-1);
  size_t i = 0, rounds = 0;
  for (; i + 16 <= n; i += 16) {
    add(load16(b + i), all);
    if (++rounds == 255) {  // byte counters must not pass 255
      k += lane_sum(white);
      white = zero;
      rounds = 0;
    }
  }
  if (i < n) add(load16(b + n - 16), load16(keep_last16(n - i)));
  if (_mm_movemask_epi8(high)) return false;
  whites = k + lane_sum(white);
  return true;
}

inline size_t find_of4(const void* p, size_t n, const unsigned char (&set)[4]) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i k0 = _mm_set1_epi8(static_cast<char>(set[0])),
                k1 = _mm_set1_epi8(static_cast<char>(set[1])),
                k2 = _mm_set1_epi8(static_cast<char>(set[2])),
                k3 = _mm_set1_epi8(static_cast<char>(set[3]));
  auto mask = [&](__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, k0), _mm_cmpeq_epi8(v, k1)),
                     _mm_or_si128(_mm_cmpeq_epi8(v, k2), _mm_cmpeq_epi8(v, k3)))));
  };
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    unsigned m = mask(load16(b + i));
    if (m) return i + static_cast<size_t>(__builtin_ctz(m));
  }
  if (i < n && n >= 16) {  // the last sixteen, those already seen shifted out
    unsigned m = mask(load16(b + n - 16)) >> (16 - (n - i));
    return m ? i + static_cast<size_t>(__builtin_ctz(m)) : n;
  }
  return i + portable::find_of4(b + i, n - i, set);
}

// Byte counters go down by one for each byte found (a match is -1) and what stops the one
// pass is gathered and looked at once: no branch a byte. From 16 to 16 * 255 bytes, where
// the counters cannot pass 255; other lengths go the portable way.
inline bool plain_line(const void* p, size_t n, bool utf8, PlainLine& out) {
  if (n < 16 || n > 16 * 255) return portable::plain_line(p, n, utf8, out);
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i lt = _mm_set1_epi8('<'), lb = _mm_set1_epi8('{'), bar = _mm_set1_epi8('|'),
                sq = _mm_set1_epi8('['), zero = _mm_setzero_si128();
  __m128i white = zero, bars = zero, brackets = zero, stop = zero;
  auto add = [&](__m128i v) {
    stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, lb)));
    if (utf8) stop = _mm_or_si128(stop, v);  // a byte from 0x80: its top bit
    white = _mm_sub_epi8(white, white16(v, utf8));
    bars = _mm_sub_epi8(bars, _mm_cmpeq_epi8(v, bar));
    brackets = _mm_or_si128(brackets, _mm_cmpeq_epi8(v, sq));
  };
  size_t i = 0;
  for (; i + 16 <= n; i += 16) add(load16(b + i));
  if (i < n) {
    // The last sixteen bytes, with those already counted turned into a letter.
    __m128i keep = load16(keep_last16(n - i));
    add(_mm_or_si128(_mm_and_si128(keep, load16(b + n - 16)),
                     _mm_andnot_si128(keep, _mm_set1_epi8('a'))));
  }
  if (_mm_movemask_epi8(stop)) return false;
  out.whites = lane_sum(white);
  out.bars = lane_sum(bars);
  out.brackets = _mm_movemask_epi8(brackets) != 0;
  out.breaks = 0;
  if (out.brackets) {
    // Each "[" looked at alone, sixteen bytes at a time, the last sixteen new ones only.
    for (size_t at = 0; at < n; at += 16) {
      const size_t from = at + 16 <= n ? at : n - 16;
      unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(load16(b + from), sq))) &
                   (0xFFFFu << (at - from));
      for (; m; m &= m - 1) {
        const size_t k = from + static_cast<size_t>(__builtin_ctz(m));
        out.breaks += n - k >= 4 && std::memcmp(b + k, "[br]", 4) == 0;
      }
    }
  }
  return true;
}

// What stops the one pass and the marks are gathered and looked at once; the white bytes
// are a mask a step, each paired with the one before it (the last bit of the step before),
// and counted, with the bars, in byte counters that are emptied before they can pass 255.
inline bool text_line(const void* p, size_t n, TextLine& out) {
  if (n < 16) return portable::text_line(p, n, out);
  const unsigned char* b = static_cast<const unsigned char*>(p);
  const __m128i lt = _mm_set1_epi8('<'), lb = _mm_set1_epi8('{'), bar = _mm_set1_epi8('|'),
                sq = _mm_set1_epi8('['), sp = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'),
                del = _mm_set1_epi8(0x7F), amp = _mm_set1_epi8('&'), zero = _mm_setzero_si128();
  __m128i stop = zero, amps = zero, white = zero, bars = zero;
  size_t whites = 0, nbars = 0, breaks = 0, first_break = n;
  bool brackets = false;
  auto look = [&](__m128i v) {
    const __m128i tabs = _mm_cmpeq_epi8(v, tab);
    const __m128i ws = _mm_or_si128(_mm_cmpeq_epi8(v, sp), tabs);
    // Signed: bytes from 0x80 are below 20 too.
    const __m128i low = _mm_andnot_si128(tabs, _mm_cmplt_epi8(v, sp));
    stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, lb)));
    stop = _mm_or_si128(stop, _mm_or_si128(low, _mm_cmpeq_epi8(v, del)));
    white = _mm_sub_epi8(white, ws);
    bars = _mm_sub_epi8(bars, _mm_cmpeq_epi8(v, bar));
    amps = _mm_or_si128(amps, _mm_cmpeq_epi8(v, amp));
    return static_cast<unsigned>(_mm_movemask_epi8(ws));
  };
  // Each "[" of the sixteen bytes from `from` (bits of q) looked at as it comes.
  auto opens = [&](unsigned q, size_t from) {
    brackets = true;
    for (; q; q &= q - 1) {
      const size_t k = from + static_cast<size_t>(__builtin_ctz(q));
      if (n - k >= 4 && std::memcmp(b + k, "[br]", 4) == 0 && breaks++ == 0) first_break = k;
    }
  };
  unsigned two = 0, prev = 0;
  size_t i = 0, rounds = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = load16(b + i);
    const unsigned w = look(v);
    two |= w & ((w << 1) | prev);
    prev = w >> 15;
    if (const unsigned q = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, sq))))
      opens(q, i);
    if (++rounds == 255) {
      whites += lane_sum(white);
      nbars += lane_sum(bars);
      white = bars = zero;
      rounds = 0;
    }
  }
  if (i < n) {
    // The last sixteen bytes, with those already seen turned into a letter; their white
    // bits are shifted out of the pairs.
    const __m128i keep = load16(keep_last16(n - i));
    const __m128i v = _mm_or_si128(_mm_and_si128(keep, load16(b + n - 16)),
                                   _mm_andnot_si128(keep, _mm_set1_epi8('a')));
    const unsigned w = look(v) >> (16 - (n - i));
    two |= w & ((w << 1) | prev);
    if (const unsigned q = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, sq))))
      opens(q, n - 16);
  }
  if (_mm_movemask_epi8(stop)) return false;
  const size_t nb = nbars + lane_sum(bars);
  out = TextLine{
      nb != 0 || brackets,          two != 0,   whites + lane_sum(white), nb, breaks, brackets,
      _mm_movemask_epi8(amps) != 0, first_break};
  return true;
}

}  // namespace sse2
#endif

#if CUECHECK_SSE2
namespace best = sse2;
#else
namespace best = portable;
#endif

// The number of zero bits below the lowest set bit; x is not 0.
inline int ctz64(uint64_t x) {
  assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_ctzll(x);
#else
  return portable::ctz64(x);
#endif
}

// Block kernels: the 64 bytes at p are loaded.
inline uint64_t eq64(const void* p, unsigned char c) {
  return best::eq64(p, c);
}
inline uint64_t either64(const void* p, unsigned char a, unsigned char c) {
  return best::either64(p, a, c);
}
// The CRs and the LFs, the line index of a block.
inline Eol64 eol64(const void* p) {
  return best::eol64(p);
}
inline uint64_t differ64(const void* p, const void* q) {
  return best::differ64(p, q);
}
inline unsigned count_byte64(const void* p, size_t n, unsigned char c) {
  return best::count_byte64(p, n, c);
}
inline unsigned count_byte64x2(const void* p, size_t n, const void* q, size_t m, unsigned char c) {
  return best::count_byte64x2(p, n, q, m, c);
}
inline void copy_first64(unsigned char* d, const unsigned char* s, size_t n) {
  best::copy_first64(d, s, n);
}

// Length-prefixed strings: byte 0 of a 256-byte block is the length n, bytes 1..n the
// text; the whole block is readable.
inline size_t count_byte256(const void* block, unsigned char c) {
  return best::count_byte256(block, c);
}
inline bool has_either256(const void* block, unsigned char a, unsigned char c) {
  return best::has_either256(block, a, c);
}

// Range kernels over [p, p + n): the offset of the first match, or n.
// The index of the first byte from 0x80; n when there is none.
inline size_t find_high(const void* p, size_t n) {
  return best::find_high(p, n);
}
inline size_t find_byte(const void* p, size_t n, unsigned char c) {
  return best::find_byte(p, n, c);
}
inline size_t find_either(const void* p, size_t n, unsigned char a, unsigned char c) {
  return best::find_either(p, n, a, c);
}
inline size_t count_byte(const void* p, size_t n, unsigned char c) {
  return best::count_byte(p, n, c);
}
inline bool ascii_without(const void* p, size_t n, unsigned char a, unsigned char c) {
  return best::ascii_without(p, n, a, c);
}
inline bool fits16(const void* p, const unsigned char* set, const unsigned char* lo,
                   const unsigned char* span) {
  return best::fits16(p, set, lo, span);
}

// Text kernels: white space is 20 and 09, and in UTF-8 text 0A to 0D too.
inline bool count_white(const void* p, size_t n, bool utf8, size_t& whites) {
  return best::count_white(p, n, utf8, whites);
}
inline size_t find_of4(const void* p, size_t n, const unsigned char (&set)[4]) {
  return best::find_of4(p, n, set);
}
inline bool plain_line(const void* p, size_t n, bool utf8, PlainLine& out) {
  return best::plain_line(p, n, utf8, out);
}
inline bool text_line(const void* p, size_t n, TextLine& out) {
  return best::text_line(p, n, out);
}

// Copies n bytes (up to 255) to d, keeping d[n..63]: s[0..n+63] must be readable. Beyond
// 64 bytes, whole 64-byte moves, the last one ending at n.
inline void copy_line(unsigned char* d, const unsigned char* s, size_t n) {
  assert(n <= 255);
  if (n <= 64) {
    copy_first64(d, s, n);
    return;
  }
  for (size_t i = 0; i + 64 < n; i += 64) std::memcpy(d + i, s + i, 64);
  Bytes64 last;
  std::memcpy(&last, s + n - 64, 64);
  std::memcpy(d + n - 64, &last, 64);
}

}  // namespace bytes
