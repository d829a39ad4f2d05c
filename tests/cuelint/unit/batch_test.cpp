// The batch when its report cannot be written: it stops at the first failed write and says
// which stream failed, whatever the number of workers.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "batch.h"
#include "platform.h"
#include "platform_faults.h"
#include "writer.h"

using namespace cuelint;
namespace fs = std::filesystem;

namespace {

class BatchWrites : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of each test's own: ctest runs them side by side.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / (std::string("cuelint-batch-") + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    for (int i = 0; i < 12; ++i) {
      std::string name = (root_ / ("f" + std::to_string(i) + ".sub")).u8string();
      std::ofstream(name) << "{0}{1}abc\n";  // one reading-time fault each
      entries_.push_back({name, std::string()});
    }
    entries_.push_back({(root_ / "gone.srt").u8string(), "cannot be read"});
  }
  void TearDown() override {
    fault_clear();
    fs::remove_all(root_);
  }
  fs::path root_;
  std::vector<Entry> entries_;
};

TEST_F(BatchWrites, FirstFailedWriteStopsTheBatch) {
  struct Case {
    unsigned jobs;
    OutputFormat format;
  } cases[] = {{1, OutputFormat::kText},   {4, OutputFormat::kText},  {4, OutputFormat::kJson},
               {64, OutputFormat::kText},  {1, OutputFormat::kSarif}, {4, OutputFormat::kGitlab},
               {4, OutputFormat::kGithub}, {2, OutputFormat::kJson}};
  for (const Case& c : cases) {
    std::unique_ptr<Writer> writer = make_writer(c.format);
    BatchConfig cfg;
    cfg.jobs = c.jobs;
    cfg.json = c.format == OutputFormat::kJson;
    cfg.writer = writer.get();
    // Every write fails, as on a full disk: the first is the last one tried.
    fault_plan(FaultPlan{1, kCallStream, ENOSPC, true});
    BatchResult r = run_batch(entries_, cfg);
    long writes = fault_count();
    fault_clear();
    EXPECT_EQ(r.write_error, ENOSPC) << c.jobs;
    EXPECT_EQ(r.write_failed, Stream::kOut) << c.jobs;
    EXPECT_EQ(writes, 1) << c.jobs;
    EXPECT_LT(r.totals.files, entries_.size()) << c.jobs;
  }
}

TEST_F(BatchWrites, UnreadableLineOnStandardErrorFailing) {
  BatchConfig cfg;
  std::vector<Entry> one = {entries_.back()};
  fault_plan(FaultPlan{1, kCallStream, EIO, false});
  BatchResult r = run_batch(one, cfg);
  fault_clear();
  EXPECT_TRUE(r.unreadable);
  EXPECT_EQ(r.write_error, EIO);
  EXPECT_EQ(r.write_failed, Stream::kErr);
}

// Opening, reading or seeking a file failing: the file is unreadable, with the system's text.
// Standard input as a file fails the same way, before a byte of it is read.
TEST_F(BatchWrites, FileCallsFailing) {
  BatchConfig cfg;
  Entry stdin_entry{"-", std::string(), true};
  struct Case {
    FaultCall call;
    const Entry* entry;
  } cases[] = {{kCallOpen, &entries_[0]},
               {kCallRead, &entries_[0]},
               {kCallSeek, &entries_[0]},
               {kCallOpen, &stdin_entry},
               {kCallRead, &stdin_entry}};
  for (const Case& c : cases) {
    std::string out, reason;
    FileCounts counts;
    fault_plan(FaultPlan{1, c.call, EACCES, false});
    bool read = check_one(*c.entry, cfg, out, nullptr, counts, reason);
    long calls = fault_count();
    fault_clear();
    EXPECT_FALSE(read) << c.call << " " << c.entry->name;
    EXPECT_EQ(reason, error_text(EACCES)) << c.call << " " << c.entry->name;
    EXPECT_GE(calls, 1) << c.call << " " << c.entry->name;
  }
}

}  // namespace
