// The conversions of the hot paths, each next to the extended or byte-by-byte form that
// it stands in for: times to text, display times, the reading-time test, the
// fixed-point output, frame numbers and the MicroDVD frame scan.
#include <cstdio>
#include <cstring>

#include "globals.h"
#include "microdvd.h"
#include "numconv.h"
#include "perftest.h"
#include "readtime.h"
#include "timecode.h"

namespace {

constexpr int kN = 4096;
double times[kN];
ShortStr codes[kN];
ShortStr frames[kN];
ShortStr mdvd[kN];

}  // namespace

int main() {
  uint32_t x = 7;
  for (int i = 0; i < kN; ++i) {
    x = x * 1103515245u + 12345u;
    char tc[16];
    const int ms = static_cast<int>(x % 36000000u);
    std::snprintf(tc, sizeof tc, "%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    ss_set(codes[i], tc);
    times[i] = ST2TT(codes[i]);
    char f[16];
    ss_set(frames[i], f, static_cast<size_t>(std::snprintf(f, sizeof f, "%u", x % 90000000u)));
    char line[64];
    ss_set(mdvd[i], line,
           static_cast<size_t>(std::snprintf(line, sizeof line, "{%u}{%u}Some text|more",
                                             x % 9000000u, x % 9000000u + 75)));
  }

  perftest("ST2TT", kN, [] {
    uint64_t s = 0;
    for (const ShortStr& c : codes) s += static_cast<uint64_t>(ST2TT(c) * 1000);
    return s;
  });
  perftest("TT2ST", kN, [] {
    uint64_t s = 0;
    ShortStr out;
    for (double t : times) {
      TT2ST(t, out);
      s += out.b[0];
    }
    return s;
  });
  perftest("tt2st_extended", kN, [] {
    uint64_t s = 0;
    ShortStr out;
    for (double t : times) {
      tt2st_extended(t, out);
      s += out.b[0];
    }
    return s;
  });
  perftest("display_time_two_sum", kN - 1, [] {
    double s = 0;
    for (int i = 1; i < kN; ++i) s += display_time_two_sum(times[i], times[i - 1]);
    return static_cast<uint64_t>(s);
  });
  perftest("display_time_extended", kN - 1, [] {
    double s = 0;
    for (int i = 1; i < kN; ++i) s += display_time_extended(times[i], times[i - 1]);
    return static_cast<uint64_t>(s);
  });
  perftest("too_short_table", kN, [] {
    uint64_t s = 0;
    for (int i = 0; i < kN; ++i) s += too_short_table(times[i] * 1e-4, i & 255);
    return s;
  });
  perftest("too_short_extended", kN, [] {
    uint64_t s = 0;
    for (int i = 0; i < kN; ++i) s += too_short_extended(times[i] * 1e-4, i & 255);
    return s;
  });
  perftest("fixed_text", kN, [] {
    uint64_t s = 0;
    char out[kFixedTextMax];
    for (double t : times) s += fixed_text(t * 1e-3, 2, 3, out);
    return s;
  });
  perftest("int_conversion32", kN, [] {
    uint64_t s = 0;
    for (const ShortStr& f : frames) s += static_cast<uint32_t>(int_conversion32(f).value);
    return s;
  });
  perftest("int_conversion32_general", kN, [] {
    uint64_t s = 0;
    for (const ShortStr& f : frames) s += static_cast<uint32_t>(int_conversion32_general(f).value);
    return s;
  });
  perftest("microdvd_scan_frames", kN, [] {
    uint64_t s = 0;
    for (const ShortStr& l : mdvd) {
      g.SOR = l;
      microdvd_scan_frames();
      s += g.START.b[0] + g.STOP.b[0];
    }
    return s;
  });
  perftest("microdvd_scan_frames_bytewise", kN, [] {
    uint64_t s = 0;
    for (const ShortStr& l : mdvd) {
      g.SOR = l;
      microdvd_scan_frames_bytewise();
      s += g.START.b[0] + g.STOP.b[0];
    }
    return s;
  });
  return 0;
}
