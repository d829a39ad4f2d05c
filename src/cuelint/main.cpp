// cuelint: checks subtitle files and tells a script the outcome by its exit status.
#include <string>
#include <thread>
#include <vector>

#include "batch.h"
#include "cli.h"
#include "platform.h"
#include "report.h"
#include "walk.h"

namespace {

using namespace cuelint;

// A report that cannot be written is a failure: said on standard error where it can be,
// and quietly when the reader has gone (a pipe into "head").
int write_failed(Stream s, int err) {
  if (!is_broken_pipe(err) && s == Stream::kOut) {
    std::string msg = "cuelint: standard output: " + error_text(err) + "\n";
    write_stream(Stream::kErr, msg.data(), msg.size());
  }
  return 2;
}

int put(Stream s, const std::string& text, int status) {
  int err = write_stream(s, text.data(), text.size());
  return err ? write_failed(s, err) : status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = start(argc, argv);
  std::vector<const char*> arg_ptrs;
  for (const std::string& a : args) arg_ptrs.push_back(a.c_str());
  CommandLine cl = parse_command_line(static_cast<int>(arg_ptrs.size()), arg_ptrs.data());
  switch (cl.action) {
    case CommandLine::kHelp:
      return put(Stream::kOut, usage_text(), 0);
    case CommandLine::kVersion:
      return put(Stream::kOut, version_text(), 0);
    case CommandLine::kWrong:
      return put(Stream::kErr, "cuelint: " + cl.error + "\n" + usage_text(), 2);
    case CommandLine::kRun:
      break;
  }

  std::vector<Entry> entries;
  for (const std::string& p : cl.paths) expand_path(p, entries);

  BatchConfig cfg;
  cfg.options = cl.options;
  cfg.json = cl.json;
  cfg.jobs = cl.jobs ? cl.jobs : std::thread::hardware_concurrency();
  if (cfg.jobs == 0) cfg.jobs = 1;
  // Threads beyond these give nothing: the checks are bound by processors and disks.
  if (cfg.jobs > 256) cfg.jobs = 256;
  // In JSON mode standard error is for unreadable paths only.
  cfg.progress = !cl.json && entries.size() > 1 && is_terminal(Stream::kErr);
  BatchResult r = run_batch(entries, cfg);
  if (r.write_error) return write_failed(r.write_failed, r.write_error);

  int status = r.unreadable ? 2 : r.totals.faults ? 1 : 0;
  if (cl.json) return put(Stream::kOut, json_summary(r.totals), status);
  return put(Stream::kErr, text_summary(r.totals), status);
}
