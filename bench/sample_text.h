// SubRip-like text for the perftests: numbered subtitles of one line of 20..42
// characters, a word every six, CR LF, deterministic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string subrip_like_text(std::size_t size) {
  std::string s;
  uint32_t x = 1;
  long number = 1;
  while (s.size() < size) {
    x = x * 1103515245u + 12345u;
    s += std::to_string(number++) + "\r\n00:01:02,345 --> 00:01:04,567\r\n";
    const int n = 20 + static_cast<int>(x >> 16) % 23;
    for (int i = 0; i < n; ++i) s += i % 6 == 5 ? ' ' : static_cast<char>('a' + (x >> i) % 26);
    s += "\r\n\r\n";
  }
  return s;
}
