#include "cli.h"

#include <CLI/CLI.hpp>
#include <cstring>

#include "legacy.h"
#include "text.h"
#include "version.h"

namespace cuelint {

const char* usage_text() {
  return "Usage: cuelint [OPTIONS] PATH...\n"
         "\n"
         "Checks MicroDVD, SBV, SubRip, Subviewer 2.0 and WebVTT subtitle files for faults\n"
         "of timing and form. A PATH that is a folder is searched, recursively, for files\n"
         "whose names end in .sbv, .srt, .sub or .vtt.\n"
         "\n"
         "Options:\n"
         "  --fps RATE          frame rate of MicroDVD files, such as 25 or 23.976\n"
         "                      (default: the file's own frame-rate line, else 25)\n"
         "  --cps N             characters per second of the reading-time rule, 0 to 1000\n"
         "                      (default 20; 0 turns the rule off)\n"
         "  --encoding NAME     encoding of the files that have no byte-order mark and are\n"
         "                      not UTF-8, such as windows-1252 or shift_jis (default:\n"
         "                      detected)\n"
         "  --format text|json  text lines (default), or JSON Lines\n"
         "  -j N                check up to N files at once (default: the number of\n"
         "                      processors)\n"
         "  -h, --help          show this text and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "Exit status: 0 when no file has a fault, 1 when one has, 2 when a path cannot be\n"
         "read or the command line is wrong.\n";
}

const char* version_text() {
  return "cuelint " CUECHECK_VERSION "\n";
}

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine cl;
  // --help and -h win over anything else on the line, --version over the rest; both only
  // before "--".
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      cl.action = CommandLine::kHelp;
      return cl;
    }
    if (std::strcmp(argv[i], "--version") == 0) version = true;
  }
  if (version) {
    cl.action = CommandLine::kVersion;
    return cl;
  }

  CLI::App app("cuelint", "cuelint");
  app.set_help_flag();  // handled above, with our own text
  std::string fps, cps, format, jobs;
  auto last = CLI::MultiOptionPolicy::TakeLast;
  // Values are taken as strings and read here: CLI11 reads "020" as octal.
  app.add_option("--fps", fps)->multi_option_policy(last);
  app.add_option("--cps", cps)->multi_option_policy(last);
  app.add_option("--format", format)->multi_option_policy(last);
  app.add_option("-j", jobs)->multi_option_policy(last);
  std::string encoding;
  app.add_option("--encoding", encoding)->multi_option_policy(last);
  app.add_option("PATH", cl.paths);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    cl.action = CommandLine::kWrong;
    cl.error = e.what();
    return cl;
  }
  auto wrong = [&](std::string what) {
    cl.action = CommandLine::kWrong;
    cl.error = std::move(what);
    return cl;
  };
  if (app.count("--fps")) {
    if (!parse_rate(fps, cl.options.fps)) return wrong("--fps: not a frame rate: " + fps);
    cl.options.fps_given = true;
  }
  if (app.count("--cps") && !parse_decimal(cps, 1000, cl.options.cps))
    return wrong("--cps: not a number from 0 to 1000: " + cps);
  if (app.count("--format")) {
    if (format == "json") {
      cl.json = true;
    } else if (format != "text") {
      return wrong("--format: neither text nor json: " + format);
    }
  }
  if (app.count("-j")) {
    std::int64_t n = 0;
    if (!parse_decimal(jobs, kMaxNumber, n) || n < 1)
      return wrong("-j: not a number of at least 1: " + jobs);
    cl.jobs = static_cast<unsigned>(n);
  }
  if (app.count("--encoding")) {
    if (!known_encoding(encoding))
      return wrong("--encoding: not an encoding this system knows: " + encoding);
    cl.options.encoding = encoding;
  }
  if (cl.paths.empty()) return wrong("no PATH given");
  return cl;
}

}  // namespace cuelint
