// cuelint: checks subtitle files and tells a script the outcome by its exit status.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "batch.h"
#include "cli.h"
#include "config.h"
#include "report.h"
#include "walk.h"

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
  cfg.progress = !cl.json && entries.size() > 1 && ::isatty(2);
  BatchResult r = run_batch(entries, cfg);

  std::string summary = cl.json ? json_summary(r.totals) : text_summary(r.totals);
  std::fflush(stdout);
  std::FILE* to = cl.json ? stdout : stderr;
  std::fputs(summary.c_str(), to);
  std::fflush(to);
  if (r.unreadable) return 2;
  bool failed = cfg.fail_on == Severity::kError ? r.totals.errors > 0 : r.totals.faults > 0;
  return failed ? 1 : 0;
}
