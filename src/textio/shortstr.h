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

inline const char* ss_chars(const ShortStr& s) {
  return reinterpret_cast<const char*>(s.b + 1);
}
