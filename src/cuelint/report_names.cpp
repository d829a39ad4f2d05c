#include "report_names.h"

#include <utf8proc.h>

namespace cuelint {

namespace {

bool is_control(unsigned char c) {
  return c < 0x20 || c == 0x7f;
}

// Bytes of the well-formed character at the front of s, or 0 when none starts there.
std::size_t char_length(std::string_view s) {
  utf8proc_int32_t cp;
  utf8proc_ssize_t n = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data()),
                                        static_cast<utf8proc_ssize_t>(s.size()), &cp);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void append_escaped(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

}  // namespace

bool name_is_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = char_length(s.substr(i));
    if (n == 0) return false;
    i += n;
  }
  return true;
}

bool name_is_plain(std::string_view name) {
  for (char c : name) {
    if (is_control(static_cast<unsigned char>(c))) return false;
  }
  return name_is_utf8(name);
}

void append_printable_name(std::string& out, std::string_view name) {
  std::size_t i = 0;
  while (i < name.size()) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      if (is_control(c)) {
        append_escaped(out, c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    std::size_t n = char_length(name.substr(i));
    if (n == 0) {
      append_escaped(out, c);  // the bytes after it may still start a character
      ++i;
    } else {
      out.append(name, i, n);
      i += n;
    }
  }
}

std::string printable_name(std::string_view name) {
  std::string s;
  s.reserve(name.size());
  append_printable_name(s, name);
  return s;
}

std::string hex_bytes(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.size() * 2);
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

}  // namespace cuelint
