// What the walk found, opened later: whatever was swapped in for it meanwhile is not waited
// on, followed or read unless it is still a regular file where the walk saw one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "batch.h"
#include "walk_open.h"
#include "walk_tree.h"

using namespace cuelint;

namespace {

class WalkOpen : public WalkTree {
 public:
  std::string at(const std::string& rel) const { return root() + "/" + rel; }
  // Walks the root, then changes the tree, then opens every entry; " !" marks one that
  // cannot be opened, with its reason.
  std::vector<std::string> open_after(void (*change)(WalkOpen&)) {
    std::vector<Entry> entries;
    folders_.clear();
    expand_path(root(), entries, folders_);
    change(*this);
    std::vector<std::string> out;
    FolderCache cache;
    for (const Entry& e : entries) {
      File f;
      std::string reason;
      bool ok = e.reason.empty() && open_entry(e, &folders_, cache, &f, reason);
      if (ok) close_file(f);
      out.push_back(e.name.substr(root().size()) + (ok ? "" : " ! " + reason));
    }
    return out;
  }
};

TEST_F(WalkOpen, SwappedAfterTheWalk) {
  file("a/keep.srt");
  file("a/pipe.srt");
  file("a/zero.srt");
  file("b/in.srt");
  file("other/in.srt");
  file("real.srt");
  ASSERT_EQ(::symlink(at("real.srt").c_str(), at("a/link.srt").c_str()), 0);
  auto change = [](WalkOpen& t) {
    ::unlink(t.at("a/pipe.srt").c_str());
    ::mkfifo(t.at("a/pipe.srt").c_str(), 0644);  // no writer: an open that waits never ends
    ::unlink(t.at("a/zero.srt").c_str());
    ::symlink("/dev/zero", t.at("a/zero.srt").c_str());  // endless, never followed
    std::string cmd = "rm -rf '" + t.at("b") + "'";
    if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
    ::symlink(t.at("other").c_str(), t.at("b").c_str());  // a folder swapped for a link
  };
  EXPECT_EQ(open_after(change),
            (std::vector<std::string>{
                "/a/keep.srt", "/a/link.srt", "/a/pipe.srt ! not a regular file",
                "/a/zero.srt ! " + error_text(ELOOP), "/b/in.srt ! " + error_text(ENOTDIR),
                "/other/in.srt", "/real.srt"}));
}

// Listed and opened below each folder's handle: a path longer than PATH_MAX is no obstacle.
TEST_F(WalkOpen, DepthPastPathMax) {
  const std::string part(200, 'd');
  int fd = ::open(root().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_NE(fd, -1);
  std::string want;
  for (std::size_t i = 0; i < PATH_MAX / part.size() + 2; ++i) {
    want += "/" + part;
    ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
    int sub = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    ASSERT_NE(sub, -1);
    fd = sub;
  }
  int f = ::openat(fd, "deep.srt", O_WRONLY | O_CREAT, 0644);
  ASSERT_NE(f, -1);
  ::close(f);
  ::close(fd);
  std::vector<std::string> got = open_after([](WalkOpen&) {});
  std::string cmd = "rm -rf '" + at(part) + "'";  // too deep for a path-based removal
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].size(), want.size() + 9) << got[0].substr(want.size());
  EXPECT_EQ(got[0], want + "/deep.srt");
}

// A file's check after its file became a FIFO or a link to an endless device: unreadable
// at once.
TEST_F(WalkOpen, CheckOfFileSwappedForFifo) {
  file("a/x.srt");
  file("a/y.srt");
  std::vector<Entry> entries;
  expand_path(root(), entries, folders_);
  ASSERT_EQ(::unlink(at("a/x.srt").c_str()), 0);
  ASSERT_EQ(::mkfifo(at("a/x.srt").c_str(), 0644), 0);
  ASSERT_EQ(::unlink(at("a/y.srt").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", at("a/y.srt").c_str()), 0);
  BatchConfig cfg;
  cfg.folders = &folders_;
  std::string out, reason;
  FileCounts counts;
  EXPECT_FALSE(check_one(entries[0], cfg, out, nullptr, counts, reason));
  EXPECT_EQ(reason, "not a regular file");
  EXPECT_FALSE(check_one(entries[1], cfg, out, nullptr, counts, reason));
  EXPECT_EQ(reason, error_text(ELOOP));
  EXPECT_EQ(out, "");
}

}  // namespace
