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

#include "bytes.h"

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
  const size_t n = a.b[0];
  if (n != b.b[0]) return false;
  // The usual line: 64 bytes from position 1, as the line read stores them (a load across
  // two stores waits for both), no branch on the length.
  if (n <= 64) return (bytes::differ64(a.b + 1, b.b + 1) & bytes::low_bits(n)) == 0;
  return std::memcmp(a.b + 1, b.b + 1, n) == 0;
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
  bytes::copy_exact(dst.b + 1, src.b + from, static_cast<size_t>(n));
  dst.b[0] = static_cast<unsigned char>(n);
}

// True when the string holds c1 or c2 within its length.
inline bool ss_has(const ShortStr& s, unsigned char c1, unsigned char c2) {
  const size_t n = s.b[0];
  if (n <= 64) return (bytes::either64(s.b + 1, c1, c2) & bytes::low_bits(n)) != 0;
  return bytes::has_either256(s.b, c1, c2);
}

inline bool ss_has(const ShortStr& s, unsigned char c) {
  return ss_has(s, c, c);
}

// The number of characters equal to c within the length.
inline int ss_count(const ShortStr& s, unsigned char c) {
  const size_t n = s.b[0];
  if (n <= 64) return static_cast<int>(bytes::count_byte64(s.b + 1, n, c));
  return static_cast<int>(bytes::count_byte256(s.b, c));
}

// ss_count(a, c) + ss_count(b, c); two strings of the usual length go in one pass.
inline int ss_count2(const ShortStr& a, const ShortStr& b, unsigned char c) {
  const size_t n = a.b[0], m = b.b[0];
  if (n <= 64 && m <= 64) return static_cast<int>(bytes::count_byte64x2(a.b + 1, n, b.b + 1, m, c));
  return ss_count(a, c) + ss_count(b, c);
}

inline const char* ss_chars(const ShortStr& s) {
  return reinterpret_cast<const char*>(s.b + 1);
}
