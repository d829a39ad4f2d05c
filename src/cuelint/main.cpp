// cuelint: checks subtitle files and tells a script the outcome by its exit status.
#include <string>
#include <thread>
#include <vector>

#include "batch.h"
#include "cli.h"
#include "config.h"
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
  if (!config_path.empty() && !read_config(config_path, config, error)) {
    return put(Stream::kErr, "cuelint: " + error + "\n", 2);
  }
  Settled settled;
  if (const char* bad = settle(config, cl, settled)) {
    return put(Stream::kErr, "cuelint: " + config_path + ": " + bad + "\n", 2);
  }
  const Options& options = settled.options;
  Severity fail_on = settled.fail_on;
  if (cl.action == CommandLine::kShowSettings) {
    return put(Stream::kOut, settings_toml(options, settled.profile, fail_on), 0);
  }

  std::vector<Entry> entries;
  for (const std::string& p : cl.paths) expand_path(p, entries);

  BatchConfig cfg;
  cfg.options = options;
  cfg.fail_on = fail_on;
  cfg.json = cl.json;
  cfg.jobs = cl.jobs ? cl.jobs : std::thread::hardware_concurrency();
  if (cfg.jobs == 0) cfg.jobs = 1;
  // Threads beyond these give nothing: the checks are bound by processors and disks.
  if (cfg.jobs > 256) cfg.jobs = 256;
  // In JSON mode standard error is for unreadable paths only.
  cfg.progress = !cl.json && entries.size() > 1 && is_terminal(Stream::kErr);
  BatchResult r = run_batch(entries, cfg);
  if (r.write_error) return write_failed(r.write_failed, r.write_error);

  bool failed = cfg.fail_on == Severity::kError ? r.totals.errors > 0 : r.totals.faults > 0;
  int status = r.unreadable ? 2 : failed ? 1 : 0;
  if (cl.json) return put(Stream::kOut, json_summary(r.totals), status);
  return put(Stream::kErr, text_summary(r.totals), status);
}
