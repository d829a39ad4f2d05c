#include "report.h"

#include <gtest/gtest.h>

#include "short_text.h"

#include <string>

#include "globals.h"

namespace {

std::string M(FaultKind kind, int32_t a, int32_t b, double t1, double t2) {
  char out[kMessageMax];
  return std::string(out, message_text(kind, a, b, t1, t2, out));
}

TEST(MessageCatalogue, EveryKind) {
  struct Case {
    FaultKind kind;
    int32_t a, b;
    double t1, t2;
    const char* text;
  };
  const Case cases[] = {
      {FaultKind::kFrameCodeInLine, 7, -5, 0, 0, "Invalid frame code in line 7 frame number: -5"},
      {FaultKind::kBrInLine, 3, 100, 0, 0, "Invalid character [br] in line 3 frame number: 100"},
      {FaultKind::kFrameCodeInLines, 12, 300, 0, 0,
       "Invalid frame code in lines 12, 11 frame number: 300"},
      {FaultKind::kTimeCodeIn, 4, 9, 0, 0, "Invalid time code in 4"},
      {FaultKind::kTimeCodeInBlocks, 1, 0, 0, 0, "Invalid time code in 1, 0"},
      {FaultKind::kTimeCodeInBlocks, 0, 0, 0, 0, "Invalid time code in 0, -1"},
      {FaultKind::kTimeCodeInBlocks, INT32_MIN, 0, 0, 0,
       "Invalid time code in -2147483648, 2147483647"},
      {FaultKind::kBrOrBarIn, 2, 0, 0, 0, "Invalid character [br] or | in 2"},
      {FaultKind::kThreeLinesIn, 8, 0, 0, 0, "Three lines error in 8"},
      {FaultKind::kTimeCodeAt, 0, 0, 1.5, 1.4, "Invalid time code at 0:0:1.50"},
      {FaultKind::kTimeCodesAt, 0, 0, 1.0, 2.0, "Invalid time code at 0:0:1.0, 0:0:2.0"},
      {FaultKind::kBarAt, 0, 0, 3725.126, 0, "Invalid character | at 1:2:5.13"},
      {FaultKind::kSecondLineAt, 0, 0, -61.5, 0, "Second line error at 0:-1:-1.-50"},
      {FaultKind::kTooShortInLine, 1, 0, 0, 0,
       "The line stays out too short, in line 1 frame number: 0"},
      {FaultKind::kTooShortIn, 2147483647, 0, 0, 0, "The line stays out too short, in 2147483647"},
      {FaultKind::kTooShortAt, 0, 0, 0, 9, "The line stays out too short, at 0:0:0.0"},
      {FaultKind{14}, 1, 1, 1, 1, ""},
      {FaultKind{255}, 1, 1, 1, 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(M(c.kind, c.a, c.b, c.t1, c.t2), c.text) << static_cast<int>(c.kind);
  }
}

TEST(Report, EveryKindRaisesTheFlagAndUnknownKindsWriteNothing) {
  reset_globals();
  out_open_sink(g.OUTF);
  HIBA(FaultKind{200}, 0, 0, 0, 0);
  EXPECT_TRUE(g.ERR);
  EXPECT_EQ(g.OUTF.len, 0u);
  HIBA(FaultKind::kTimeCodeIn, 5, 0, 0, 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "Invalid time code in 5\r\n");
}

}  // namespace
