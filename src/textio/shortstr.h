// Short strings and line buffers.
//
// A short string holds at most 255 characters (any byte value) and its length, laid out as
// the classic length-prefixed string: b[0] is the length, b[1..255] the characters. Every
// text variable of the program is one. A variable that receives lines is a line buffer: a
// line read writes positions 1..n and sets the length to n, and positions past n keep what
// earlier, longer lines left there. Tests that read a buffer position read it whatever the
// current length is, so `at` never looks at the length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// Exact comparison of two short strings (length and characters).
inline bool ss_eq(const ShortStr& a, const ShortStr& b) {
  return a.b[0] == b.b[0] && std::memcmp(a.b + 1, b.b + 1, a.b[0]) == 0;
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

// Copies buffer positions from..from+n-1 of src to positions 1..n of dst, length n.
inline void ss_copy(ShortStr& dst, const ShortStr& src, int from, int n) {
  std::memmove(dst.b + 1, src.b + from, static_cast<size_t>(n));
  dst.b[0] = static_cast<unsigned char>(n);
}

// True when the string holds the character c within its length.
inline bool ss_has(const ShortStr& s, unsigned char c) {
  return std::memchr(s.b + 1, c, s.b[0]) != nullptr;
}

// The number of characters equal to c within the length, eight at a time: a byte equal
// to c becomes zero after the XOR, and the exact zero-byte test marks its high bit.
inline int ss_count(const ShortStr& s, unsigned char c) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const int n = s.b[0];
  int count = 0, i = 1;
  for (; i + 7 <= n; i += 8) {
    uint64_t v;
    std::memcpy(&v, s.b + i, 8);
    uint64_t x = v ^ (kOnes * c);
    uint64_t zero = ~(((x & kLow7) + kLow7) | x) & ~kLow7;
    count += static_cast<int>(((zero >> 7) * kOnes) >> 56);  // one per marked byte
  }
  for (; i <= n; ++i) count += s.b[i] == c;
  return count;
}

inline const char* ss_chars(const ShortStr& s) {
  return reinterpret_cast<const char*>(s.b + 1);
}
