// Number conversion and output: text to whole and real numbers, whole and real numbers to
// text, truncation and rounding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "extended.h"
#include "shortstr.h"

inline bool is_digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// a + d in 32-bit two's complement: the program's whole numbers wrap around.
inline int32_t wrap_add(int32_t a, int32_t d) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(d));
}
inline int32_t wrap_sub(int32_t a, int32_t d) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(d));
}

// The result code of a conversion: 0 for success, else the position of the offending
// character (one past the end when the text ended too early).
struct IntConv {
  int32_t value;
  int code;
};

struct RealConv {
  Ext value;
  int code;
};

// The integer conversion into 32 bits: blanks and tabs first, a sign, then decimal
// digits, "$" and hexadecimal digits, or "%" and binary digits. A failure yields 0.
IntConv int_conversion32(const ShortStr& s);

// The same, character by character; int_conversion32 reads up to nine plain digits eight
// at a time and calls this for every other text.
IntConv int_conversion32_general(const ShortStr& s);

// The same into 16 bits: the low 16 bits of the 32-bit value, read as signed.
IntConv int_conversion16(const ShortStr& s);

// The real conversion: decimal digits with an optional point and exponent, formed with a
// 64-bit significand. A failure yields 0.0. A power of ten beyond the extended range stops
// the run with run-time error 205.
RealConv real_conversion(const ShortStr& s);

// The decimal text of v, "-" before a negative value; returns its length (at most 11).
size_t int_to_text(int32_t v, char* out);

// The integer-to-text conversion into a short string.
void int_to_short(int32_t v, ShortStr& s);

// The fixed-point output of x with a field width and 0..3 decimals. Ties in the last
// decimal go away from zero, decided on the exact value of the double. Returns the length;
// out must hold kFixedTextMax bytes.
constexpr size_t kFixedTextMax = 340;
size_t fixed_text(double x, int width, int decimals, char* out);

// Truncation toward zero; outside 32 bits or not a number: -2147483648.
int32_t truncation(Ext x);

// Rounding to the nearest whole number, ties to the even one. A result outside 32 bits
// stops the run with run-time error 207 at `place`.
int32_t rounding(Ext x, uint32_t place);
