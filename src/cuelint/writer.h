// The output formats. A worker turns each fault of its file into one line (a record) with
// fault() and checked(); the printer, which sees the files in list order, passes those lines
// through print() and adds what belongs to the run as a whole (unreadable paths, the end).
// A writer keeps no more than a few counters, so a run over any number of files is streamed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "lint.h"
#include "report.h"
#include "types.h"

namespace cuelint {

enum class OutputFormat : std::uint8_t { kText, kJson, kGithub, kSarif, kGitlab };

// False when the name is none of text, json, github, sarif, gitlab.
bool find_output_format(std::string_view name, OutputFormat& out);

struct FileRecord {
  const std::string& file;
  const FileOutcome& outcome;
  std::uint64_t errors = 0;
};

class Writer {
 public:
  virtual ~Writer() = default;
  // Worker side: one line per fault, and one once the file is checked (none by default).
  // fault() gets the name as fault_name() gave it, once for the file, not per fault.
  virtual std::string fault_name(const std::string& file) const { return file; }
  virtual void fault(std::string& out, const std::string& name, const Fault& f) const = 0;
  virtual void checked(std::string& /*out*/, const FileRecord& /*r*/) const {}
  // Printer side, in list order: what reaches standard output of a file's lines.
  virtual std::string_view print(std::string& lines) { return lines; }
  virtual std::string begin() { return std::string(); }
  virtual std::string unreadable(const std::string& /*path*/, const std::string& /*reason*/) {
    return std::string();
  }
  virtual std::string end(const Totals& /*t*/) { return std::string(); }
  // The summary line and --statistics on standard error belong to the formats that leave
  // standard output to the faults alone.
  virtual bool summary_on_stderr() const { return true; }
};

std::unique_ptr<Writer> make_writer(OutputFormat f);

// Calls take(line) for each line of lines, without its "\n": how the JSON array formats
// join a file's records into the array.
template <class Take>
void each_line(std::string_view lines, Take take) {
  std::size_t at = 0;
  while (at < lines.size()) {
    std::size_t nl = lines.find('\n', at);
    if (nl == std::string_view::npos) nl = lines.size();
    take(lines.substr(at, nl - at));
    at = nl + 1;
  }
}

// "23.976", "25": the exact decimal without trailing zeros.
std::string rate_text(const Rate& r);

}  // namespace cuelint
