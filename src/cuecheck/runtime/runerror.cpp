#include "runerror.h"

#include <cassert>
#include <cstdio>
#include <cstring>

uint32_t g_trace_frames[kTraceMax];
int g_trace_depth;

void run_error(int code, uint32_t place) {
  RunStop stop{};
  stop.code = code;
  stop.trace[0] = place;
  stop.depth = 1;
  for (int i = g_trace_depth - 1; i >= 0 && stop.depth < kTraceMax; --i) {
    stop.trace[stop.depth++] = g_trace_frames[i];
  }
  throw stop;
}

size_t run_stop_text(const RunStop& stop, int max_trace, const char* line_end, char* out) {
  assert(std::strlen(line_end) <= 2);
  int n = std::snprintf(out, kRunStopTextMax, "Runtime error %d at 0x%08X%s", stop.code,
                        static_cast<unsigned>(stop.trace[0]), line_end);
  for (int i = 0; i < stop.depth && i < max_trace; ++i) {
    n += std::snprintf(out + n, kRunStopTextMax - static_cast<size_t>(n), "  0x%08X%s",
                       static_cast<unsigned>(stop.trace[i]), line_end);
  }
  n += std::snprintf(out + n, kRunStopTextMax - static_cast<size_t>(n), "%s", line_end);
  return static_cast<size_t>(n);
}

void runerror_reset() {
  g_trace_depth = 0;
}
