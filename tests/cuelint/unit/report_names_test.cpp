// Names as printed: what is escaped, what is kept, and the bytes of names JSON cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "report_names.h"

using namespace cuelint;

namespace {

TEST(PrintableName, EscapesControlsAndBrokenUtf8Only) {
  struct Case {
    const char* label;
    std::string name, printed;
    bool utf8;
  } cases[] = {
      {"plain", "a/b.srt", "a/b.srt", true},
      {"space, backslash and percent kept", "a b\\%.srt", "a b\\%.srt", true},
      {"escape sequence", "\x1b[31mred.srt", "\\x1B[31mred.srt", true},
      {"newline forging a line", "a\nb.srt:1: error: x", "a\\x0Ab.srt:1: error: x", true},
      {"carriage return, tab, NUL", std::string("\r\t\0z", 4), "\\x0D\\x09\\x00z", true},
      {"DEL", "a\x7f", "a\\x7F", true},
      {"two-, three- and four-byte characters", "\xC3\xA9\xE5\xAD\x97\xF0\x9F\x8E\xAC",
       "\xC3\xA9\xE5\xAD\x97\xF0\x9F\x8E\xAC", true},
      {"C1 control as UTF-8 is a character", "\xC2\x85", "\xC2\x85", true},
      {"Latin-1 byte", "caf\xE9.srt", "caf\\xE9.srt", false},
      {"lone continuation", "\x80x", "\\x80x", false},
      {"cut short at the end", "a\xE5\xAD", "a\\xE5\\xAD", false},
      {"cut short before a character", "\xE5\xC3\xA9", "\\xE5\xC3\xA9", false},
      {"overlong slash", "\xC0\xAF", "\\xC0\\xAF", false},
      {"overlong three bytes", "\xE0\x80\xAF", "\\xE0\\x80\\xAF", false},
      {"surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80", false},
      {"FF and FE", "\xFF\xFE", "\\xFF\\xFE", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(printable_name(c.name), c.printed) << c.label;
    EXPECT_EQ(name_is_utf8(c.name), c.utf8) << c.label;
    EXPECT_EQ(name_is_plain(c.name), c.printed == c.name) << c.label;
    std::string appended = "x:";
    append_printable_name(appended, c.name);
    EXPECT_EQ(appended, "x:" + c.printed) << c.label;
  }
}

TEST(HexBytes, LowerCaseTwoDigitsEach) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"a", "61"},
      {std::string("\0\x0f\xff", 3), "000fff"},
      {"caf\xE9\n", "636166e90a"},
  };
  for (const Case& c : cases) EXPECT_EQ(hex_bytes(c.in), c.out) << c.out;
}

}  // namespace
