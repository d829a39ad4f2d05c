// The console: the process's standard output, through the platform. On a terminal every
// write is shown at once; otherwise the output collects in a buffer that goes out before
// each wait, before a run-time error report and at the end. Writing to the console never
// fails.
#pragma once

#include <cstddef>

void con_init();

// From now on the console output goes to `sink`, or nowhere when it is null, and the clear
// and the wait for Enter are skipped: for running many checks in one process.
using ConsoleSink = void (*)(const char* data, size_t n);
void con_set_sink(ConsoleSink sink);

void con_write(const char* data, size_t n);
void con_text(const char* text);
void con_line(const char* text);  // the text and a line end
void con_line_end();
void con_write_line(const char* data, size_t n);  // the bytes and a line end, one write
void con_flush();

// Clears a terminal and puts the cursor at its top left; does nothing otherwise.
void con_clear();

// The wait for the Enter key: one line of standard input, read and discarded.
void con_wait_enter();

void console_reset();
