// A short string made from a test's text, with nothing left past its length.
#pragma once

#include <cstring>
#include <string>

#include "shortstr.h"

inline ShortStr S(const std::string& text) {
  ShortStr s;
  std::memset(&s, 0, sizeof s);
  ss_set(s, text.data(), text.size());
  return s;
}
