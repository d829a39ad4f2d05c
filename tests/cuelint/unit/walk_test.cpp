// The walk on every system: its order, its joining of names, and its system calls failing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform.h"
#include "platform_faults.h"
#include "walk.h"
#include "walk_tree.h"

using namespace cuelint;

namespace {

// The system's way of writing a path below the walk's root.
std::string native(std::string rel) {
  std::replace(rel.begin(), rel.end(), '/', path_separator());
  return rel;
}

TEST(WalkOrder, BytesOfNamesWrittenWithSlash) {
  struct Case {
    std::string a, b;
    bool less;
  } cases[] = {
      {"a/b-x.srt", "a/b.srt", true},        // '-' before '.'
      {"a/b.srt", "a/b/c.srt", true},        // '.' before '/'
      {"a/b/c.srt", "a/b0.srt", true},       // '/' before '0', whatever the separator's byte
      {"a/B.srt", "a/b.srt", true},          // capitals first
      {"a/\xC3\xA9.srt", "a/z.srt", false},  // bytes from 0x80 after ASCII
      {"a/b", "a/b", false},
      {"a/b", "a/b/c", true},
  };
  for (const Case& c : cases) {
    std::string a = native(c.a), b = native(c.b);
    EXPECT_EQ(walk_order(a, b), c.less) << c.a << " < " << c.b;
    if (c.less) {
      EXPECT_FALSE(walk_order(b, a)) << c.b << " < " << c.a;
    }
  }
}

TEST(WalkJoin, OneSeparatorBetweenFolderAndName) {
  const std::string sep(1, path_separator());
  EXPECT_EQ(join_path("d", "x.srt"), "d" + sep + "x.srt");
  EXPECT_EQ(join_path("d/", "x.srt"), "d/x.srt");  // a folder given with "/" keeps it
  EXPECT_EQ(join_path("d" + sep, "x.srt"), "d" + sep + "x.srt");
  EXPECT_EQ(join_path("", "x.srt"), sep + "x.srt");
}

TEST_F(WalkTree, OrderAndNamesInAnyScript) {
  file("a/b-x.srt");
  file("a/b.srt");
  file("a/b/c.srt");
  file("a/B.SUB");
  file("a/notes.txt");
  file("a/.hidden.srt");
  file("a/srt");
  file("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0/\xD1\x84\xD0\xB8\xD0\xBB\xD1\x8C\xD0\xBC.srt");
  file("\xE5\xAD\x97\xE5\xB9\x95/\xE7\xAC\xAC\xE4\xB8\x80.sub");
  file("\xF0\x9F\x8E\xAC/\xF0\x9F\x8E\xAC.srt");
  std::vector<std::string> want = {
      "/a/.hidden.srt",
      "/a/B.SUB",
      "/a/b-x.srt",
      "/a/b.srt",
      "/a/b/c.srt",
      "/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0/\xD1\x84\xD0\xB8\xD0\xBB\xD1\x8C\xD0\xBC.srt",
      "/\xE5\xAD\x97\xE5\xB9\x95/\xE7\xAC\xAC\xE4\xB8\x80.sub",
      "/\xF0\x9F\x8E\xAC/\xF0\x9F\x8E\xAC.srt",
  };
  for (std::string& w : want) w = native(w);
  EXPECT_EQ(names(root()), want);
  // A folder given with a trailing "/" keeps it and is joined without a second separator.
  for (std::string& w : want) w[0] = '/';
  EXPECT_EQ(names(root() + "/"), want);
}

TEST_F(WalkTree, GivenPathIsTakenWhateverItsName) {
  file("notes.txt");
  EXPECT_EQ(names(root() + "/notes.txt"), (std::vector<std::string>{"/notes.txt"}));
  EXPECT_EQ(names(root() + "/nothing"), (std::vector<std::string>{"/nothing !"}));
}

// Each call of the walk failing: the path it was for is unreadable, the rest goes on.
TEST_F(WalkTree, SystemCallsFailing) {
  file("a/x.srt");
  file("y.srt");
  struct Case {
    FaultCall call;
    long at;
    std::vector<std::string> want;
  } cases[] = {
      {kCallKind, 1, {" !"}},                                    // the given path
      {kCallFolderOpen, 1, {" !"}},                              // the root
      {kCallFolderOpen, 2, {native("/a !"), native("/y.srt")}},  // the folder below
      {kCallFolderNext, 1, {" !"}},                              // the root's listing
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    fault_plan(FaultPlan{c.at, c.call, 13, false});
    got = names(root());
    fault_clear();
    EXPECT_EQ(got, c.want) << "call " << c.call << " at " << c.at;
  }
}

}  // namespace
