// The process's command line split into words, as the program does it itself on Windows
// (where a process receives one line of text, not a list of arguments).
//
// Blanks, tabs and carriage returns separate words. A word that begins with a double or a
// single quote runs to the next quote of the same kind, or to the end of the line; the
// quotes are dropped, and the next word may begin right after the closing one. Quotes
// inside an unquoted word are ordinary characters, and there is no escape character. The
// first word is the program's name. Every word is cut to kCmdWordMax characters.
#pragma once

#include <cstddef>

constexpr size_t kCmdWordMax = 254;

// Splits the NUL-ended `line`. Each word is written NUL-ended into `text`, which must hold
// strlen(line) + 1 bytes (the words never need more), and the first `cap` words are
// pointed to by words[0..cap). Returns the number of words on the line, which may exceed
// cap; the words past cap are not stored.
size_t cmdline_split(const char* line, char* text, const char** words, size_t cap);
