// The command line.
#pragma once

#include <string>
#include <vector>

#include "types.h"

namespace cuelint {

struct CommandLine {
  enum Action { kRun, kHelp, kVersion, kWrong } action = kRun;
  std::string error;  // what is wrong, for kWrong
  Options options;
  bool json = false;
  unsigned jobs = 0;  // 0: the number of processors
  std::vector<std::string> paths;
};

const char* usage_text();
const char* version_text();

CommandLine parse_command_line(int argc, const char* const* argv);

}  // namespace cuelint
