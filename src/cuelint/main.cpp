// cuelint: checks subtitle files and tells a script the outcome by its exit status.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "batch.h"
#include "cli.h"
#include "config.h"
#include "filelist.h"
#include "report.h"
#include "walk.h"
#include "writer.h"

int main(int argc, char** argv) {
  using namespace cuelint;
  CommandLine cl = parse_command_line(argc, argv);
  switch (cl.action) {
    case CommandLine::kHelp:
      std::fputs(usage_text(), stdout);
      return 0;
    case CommandLine::kVersion:
      std::fputs(version_text(), stdout);
      return 0;
    case CommandLine::kWrong:
      std::fprintf(stderr, "cuelint: %s\n", cl.error.c_str());
      std::fputs(usage_text(), stderr);
      return 2;
    case CommandLine::kListRules:
      std::fputs(rules_listing().c_str(), stdout);
      return 0;
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
    std::fprintf(stderr, "cuelint: %s\n", error.c_str());
    return 2;
  }
  Settled settled;
  if (const char* bad = settle(config, cl, settled)) {
    std::fprintf(stderr, "cuelint: %s: %s\n", config_path.c_str(), bad);
    return 2;
  }
  const Options& options = settled.options;
  Severity fail_on = settled.fail_on;
  if (cl.action == CommandLine::kShowSettings) {
    std::string s = settings_toml(options, settled.profile, fail_on);
    std::fputs(s.c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
  }

  std::vector<std::string> paths = std::move(cl.paths);
  if (cl.has_files_from) {
    std::string reason;
    if (!read_file_list(cl.files_from, cl.null_separated, paths, reason)) {
      std::fprintf(stderr, "cuelint: %s: %s\n", cl.files_from.c_str(), reason.c_str());
      return 2;
    }
    if (const char* bad = stdin_misuse(paths, cl.files_from == "-")) {
      std::fprintf(stderr, "cuelint: %s\n", bad);
      std::fputs(usage_text(), stderr);
      return 2;
    }
  }
  std::vector<Entry> entries;
  bool empty_folder = false;
  for (const std::string& p : paths) {
    if (p == "-") {
      entries.push_back({cl.has_stdin_filename ? cl.stdin_filename : p, std::string(), true});
      continue;
    }
    std::size_t before = entries.size();
    expand_path(p, entries);
    // Only a folder adds nothing: a walk that found no file to check.
    if (entries.size() == before) {
      std::fprintf(stderr, "cuelint: %s: no subtitle files found\n", p.c_str());
      empty_folder = true;
    }
  }
  std::fflush(stderr);

  std::unique_ptr<Writer> writer = make_writer(cl.format);
  BatchConfig cfg;
  cfg.options = options;
  cfg.fail_on = fail_on;
  cfg.json = cl.json;
  cfg.writer = writer.get();
  cfg.jobs = cl.jobs ? cl.jobs : std::thread::hardware_concurrency();
  if (cfg.jobs == 0) cfg.jobs = 1;
  // Threads beyond these give nothing: the checks are bound by processors and disks.
  if (cfg.jobs > 256) cfg.jobs = 256;
  // In JSON mode standard error is for unreadable paths only.
  bool on_stderr = writer->summary_on_stderr();
  cfg.progress = on_stderr && !cl.quiet && entries.size() > 1 && ::isatty(2);
  BatchResult r = run_batch(entries, cfg);

  if (on_stderr) {
    std::string s = cl.quiet ? std::string() : text_summary(r.totals);
    if (cl.statistics) s += statistics_text(r.totals);
    std::fputs(s.c_str(), stderr);
    std::fflush(stderr);
  }
  if (r.unreadable || empty_folder) return 2;
  bool failed = cfg.fail_on == Severity::kError ? r.totals.errors > 0 : r.totals.faults > 0;
  return failed && !cl.exit_zero ? 1 : 0;
}
