// Opening what the walk found, on every system: each call of the open failing makes that
// file unreadable with the system's text; the folder kept open serves the next file.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform.h"
#include "platform_faults.h"
#include "walk_open.h"
#include "walk_tree.h"

using namespace cuelint;

namespace {

class WalkOpenCalls : public WalkTree {};

TEST_F(WalkOpenCalls, EachCallFailing) {
  file("a/x.srt");
  file("a/y.srt");
  file("b/c/z.srt");
  std::vector<Entry> entries;
  expand_path(root(), entries, folders_);
  ASSERT_EQ(entries.size(), 3u);
  struct Case {
    FaultCall call;
    long at;
    std::vector<bool> opened;  // a/x, a/y, b/c/z
  } cases[] = {
      {kCallOpen, 1, {false, true, true}},
      {kCallOpen, 3, {true, true, false}},
      {kCallFileKind, 2, {true, false, true}},
      // The folders from the root down: a (root, a), then b/c (root, b, c); a is opened once
      // for both of its files, or again for the second when it failed for the first.
      {kCallFolderOpen, 2, {false, true, true}},
      {kCallFolderOpen, 4, {true, true, false}},
      {kCallFolderOpen, 5, {true, true, false}},
      {kCallFolderOpen, 6, {true, true, true}},
  };
  for (const Case& c : cases) {
    FolderCache cache;
    std::vector<bool> opened;
    std::vector<std::string> reasons;
    fault_plan(FaultPlan{c.at, c.call, EACCES, false});
    for (const Entry& e : entries) {
      File f;
      std::string reason;
      bool ok = open_entry(e, &folders_, cache, &f, reason);
      if (ok) close_file(f);
      opened.push_back(ok);
      if (!ok) reasons.push_back(reason);
    }
    fault_clear();
    EXPECT_EQ(opened, c.opened) << "call " << c.call << " at " << c.at;
    for (const std::string& r : reasons) EXPECT_EQ(r, error_text(EACCES)) << c.call;
  }
}

}  // namespace
