#include "text.h"

namespace cuelint {

bool is_white_space(std::uint32_t cp) {
  if (cp <= 0x20) return cp == 0x20 || (cp >= 0x09 && cp <= 0x0D);
  if (cp < 0x85) return false;
  switch (cp) {
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return cp >= 0x2000 && cp <= 0x200A;
  }
}

std::size_t white_space_at(std::string_view s) {
  if (s.empty()) return 0;
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char c = b(0);
  if (c < 0x80) return (c == 0x20 || (c >= 0x09 && c <= 0x0D)) ? 1 : 0;
  if (c == 0xC2 && s.size() >= 2) return (b(1) == 0x85 || b(1) == 0xA0) ? 2 : 0;
  if (s.size() < 3) return 0;
  if (c == 0xE1) return (b(1) == 0x9A && b(2) == 0x80) ? 3 : 0;
  if (c == 0xE2) {
    if (b(1) == 0x80)
      return (b(2) <= 0x8A && b(2) >= 0x80) || b(2) == 0xA8 || b(2) == 0xA9 || b(2) == 0xAF ? 3 : 0;
    return (b(1) == 0x81 && b(2) == 0x9F) ? 3 : 0;
  }
  if (c == 0xE3) return (b(1) == 0x80 && b(2) == 0x80) ? 3 : 0;
  return 0;
}

bool is_blank(std::string_view line, bool unicode) {
  if (!unicode) {
    for (char c : line)
      if (!is_blank_char(c)) return false;
    return true;
  }
  while (!line.empty()) {
    std::size_t n = white_space_at(line);
    if (n == 0) return false;
    line.remove_prefix(n);
  }
  return true;
}

std::int64_t whole_number(std::string_view line) {
  std::size_t i = 0, n = line.size();
  while (i < n && is_blank_char(line[i])) ++i;
  std::size_t first = i;
  std::int64_t v = 0;
  while (i < n && is_digit(line[i])) {
    v = v * 10 + (line[i] - '0');
    if (v > kMaxNumber) return -1;
    ++i;
  }
  if (i == first) return -1;
  while (i < n && is_blank_char(line[i])) ++i;
  return i == n ? v : -1;
}

bool parse_decimal(std::string_view s, std::int64_t max, std::int64_t& out) {
  if (s.empty()) return false;
  std::int64_t v = 0;
  for (char c : s) {
    if (!is_digit(c)) return false;
    v = v * 10 + (c - '0');
    if (v > max) return false;
  }
  out = v;
  return true;
}

bool parse_rate(std::string_view s, Rate& out) {
  std::size_t i = 0, n = s.size();
  std::int64_t num = 0, den = 1;
  // The digits are counted as they come: a long run must not overflow the value.
  while (i < n && is_digit(s[i])) {
    if (i == 4) return false;
    num = num * 10 + (s[i++] - '0');
  }
  if (i == 0) return false;
  if (i < n) {
    if (s[i] != '.') return false;
    std::size_t frac = ++i;
    while (i < n && is_digit(s[i])) {
      if (i - frac == 6) return false;
      num = num * 10 + (s[i++] - '0');
      den *= 10;
    }
    if (i == frac || i != n) return false;
  }
  if (num == 0) return false;
  out.num = num;
  out.den = den;
  return true;
}

}  // namespace cuelint
