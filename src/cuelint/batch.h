// Checks a list of files on up to N threads and prints each file's report in list order,
// so that the output and the exit status do not depend on N.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform.h"
#include "report.h"
#include "types.h"
#include "walk.h"

namespace cuelint {

class Writer;

struct BatchConfig {
  Options options;
  bool json = false;
  Writer* writer = nullptr;             // the output format; null: text, or JSON when json
  Severity fail_on = Severity::kError;  // exit 1 on a fault of this severity or higher
  unsigned jobs = 1;
  bool progress = false;  // a progress line on standard error (a terminal)
  // The folders the walk listed, that the entries found in them are opened below.
  const std::vector<WalkFolder>* folders = nullptr;
};

struct BatchResult {
  Totals totals;
  bool unreadable = false;
  // A report that could not be written stops the batch: the error and where.
  int write_error = 0;
  Stream write_failed = Stream::kOut;
  // Memory ran out: the batch stopped at this file.
  bool out_of_memory = false;
  std::string out_of_memory_at;
  unsigned workers = 0;  // threads that could be started; 0: the files were checked in turn
};

BatchResult run_batch(const std::vector<Entry>& entries, const BatchConfig& cfg);

struct FileCounts {
  std::uint64_t faults = 0;
  std::uint64_t errors = 0;
  std::array<std::uint64_t, kCheckCount> by_check{};
};

class FolderCache;

// Checks one file into out (its whole report); false and reason set when it cannot be read.
// cache: the caller's open folder, kept from one file to the next; null: none kept.
bool check_one(const Entry& e, const BatchConfig& cfg, std::string& out, Spill* spill,
               FileCounts& counts, std::string& reason, FolderCache* cache = nullptr);

}  // namespace cuelint
