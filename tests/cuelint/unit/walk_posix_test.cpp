#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "walk.h"

using namespace cuelint;

namespace {

class Walk : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/cuelint-walk-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + root_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  void file(const std::string& rel) { std::ofstream(root_ + "/" + rel) << "x"; }
  void dir(const std::string& rel) { ASSERT_EQ(::mkdir((root_ + "/" + rel).c_str(), 0755), 0); }
  void link(const std::string& target, const std::string& rel) {
    ASSERT_EQ(::symlink(target.c_str(), (root_ + "/" + rel).c_str()), 0);
  }
  std::vector<std::string> names(const std::string& path) {
    std::vector<Entry> e;
    expand_path(path, e);
    std::vector<std::string> out;
    for (const Entry& x : e)
      out.push_back(x.name.substr(root_.size()) + (x.reason.empty() ? "" : " !"));
    return out;
  }
  std::string root_;
};

TEST_F(Walk, ByteOrderOfWholeNames) {
  dir("a");
  dir("a/b");
  file("a/b-x.srt");
  file("a/b.srt");
  file("a/b/c.srt");
  file("a/B.SUB");
  file("a/notes.txt");
  file("a/.hidden.srt");
  file("a/srt");
  EXPECT_EQ(names(root_), (std::vector<std::string>{"/a/.hidden.srt", "/a/B.SUB", "/a/b-x.srt",
                                                    "/a/b.srt", "/a/b/c.srt"}));
}

TEST_F(Walk, TrailingSlashIsNotDoubled) {
  file("x.srt");
  EXPECT_EQ(names(root_ + "/"), (std::vector<std::string>{"/x.srt"}));
}

TEST_F(Walk, LinksAndOtherKinds) {
  dir("d");
  dir("other");
  file("other/inside.srt");
  file("real.sub");
  link(root_ + "/real.sub", "d/link.srt");
  link(root_ + "/other", "d/folderlink");      // not followed
  link(root_ + "/other", "d/folderlink.srt");  // a fitting name, not a regular file
  link(root_ + "/missing", "d/dangling.srt");
  link(root_ + "/missing", "d/dangling.txt");  // not a fitting name: passed over
  ASSERT_EQ(::mkfifo((root_ + "/d/pipe.sub").c_str(), 0644), 0);
  EXPECT_EQ(names(root_ + "/d"),
            (std::vector<std::string>{"/d/dangling.srt !", "/d/folderlink.srt !", "/d/link.srt",
                                      "/d/pipe.sub !"}));
}

TEST_F(Walk, GivenPathIsTakenWhateverItsName) {
  file("notes.txt");
  dir("real");
  file("real/a.srt");
  link(root_ + "/real", "folderlink");
  EXPECT_EQ(names(root_ + "/notes.txt"), (std::vector<std::string>{"/notes.txt"}));
  EXPECT_EQ(names(root_ + "/folderlink"), (std::vector<std::string>{"/folderlink/a.srt"}));
  EXPECT_EQ(names(root_ + "/nothing"), (std::vector<std::string>{"/nothing !"}));
}

}  // namespace
