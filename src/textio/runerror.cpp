#include "textio/runerror.h"

#include <cstdio>

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

size_t run_stop_text(const RunStop& stop, char* out) {
  int n = std::snprintf(out, kRunStopTextMax, "Runtime error %d at 0x%08X\n", stop.code,
                        static_cast<unsigned>(stop.trace[0]));
  for (int i = 0; i < stop.depth; ++i) {
    n += std::snprintf(out + n, kRunStopTextMax - static_cast<size_t>(n), "  0x%08X\n",
                       static_cast<unsigned>(stop.trace[i]));
  }
  out[n++] = '\n';
  return static_cast<size_t>(n);
}

void runerror_reset() {
  g_trace_depth = 0;
}
