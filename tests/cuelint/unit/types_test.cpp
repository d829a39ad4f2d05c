#include <gtest/gtest.h>

#include "types.h"

using namespace cuelint;

namespace {

TEST(FormatInfo, TakesNamesEndingAsItsFilesInAnyCase) {
  struct Case {
    const char* ending;
    const char* name;
    bool taken;
  } cases[] = {
      {".xyz", "a.xyz", true},  {".xyz", "A.XYZ", true},     {".xyz", "a.XyZ", true},
      {".xyz", ".xyz", true},   {".xyz", "xyz", false},      {".xyz", "a.xyz~", false},
      {".xyz", "a_xyz", false}, {".xyz", "a.x\xDAz", false}, {".a1", "B.A1", true},
      {".a1", "b.a!", false},   {".srt", "", false},         {".srt", "dir.srt/x", false},
  };
  for (const Case& c : cases) {
    FormatInfo f;
    f.ending = c.ending;
    EXPECT_EQ(f.takes_name(c.name), c.taken) << c.ending << " " << c.name;
  }
}

}  // namespace
