// Small tests on a line of text: white space, blank lines, whole numbers, decimal values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "types.h"

namespace cuelint {

constexpr std::int64_t kMaxNumber = 2147483647;

// Spaces and tabs: what may stand around a number and around "-->".
inline bool is_blank_char(char c) {
  return c == ' ' || c == '\t';
}
inline bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
inline bool is_ascii_letter(char c) {
  return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

// The Unicode White_Space property.
bool is_white_space(std::uint32_t cp);

// Bytes of the white-space character at the start of s (UTF-8), 0 if none starts there.
std::size_t white_space_at(std::string_view s);

// Empty or white space only. Unicode white space in UTF-8 text, else the bytes 20 and 09.
bool is_blank(std::string_view line, bool unicode);

// One or more ASCII digits with only blanks around them, value at most 2,147,483,647:
// the value; -1 when the line is not one.
std::int64_t whole_number(std::string_view line);

// Digits only, value at most max: stores it; false otherwise. Leading zeros are fine.
bool parse_decimal(std::string_view s, std::int64_t max, std::int64_t& out);

// A frame rate: 1 to 4 digits, optionally "." and 1 to 6 digits, value > 0.
bool parse_rate(std::string_view s, Rate& out);

// Two ASCII digits at p as a number (the caller has checked them).
inline int two_digits(const char* p) {
  return (p[0] - '0') * 10 + (p[1] - '0');
}

}  // namespace cuelint
