// The run driver: the program's main sequence.
#pragma once

#include "shortstr.h"

// The whole run, from the banner to the final wait; returns the exit status. A stop with
// a run-time error leaves it as a RunStop.
int run();

// Argument n (1, 2, ...) of the command line, cut to 254 characters; empty when absent.
void argument(int n, ShortStr& out);

// Sets FPS, FPSS and CODE from the second argument.
void set_frame_rate(const ShortStr& arg2);

// With F open: reads the first line, recognises the format and runs the checkers.
void check_file();
