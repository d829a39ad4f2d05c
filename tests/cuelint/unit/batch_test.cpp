// The batch when its report cannot be written: it stops at the first failed write and says
// which stream failed, whatever the number of workers.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
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

// Takes the report lines on the printer's side instead of standard output; a fault line or
// a printed chunk of the file named can be made to run out of memory.
class Capture : public Writer {
 public:
  std::string got, fail_fault, fail_print;
  void fault(std::string& out, const std::string& file, const Fault& f) const override {
    if (file == fail_fault) throw std::bad_alloc();
    out += file + ":" + std::to_string(f.line) + "\n";
  }
  std::string_view print(std::string& lines) override {
    if (!fail_print.empty() && lines.find(fail_print) != std::string::npos) throw std::bad_alloc();
    got += lines;
    return std::string_view();
  }
};

// Threads the system will not start lower -j, down to none (the printer checks each file
// itself): the report is the same.
TEST_F(BatchWrites, ThreadsThatCannotStart) {
  entries_.pop_back();  // readable files only: nothing on standard error
  Capture want_writer;
  BatchConfig cfg;
  cfg.jobs = 4;
  cfg.writer = &want_writer;
  BatchResult want = run_batch(entries_, cfg);
  ASSERT_EQ(want.workers, 4u);
  ASSERT_EQ(want.totals.faults, 12u);
  struct Case {
    long fail_at;
    bool after;
    unsigned workers;
  } cases[] = {{1, true, 0}, {2, true, 1}, {4, false, 3}, {4, true, 3}};
  for (const Case& c : cases) {
    Capture w;
    cfg.writer = &w;
    fault_plan(FaultPlan{c.fail_at, kCallThread, EAGAIN, c.after});
    BatchResult r = run_batch(entries_, cfg);
    fault_clear();
    EXPECT_EQ(r.workers, c.workers) << c.fail_at;
    EXPECT_EQ(w.got, want_writer.got) << c.fail_at;
    EXPECT_EQ(r.totals.files, 12u) << c.fail_at;
    EXPECT_EQ(r.totals.faults, 12u) << c.fail_at;
    EXPECT_FALSE(r.out_of_memory) << c.fail_at;
  }
}

// A single file is checked by the printer itself, whatever -j says: the same report.
TEST_F(BatchWrites, OneFileWithoutWorkers) {
  for (std::size_t i = 0; i < 3; ++i) {
    const std::vector<Entry> one = {entries_[i]};
    for (unsigned jobs : {1u, 4u}) {
      Capture w;
      BatchConfig cfg;
      cfg.jobs = jobs;
      cfg.writer = &w;
      BatchResult r = run_batch(one, cfg);
      EXPECT_EQ(r.workers, 0u) << i << " " << jobs;
      EXPECT_EQ(r.totals.files, 1u) << i << " " << jobs;
      EXPECT_EQ(w.got, entries_[i].name + ":1\n") << i << " " << jobs;
    }
  }
}

// Memory running out in a worker's check or in the printer ends the batch naming the file,
// with as many workers as not (0: none could be started).
TEST_F(BatchWrites, OutOfMemoryNamesTheFile) {
  entries_.pop_back();
  const std::string f3 = entries_[3].name, f7 = entries_[7].name;
  struct Case {
    const char* label;
    unsigned jobs;
    bool no_threads;
    std::string fail_fault, fail_print, at;
  } cases[] = {
      {"worker, one", 1, false, f7, "", f7},   {"worker, four", 4, false, f3, "", f3},
      {"in turn", 1, true, f7, "", f7},        {"printer, one", 1, false, "", f3, f3},
      {"printer, four", 4, false, "", f7, f7}, {"printer in turn", 2, true, "", f3, f3},
  };
  for (const Case& c : cases) {
    Capture w;
    w.fail_fault = c.fail_fault;
    w.fail_print = c.fail_print;
    BatchConfig cfg;
    cfg.jobs = c.jobs;
    cfg.writer = &w;
    if (c.no_threads) fault_plan(FaultPlan{1, kCallThread, EAGAIN, true});
    BatchResult r = run_batch(entries_, cfg);
    fault_clear();
    EXPECT_TRUE(r.out_of_memory) << c.label;
    EXPECT_EQ(r.out_of_memory_at, c.at) << c.label;
    // The files before it were reported, none after it.
    EXPECT_LT(r.totals.files, 8u) << c.label;
    EXPECT_EQ(w.got.find(entries_[8].name), std::string::npos) << c.label;
    EXPECT_NE(w.got.find(entries_[0].name + ":1\n"), std::string::npos) << c.label;
  }
}

}  // namespace
