// The error report: one message line per fault, on the console and in "errors.txt".
#pragma once

#include <cstddef>
#include <cstdint>

// The kinds of fault, named by their messages: MicroDVD's name the line and its start
// frame ("in line"), SubRip's the block's number ("in"), Subviewer's the block's time
// ("at"). Where a message names two lines, blocks or times, the start lies before the
// previous subtitle's stop. The numbers are the kinds' own; any byte is a value, so a
// number outside them can still be passed, and writes nothing.
enum class FaultKind : uint8_t {
  kFrameCodeInLine = 0,   // "Invalid frame code in line L frame number: F" (stop < start)
  kBrInLine = 1,          // "Invalid character [br] in line L frame number: F"
  kFrameCodeInLines = 2,  // "Invalid frame code in lines L, L-1 frame number: F"
  kTimeCodeIn = 3,        // "Invalid time code in N" (stop < start)
  kTimeCodeInBlocks = 4,  // "Invalid time code in N, N-1"
  kBrOrBarIn = 5,         // "Invalid character [br] or | in N"
  kThreeLinesIn = 6,      // "Three lines error in N"
  kTimeCodeAt = 7,        // "Invalid time code at T" (stop < start)
  kTimeCodesAt = 8,       // "Invalid time code at T, T'" (T' the previous stop)
  kBarAt = 9,             // "Invalid character | at T"
  kSecondLineAt = 10,     // "Second line error at T"
  kTooShortInLine = 11,   // "The line stays out too short, in line L frame number: F"
  kTooShortIn = 12,       // "The line stays out too short, in N"
  kTooShortAt = 13,       // "The line stays out too short, at T"
};

// Reports a fault of the given kind with the whole numbers a, b and the times t1, t2 that
// its message shows: the line goes to the console, then to "errors.txt", and ERR is set.
// A kind outside the enumeration writes nothing and still sets ERR.
void HIBA(FaultKind kind, int32_t a, int32_t b, double t1, double t2);

// The message line of a kind, without its line end; 0 for a kind outside the enumeration.
// out must hold kMessageMax bytes.
constexpr size_t kMessageMax = 160;
size_t message_text(FaultKind kind, int32_t a, int32_t b, double t1, double t2, char* out);
