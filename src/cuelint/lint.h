// One file, start to end: its encoding, its format, the checks.
#pragma once

#include <cstdint>

#include "cuelint/source.h"
#include "cuelint/types.h"

namespace cuelint {

struct FileOutcome {
  Encoding encoding = Encoding::kUtf8;
  Format format = Format::kNone;
  std::uint64_t faults = 0;
};

// Reads the source three times (encoding, format, checks) and hands every fault to the
// sink in report order. Throws ReadError.
FileOutcome lint(Source& src, const Options& opt, FaultSink& sink);

// The encoding and format only, as lint() finds them.
FileOutcome probe(Source& src);

}  // namespace cuelint
