#include "convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "system_pages.h"

using cuelint::Converter;

namespace {

bool lacking(const char* encoding) {
  return std::strcmp(encoding, "GB18030") == 0 && cuelint_test::gb18030_missing_under_wine();
}

struct Outcome {
  Converter::Result result;
  std::size_t taken;  // input bytes consumed
  std::string out;
};

Outcome run(const char* encoding, const std::string& in, std::size_t room = 64) {
  std::unique_ptr<Converter> conv = Converter::open(encoding);
  if (!conv) return {Converter::kInvalid, 0, "(no converter)"};
  char buf[64];
  const char* p = in.data();
  std::size_t left = in.size();
  char* o = buf;
  std::size_t out_left = room;
  Converter::Result r = conv->convert(p, left, o, out_left);
  EXPECT_EQ(in.size() - left, static_cast<std::size_t>(p - in.data())) << encoding;
  EXPECT_EQ(room - out_left, static_cast<std::size_t>(o - buf)) << encoding;
  return {r, in.size() - left, std::string(buf, o)};
}

const char* result_name(Converter::Result r) {
  switch (r) {
    case Converter::kDone:
      return "done";
    case Converter::kOutFull:
      return "out full";
    case Converter::kIncomplete:
      return "incomplete";
    case Converter::kInvalid:
      return "invalid";
  }
  return "?";
}

// The same on both systems' converters: the characters files are written in.
TEST(Convert, Characters) {
  struct Case {
    const char* name;
    const char* encoding;
    std::string in;
    std::string out;
  } cases[] = {
      {"hiragana", "CP932", "a\x82\xA0", "a\xE3\x81\x82"},
      {"katakana with a | byte", "CP932", "\x83|", "\xE3\x83\x9D"},
      {"half-width katakana", "CP932", "\xB1", "\xEF\xBD\xB1"},
      {"NEC row 13", "CP932", "\x87\x40", "\xE2\x91\xA0"},
      {"euc-jp", "EUC-JP", "\xA4\xA2\xB4\xC1", "\xE3\x81\x82\xE6\xBC\xA2"},
      {"gb18030 two bytes", "GB18030", "\xC4\xE3\xBA\xC3", "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"gb18030 four bytes", "GB18030", "\x81\x30\x81\x30", "\xC2\x80"},
      {"gb18030 past the BMP", "GB18030", "\x95\x32\x82\x36", "\xF0\xA0\x80\x80"},
      {"big5", "CP950", "\xA4\xA4\xA4\xE5", "\xE4\xB8\xAD\xE6\x96\x87"},
      {"korean", "CP949", "\xB0\xA1 \xC7\xD1", "\xEA\xB0\x80 \xED\x95\x9C"},
      {"korean outside KS X 1001", "CP949", "\x81\x41", "\xEA\xB0\x82"},
      {"cyrillic", "windows-1251", "\xC0\xFF", "\xD0\x90\xD1\x8F"},
      {"euro sign", "WINDOWS-1252", "\x80", "\xE2\x82\xAC"},
      {"latin-9 euro", "ISO-8859-15", "\xA4", "\xE2\x82\xAC"},
      {"C1 control of ISO-8859-1", "ISO-8859-1", "\x81", "\xC2\x81"},
      {"nothing", "CP932", "", ""},
      {"a NUL byte", "CP1252", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    if (lacking(c.encoding)) continue;
    Outcome got = run(c.encoding, c.in);
    EXPECT_STREQ(result_name(got.result), "done") << c.name;
    EXPECT_EQ(got.taken, c.in.size()) << c.name;
    EXPECT_EQ(got.out, c.out) << c.name;
  }
}

// Where the input stops: at a byte sequence the encoding does not have, inside a character
// at the end, or before a character the output has no room for. What comes before is given.
TEST(Convert, Stops) {
  struct Case {
    const char* name;
    const char* encoding;
    std::string in;
    std::size_t room;
    Converter::Result result;
    std::size_t taken;
    std::string out;
  } cases[] = {
      {"undefined in windows-1252", "windows-1252", "ab\x81", 64, Converter::kInvalid, 2, "ab"},
      {"undefined in windows-1251", "windows-1251", "\x98", 64, Converter::kInvalid, 0, ""},
      {"no lead byte in CP932", "CP932", "a\xFF", 64, Converter::kInvalid, 1, "a"},
      {"a line end after a lead byte", "CP932", "a\x82\n", 64, Converter::kInvalid, 1, "a"},
      {"no lead byte in GB18030", "GB18030", "\xC4\xE3\xFF", 64, Converter::kInvalid, 2,
       "\xE4\xBD\xA0"},
      {"a bad fourth byte", "GB18030", "\x81\x30\x81 ", 64, Converter::kInvalid, 0, ""},
      {"no lead byte in CP949", "CP949", "\xFF", 64, Converter::kInvalid, 0, ""},
      {"a lead byte at the end", "CP932", "a\x82", 64, Converter::kIncomplete, 1, "a"},
      {"two of four bytes", "GB18030", "\xC4\xE3\x81\x30", 64, Converter::kIncomplete, 2,
       "\xE4\xBD\xA0"},
      {"three of four bytes", "GB18030", "\x81\x30\x81", 64, Converter::kIncomplete, 0, ""},
      {"a lead byte of big5", "CP950", "\xA4", 64, Converter::kIncomplete, 0, ""},
      {"no room for a character", "CP932", "\x82\xA0\x82\xA0", 5, Converter::kOutFull, 2,
       "\xE3\x81\x82"},
      {"room for it exactly", "CP932", "\x82\xA0\x82\xA0", 6, Converter::kDone, 4,
       "\xE3\x81\x82\xE3\x81\x82"},
      {"room for ASCII only", "CP932", "ab\x82\xA0", 2, Converter::kOutFull, 2, "ab"},
      {"no room past the BMP", "GB18030", "\x95\x32\x82\x36", 3, Converter::kOutFull, 0, ""},
  };
  for (const Case& c : cases) {
    if (lacking(c.encoding)) continue;
    Outcome got = run(c.encoding, c.in, c.room);
    EXPECT_STREQ(result_name(got.result), result_name(c.result)) << c.name;
    EXPECT_EQ(got.taken, c.taken) << c.name;
    EXPECT_EQ(got.out, c.out) << c.name;
  }
}

// Fed in pieces cut anywhere, the remainder of a cut character carried to the next piece:
// the same text as from the whole.
TEST(Convert, PiecesCutAnywhere) {
  struct Case {
    const char* encoding;
    std::string in;
  } cases[] = {
      {"CP932", "\x93\xFA\x96\x7B\x8C\xEA\x83|\x81[ ok\n\x87\x40"},
      {"GB18030", "\xC4\xE3\x81\x30\x81\x30\x95\x32\x82\x36x\xBA\xC3"},
      {"CP950", "\xA4\xA4\xA4\xE5\n\xC5w"},
      {"CP949", "\xB0\xA1\x81\x41 \xC7\xD1"},
      {"EUC-JP", "\xA4\xA2x\xB4\xC1"},
      {"windows-1251", "\xC0\xFF abc"},
  };
  for (const Case& c : cases) {
    if (lacking(c.encoding)) continue;
    Outcome whole = run(c.encoding, c.in);
    ASSERT_STREQ(result_name(whole.result), "done") << c.encoding;
    for (std::size_t step = 1; step <= 3; ++step) {
      std::unique_ptr<Converter> conv = Converter::open(c.encoding);
      ASSERT_TRUE(conv) << c.encoding;
      std::string held, text;
      for (std::size_t at = 0; at < c.in.size(); at += step) {
        held += c.in.substr(at, step);
        const char* p = held.data();
        std::size_t left = held.size();
        // Output one character's room at a time at most: every stop is met.
        for (;;) {
          char buf[4];
          char* o = buf;
          std::size_t room = sizeof buf;
          Converter::Result r = conv->convert(p, left, o, room);
          text.append(buf, o);
          if (r == Converter::kOutFull) continue;
          ASSERT_TRUE(r == Converter::kDone || r == Converter::kIncomplete)
              << c.encoding << " step " << step << " at " << at << ": " << result_name(r);
          break;
        }
        held.erase(0, held.size() - left);
      }
      EXPECT_EQ(held, "") << c.encoding << " step " << step;
      EXPECT_EQ(text, whole.out) << c.encoding << " step " << step;
    }
  }
}

TEST(Convert, Names) {
  struct Case {
    const char* name;
    bool known;
  } cases[] = {
      {"CP932", true},
      {"cp932", true},
      {"EUC-JP", true},
      {"GB18030", !lacking("GB18030")},
      {"CP950", true},
      {"CP949", true},
      {"windows-1250", true},
      {"Windows-1258", true},
      {"ISO-8859-2", true},
      {"iso-8859-5", true},
      {"no-such-encoding", false},
      {"CP", false},
      {"ISO-8859-", false},
      {"windows-", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Converter::open(c.name) != nullptr, c.known) << "'" << c.name << "'";
}

}  // namespace
