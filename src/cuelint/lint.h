// One file, start to end: its encoding, its format, the checks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "source.h"
#include "types.h"

namespace cuelint {

struct FileOutcome {
  Encoding encoding = Encoding::kUtf8;
  const FormatInfo* format = nullptr;  // null: none was found
  std::uint64_t faults = 0;
  Rate rate;  // a file of frames: the frame rate its times were read at
};

// Reads the source (twice or three times: format, checks, and the encoding when the file
// has a mark or bytes beyond ASCII) and hands every fault to the sink in report order.
// line_buffer is the line reader's first buffer size (the fuzz target makes it small, to
// grow it often). decide_first decides the encoding on a pass of its own before anything
// else, as a file with a mark is read: the tests compare the two ways. Throws ReadError.
FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer = 65536,
                 bool decide_first = false);

// The encoding and format only, as lint() finds them.
FileOutcome probe(Source& src);

}  // namespace cuelint
