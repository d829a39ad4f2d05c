// One file, start to end: its encoding, its format, the checks.
#pragma once

#include <cstddef>
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
// sink in report order. line_buffer is the line reader's first buffer size (the fuzz target
// makes it small, to grow it often). Throws ReadError.
FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer = 65536);

// The encoding and format only, as lint() finds them.
FileOutcome probe(Source& src);

}  // namespace cuelint
