// libFuzzer target for cuelint's command line: the words as the program gets them, parsed,
// settled over the defaults, and the settings written back as a config file.
//
// Input layout: the words after the program's name, each ended by a NUL byte (the last one
// by the input's end).
//
// Checked besides crashes, sanitizer reports, leaks and hangs: a wrong command line says
// what is wrong; paths are kept as given, in order; every path is printable after
// escaping (no control byte, well-formed UTF-8) and a printable path is left alone.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli.h"
#include "config.h"
#include "report_names.h"
#include "settings.h"

using namespace cuelint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> words = {"cuelint"};
  std::string w;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(w);
      w.clear();
    } else {
      w += static_cast<char>(data[i]);
    }
  }
  if (!w.empty() || (size && data[size - 1] != 0)) words.push_back(w);
  std::vector<const char*> argv;
  for (const std::string& x : words) argv.push_back(x.c_str());
  CommandLine cl = parse_command_line(static_cast<int>(argv.size()), argv.data());
  if (cl.action == CommandLine::kWrong && cl.error.empty()) __builtin_trap();
  if (cl.action != CommandLine::kWrong && !cl.error.empty()) __builtin_trap();
  for (const std::string& p : cl.paths) {
    std::string shown = printable_name(p);
    if (!name_is_plain(shown)) __builtin_trap();
    if (name_is_plain(p) != (shown == p)) __builtin_trap();
    // Every path given is one of the words, whole.
    bool found = false;
    for (const std::string& x : words) found = found || x == p || x.find(p) != std::string::npos;
    if (!found) __builtin_trap();
  }
  stdin_misuse(cl.paths, cl.files_from == "-");
  if (cl.action != CommandLine::kRun && cl.action != CommandLine::kShowSettings) return 0;
  Config config;
  Settled settled;
  if (settle(config, cl, settled)) return 0;
  std::string toml = settings_toml(settled.options, settled.profile, settled.fail_on);
  if (toml.empty()) __builtin_trap();
  return 0;
}
