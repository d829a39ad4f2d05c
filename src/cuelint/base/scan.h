// Finding bytes in text and testing fixed forms, over the byte kernels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bytes.h"

namespace cuelint {

// The first byte of [p, p + n) that is a or b; p + n when there is none.
inline const char* find_either(const char* p, std::size_t n, char a, char b) {
  return p + bytes::find_either(p, n, static_cast<unsigned char>(a), static_cast<unsigned char>(b));
}

}  // namespace cuelint

namespace cuelint {

// A fixed form of sixteen bytes, such as the start of a time line: byte k fits when
// (byte | set[k]) - lo[k] <= span[k], unsigned. Written as a pattern (make_form): "D" a
// digit, "5" a digit from 0 to 5, "~" a "," or a "." (their codes differ in one bit), any
// other character itself.
struct Form16 {
  unsigned char set[16], lo[16], span[16];
};

constexpr Form16 make_form(const char (&pattern)[17]) {
  Form16 f{};
  for (int k = 0; k < 16; ++k) {
    char c = pattern[k];
    f.set[k] = c == '~' ? 0x02 : 0;
    f.lo[k] = static_cast<unsigned char>(c == 'D' || c == '5' ? '0' : c == '~' ? '.' : c);
    f.span[k] = c == 'D' ? 9 : c == '5' ? 5 : 0;
  }
  return f;
}

// Whether the sixteen bytes at p fit the form, in one step without a branch per byte.
inline bool fits_form(const char* p, const Form16& f) {
  return bytes::fits16(p, f.set, f.lo, f.span);
}

}  // namespace cuelint
