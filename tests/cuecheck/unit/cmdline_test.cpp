#include "cmdline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Every word of `line`, the program's name first. The text area is exactly as large as
// the contract asks, with guard bytes behind it that must stay untouched.
std::vector<std::string> split(const std::string& line) {
  const size_t need = line.size() + 1;
  std::vector<char> text(need + 16, '\x5A');
  std::vector<const char*> words(line.size() + 2);
  const size_t n = cmdline_split(line.c_str(), text.data(), words.data(), words.size());
  for (size_t i = need; i < text.size(); ++i) {
    EXPECT_EQ(text[i], '\x5A') << "wrote past the text area at " << i << " for [" << line << "]";
  }
  EXPECT_LE(n, words.size());
  std::vector<std::string> out;
  for (size_t i = 0; i < n && i < words.size(); ++i) out.emplace_back(words[i]);
  return out;
}

using Words = std::vector<std::string>;

struct Case {
  std::string line;
  Words words;  // the program's name first
};

TEST(CommandLine, SplitsAsTheProgramDoes) {
  const std::string w255(255, 'w');
  const std::string w254(254, 'w');
  const Case cases[] = {
      // Four arguments: a; b c; d e; f"g.
      {"cuecheck a \"b c\" 'd e' f\"g", {"cuecheck", "a", "b c", "d e", "f\"g"}},
      // Two double quotes with nothing between them: an empty argument.
      {"cuecheck \"\"", {"cuecheck", ""}},
      {"cuecheck \"\" 25", {"cuecheck", "", "25"}},
      {"cuecheck '' ''", {"cuecheck", "", ""}},
      // Only the program's name, or nothing at all.
      {"cuecheck", {"cuecheck"}},
      {"", {}},
      {" \t\r ", {}},
      // Blanks, tabs and carriage returns separate, in runs, before and after.
      {"  cuecheck\ta\rb  \t\r c \t", {"cuecheck", "a", "b", "c"}},
      // A line feed is no separator.
      {"cuecheck a\nb", {"cuecheck", "a\nb"}},
      // Quotes inside an unquoted word are ordinary; no escape character.
      {"cuecheck it's a\"b\"c x\\\"y", {"cuecheck", "it's", "a\"b\"c", "x\\\"y"}},
      // The other kind of quote inside a quoted word is ordinary.
      {"cuecheck \"it's\" 'say \"hi\"'", {"cuecheck", "it's", "say \"hi\""}},
      // After a closing quote the next word begins at once.
      {"cuecheck \"a\"b 'c'\"d\" \"e\"''", {"cuecheck", "a", "b", "c", "d", "e", ""}},
      // A quote that is never closed runs to the end, blanks and all.
      {"cuecheck \"a b ", {"cuecheck", "a b "}},
      {"cuecheck 'x", {"cuecheck", "x"}},
      {"cuecheck \"", {"cuecheck", ""}},
      // Quoted separators are kept.
      {"cuecheck \"\ta\r b\"", {"cuecheck", "\ta\r b"}},
      // The program's name is split by the same rules.
      {"\"C:\\Program Files\\cuecheck.exe\" in.srt -",
       {"C:\\Program Files\\cuecheck.exe", "in.srt", "-"}},
      {"'c k' x", {"c k", "x"}},
      // Every word is cut to 254 characters; what follows it is untouched.
      {"cuecheck " + w255 + " next", {"cuecheck", w254, "next"}},
      {"cuecheck \"" + w255 + "\"n", {"cuecheck", w254, "n"}},
      {"cuecheck " + w254, {"cuecheck", w254}},
      {w255 + " a", {w254, "a"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(split(c.line), c.words) << "line [" << c.line << "]";
  }
}

TEST(CommandLine, CountsWordsPastTheStoredOnes) {
  const char line[] = "p a \"b c\" d";
  char text[sizeof line];
  const char* words[2] = {nullptr, nullptr};
  EXPECT_EQ(cmdline_split(line, text, words, 2), 4u);
  EXPECT_STREQ(words[0], "p");
  EXPECT_STREQ(words[1], "a");
  EXPECT_EQ(cmdline_split(line, text, nullptr, 0), 4u);
}

// Random short lines of the characters that matter: the text area stays within its bound,
// and the words, joined, are the line less its separators and enclosing quotes.
TEST(CommandLine, RandomLinesStayWithinTheTextArea) {
  const char alphabet[] = {' ', '\t', '\r', '"', '\'', 'a', 'b', '\n'};
  unsigned state = 12345;
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    state = state * 1103515245u + 12345u;
    const int len = static_cast<int>((state >> 16) % 24);
    for (int i = 0; i < len; ++i) {
      state = state * 1103515245u + 12345u;
      line += alphabet[(state >> 16) % sizeof alphabet];
    }
    const Words got = split(line);
    std::string kept;
    size_t i = 0;
    while (i < line.size()) {
      const char c = line[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '"' || c == '\'') {
        size_t close = line.find(c, i + 1);
        if (close == std::string::npos) close = line.size();
        kept += line.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
          kept += line[i++];
        }
      }
    }
    std::string joined;
    for (const std::string& w : got) joined += w;
    ASSERT_EQ(joined, kept) << "line [" << line << "]";
  }
}

}  // namespace
