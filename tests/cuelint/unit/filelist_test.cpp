#include "filelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cuelint;

namespace {

TEST(Filelist, Split) {
  using V = std::vector<std::string>;
  struct Case {
    std::string data;
    bool nul;
    V want;
  } cases[] = {
      {"a.srt\nb.srt\n", false, {"a.srt", "b.srt"}},
      {"a.srt\r\nb c.srt\r\n", false, {"a.srt", "b c.srt"}},
      {"a.srt\n\n\r\nlast", false, {"a.srt", "last"}},
      {"a\rb.srt\n", false, {"a\rb.srt"}},  // only a CR before the LF goes
      {"", false, {}},
      {std::string("a\nb.srt\0c.srt\0\0", 15), true, {"a\nb.srt", "c.srt"}},
      {std::string("x\r\0", 3), true, {"x\r"}},
      {std::string("\0", 1), true, {}},
  };
  for (const Case& c : cases) {
    V got{"kept"};
    split_file_list(c.data, c.nul, got);
    V want{"kept"};
    want.insert(want.end(), c.want.begin(), c.want.end());
    EXPECT_EQ(got, want) << c.data;
  }
}

}  // namespace
