// A scratch folder per test for the walk's tests, and what the walk finds in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform_faults.h"
#include "walk.h"

namespace cuelint {

class WalkTree : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of each test's own: ctest runs them side by side.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            std::filesystem::u8path(std::string("cuelint-walk-") + info->test_suite_name() + "-" +
                                    info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  void TearDown() override {
    fault_clear();
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
  }
  void file(const std::string& rel) {
    std::filesystem::path p = root_ / std::filesystem::u8path(rel);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "x";
  }
  std::string root() const { return root_.u8string(); }
  // The names found below the root, the root taken off; " !" marks one that cannot be read.
  std::vector<std::string> names(const std::string& path) {
    std::vector<Entry> e;
    folders_.clear();
    expand_path(path, e, folders_);
    std::vector<std::string> out;
    for (const Entry& x : e)
      out.push_back(x.name.substr(root().size()) + (x.reason.empty() ? "" : " !"));
    return out;
  }
  std::filesystem::path root_;
  std::vector<WalkFolder> folders_;
};

}  // namespace cuelint
