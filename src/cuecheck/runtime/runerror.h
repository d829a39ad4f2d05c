// The stop with a run-time error.
//
// A failed file operation or a fault of real arithmetic stops the run: run_error throws a
// RunStop that carries the code and a trace of places, and the entry point writes the
// report ("Runtime error N at 0xPLACE", the trace lines, an empty line) and exits with N.
// Throwing instead of exiting lets tests and the fuzzer run many checks in one process.
//
// The trace lists the place of the stop and then the return points of the procedures
// still active, innermost first; both are named in trace_places.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "errcodes.h"

constexpr int kTraceMax = 16;

struct RunStop {
  int code;
  int depth;
  uint32_t trace[kTraceMax];
};

[[noreturn]] void run_error(int code, uint32_t place);

// Marks a procedure as active for the trace while it runs; `ret` identifies the place in
// the caller to which it returns.
extern uint32_t g_trace_frames[kTraceMax];
extern int g_trace_depth;

class TraceFrame {
 public:
  explicit TraceFrame(uint32_t ret) {
    if (g_trace_depth < kTraceMax) g_trace_frames[g_trace_depth] = ret;
    ++g_trace_depth;
  }
  ~TraceFrame() { --g_trace_depth; }
  TraceFrame(const TraceFrame&) = delete;
  TraceFrame& operator=(const TraceFrame&) = delete;
};

// The report of a stop as the console shows it, each line ended by `line_end` (at most
// two characters), with at most `max_trace` trace lines. Returns its length; out must hold
// kRunStopTextMax bytes.
constexpr size_t kRunStopTextMax = 64 + 16 * kTraceMax;
size_t run_stop_text(const RunStop& stop, int max_trace, const char* line_end, char* out);

// The most trace lines a report shows: few on a console device, where they would scroll
// the rest away, many when the output goes to a file or a pipe.
constexpr int kTraceLinesDevice = 10;
constexpr int kTraceLinesOther = 258;

void runerror_reset();
