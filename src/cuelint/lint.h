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

// Files from this length on are cut into lines on a second thread (LinePipe) while they
// are checked.
constexpr std::uint64_t kPipeFrom = 4 << 20;

// Reads the source three times (encoding, format, checks) and hands every fault to the
// sink in report order. line_buffer is the line reader's first buffer size, pipe_from and
// pipe_block the length from which a LinePipe cuts the lines and its block size (the fuzz
// target makes them small, to reach every boundary). Throws ReadError.
FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer = 65536,
                 std::uint64_t pipe_from = kPipeFrom, std::size_t pipe_block = 256 << 10);

// The encoding and format only, as lint() finds them.
FileOutcome probe(Source& src);

}  // namespace cuelint
