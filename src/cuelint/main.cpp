// cuelint: checks subtitle files and tells a script the outcome by its exit status.
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "batch.h"
#include "cli.h"
#include "config.h"
#include "filelist.h"
#include "platform.h"
#include "report.h"
#include "report_names.h"
#include "walk.h"
#include "writer.h"

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

// Memory ran out: the run ends there, naming the file it was on (none at the run's end).
int out_of_memory(const std::string& file) {
  static const char kHead[] = "cuelint: ";
  static const char kTail[] = "out of memory\n";
  std::string name;
  try {
    if (!file.empty()) name = printable_name(file) + ": ";
  } catch (const std::bad_alloc&) {
    name.clear();
  }
  int err = write_stream(Stream::kErr, kHead, sizeof kHead - 1);
  if (!err) err = write_stream(Stream::kErr, name.data(), name.size());
  if (!err) err = write_stream(Stream::kErr, kTail, sizeof kTail - 1);
  return err ? write_failed(Stream::kErr, err) : 2;
}

int put(Stream s, const std::string& text, int status) {
  int err = write_stream(s, text.data(), text.size());
  return err ? write_failed(s, err) : status;
}

int run(int argc, char** argv) {
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
    case CommandLine::kListRules:
      return put(Stream::kOut, rules_listing(), 0);
    case CommandLine::kRun:
    case CommandLine::kShowSettings:
      break;
  }

  // Settings, each step over the last: the profile, the config file, the command line.
  Config config;
  std::string config_path = cl.config;
  if (config_path.empty() && !cl.isolated) config_path = find_config(".");
  std::string error;
  if (!config_path.empty() && !read_config(config_path, config, error))
    return put(Stream::kErr, "cuelint: " + error + "\n", 2);
  Settled settled;
  if (const char* bad = settle(config, cl, settled))
    return put(Stream::kErr, "cuelint: " + printable_name(config_path) + ": " + bad + "\n", 2);
  const Options& options = settled.options;
  Severity fail_on = settled.fail_on;
  if (cl.action == CommandLine::kShowSettings)
    return put(Stream::kOut, settings_toml(options, settled.profile, fail_on), 0);

  std::vector<std::string> paths = std::move(cl.paths);
  if (cl.has_files_from) {
    std::string reason;
    if (!read_file_list(cl.files_from, cl.null_separated, paths, reason))
      return put(Stream::kErr, "cuelint: " + printable_name(cl.files_from) + ": " + reason + "\n",
                 2);
    if (const char* bad = stdin_misuse(paths, cl.files_from == "-"))
      return put(Stream::kErr, std::string("cuelint: ") + bad + "\n" + usage_text(), 2);
  }
  std::vector<Entry> entries;
  std::vector<WalkFolder> folders;
  bool empty_folder = false;
  for (const std::string& p : paths) {
    if (p == "-") {
      entries.push_back({cl.has_stdin_filename ? cl.stdin_filename : p, std::string(), true});
      continue;
    }
    std::size_t before = entries.size();
    try {
      expand_path(p, entries, folders);
    } catch (const std::bad_alloc&) {
      return out_of_memory(p);
    }
    // Only a folder adds nothing: a walk that found no file to check.
    if (entries.size() == before) {
      std::string msg = "cuelint: " + printable_name(p) + ": no subtitle files found\n";
      if (int err = write_stream(Stream::kErr, msg.data(), msg.size()))
        return write_failed(Stream::kErr, err);
      empty_folder = true;
    }
  }

  std::unique_ptr<Writer> writer = make_writer(cl.format);
  BatchConfig cfg;
  cfg.options = options;
  cfg.fail_on = fail_on;
  cfg.json = cl.json;
  cfg.writer = writer.get();
  cfg.folders = &folders;
  cfg.jobs = cl.jobs ? cl.jobs : std::thread::hardware_concurrency();
  if (cfg.jobs == 0) cfg.jobs = 1;
  // Threads beyond these give nothing: the checks are bound by processors and disks.
  if (cfg.jobs > 256) cfg.jobs = 256;
  // In JSON, SARIF and GitLab mode standard error is for unreadable paths only.
  bool on_stderr = writer->summary_on_stderr();
  cfg.progress = on_stderr && !cl.quiet && entries.size() > 1 && is_terminal(Stream::kErr);
  BatchResult r = run_batch(entries, cfg);
  if (r.write_error) return write_failed(r.write_failed, r.write_error);
  if (r.out_of_memory) return out_of_memory(r.out_of_memory_at);

  int status = 0;
  if (r.unreadable || empty_folder) {
    status = 2;
  } else {
    bool failed = cfg.fail_on == Severity::kError ? r.totals.errors > 0 : r.totals.faults > 0;
    status = failed && !cl.exit_zero ? 1 : 0;
  }
  if (!on_stderr) return status;
  std::string s = cl.quiet ? std::string() : text_summary(r.totals);
  if (cl.statistics) s += statistics_text(r.totals);
  return put(Stream::kErr, s, status);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    return out_of_memory(std::string());  // before or after the files: none to name
  }
}
