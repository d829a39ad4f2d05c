#include "cmdline.h"

namespace {

bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

size_t cmdline_split(const char* line, char* text, const char** words, size_t cap) {
  const char* p = line;
  size_t count = 0;
  for (;;) {
    while (is_separator(*p)) ++p;
    if (*p == '\0') return count;
    const char* begin;
    const char* end;
    if (*p == '"' || *p == '\'') {
      const char quote = *p++;
      begin = p;
      while (*p != '\0' && *p != quote) ++p;
      end = p;
      if (*p == quote) ++p;  // dropped; the next word may start right here
    } else {
      begin = p;
      while (*p != '\0' && !is_separator(*p)) ++p;
      end = p;
    }
    size_t len = static_cast<size_t>(end - begin);
    if (len > kCmdWordMax) len = kCmdWordMax;
    // A word takes at most the characters it was made of plus its NUL, and every word but
    // the last is followed by a separator or a quote that it does not keep: text never
    // needs more than strlen(line) + 1 bytes.
    if (count < cap) words[count] = text;
    for (size_t i = 0; i < len; ++i) *text++ = begin[i];
    *text++ = '\0';
    ++count;
  }
}
