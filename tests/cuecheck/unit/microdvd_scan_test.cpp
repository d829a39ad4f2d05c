// The MicroDVD frame scan against its byte-by-byte form.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "globals.h"
#include "microdvd.h"
#include "test_random.h"

namespace {

TEST(FrameScan, SameTextsAsTheByteScan) {
  // Lines of {digits}{digits}text with braces moved, doubled, missing or adjacent, and
  // START and STOP holding old bytes past their lengths: 2 million lines.
  static const char kChars[] = "0123456789{}}x- ";
  uint64_t x = 9;
  long differ = 0;
  ShortStr start_old, stop_old;
  for (int round = 0; round < 2000000; ++round) {
    uint64_t r = next(x);
    std::memset(&g.SOR, 0, sizeof g.SOR);
    g.SOR.b[0] = static_cast<unsigned char>(r % 100);
    g.SOR.b[1] = '{';
    if (r % 3 == 0) {  // a well-formed line with frame numbers of 1..11 digits
      int p = 2;
      for (int k = static_cast<int>(next(x) % 11) + 1; k > 0; --k) g.SOR.b[p++] = '7';
      g.SOR.b[p++] = '}';
      g.SOR.b[p++] = '{';
      for (int k = static_cast<int>(next(x) % 11) + 1; k > 0; --k) g.SOR.b[p++] = '8';
      g.SOR.b[p++] = '}';
      while (p < 256) g.SOR.b[p++] = 'a';
    } else {
      for (int i = 2; i < 256; ++i) g.SOR.b[i] = kChars[next(x) % (sizeof kChars - 1)];
    }
    std::memset(start_old.b, static_cast<int>(r >> 40) & 0xFF, sizeof start_old.b);
    for (int i = 0; i < 256; ++i) stop_old.b[i] = static_cast<unsigned char>(i);
    const uint8_t startt_old = static_cast<uint8_t>(r >> 32);

    g.START = start_old;
    g.STOP = stop_old;
    g.STARTT = startt_old;
    microdvd_scan_frames_bytewise();
    const ShortStr want_start = g.START, want_stop = g.STOP;
    const uint8_t want_startt = g.STARTT;

    g.START = start_old;
    g.STOP = stop_old;
    g.STARTT = startt_old;
    microdvd_scan_frames();
    if ((std::memcmp(&g.START, &want_start, sizeof want_start) != 0 ||
         std::memcmp(&g.STOP, &want_stop, sizeof want_stop) != 0 || g.STARTT != want_startt) &&
        ++differ < 10) {
      ADD_FAILURE() << "line " << round;
    }
  }
  EXPECT_EQ(differ, 0);
}

}  // namespace
