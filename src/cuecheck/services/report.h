// The error report: one message line per fault, on the console and in "errors.txt".
#pragma once

#include <cstddef>
#include <cstdint>

// Reports a fault of the given kind (0..13) with the whole numbers a, b and the times t1,
// t2 that its message shows: the line goes to the console, then to "errors.txt", and ERR
// is set. A kind outside 0..13 writes nothing and still sets ERR.
void HIBA(uint8_t kind, int32_t a, int32_t b, double t1, double t2);

// The message line of a kind, without its line end; 0 for a kind outside 0..13.
// out must hold kMessageMax bytes.
constexpr size_t kMessageMax = 160;
size_t message_text(uint8_t kind, int32_t a, int32_t b, double t1, double t2, char* out);
