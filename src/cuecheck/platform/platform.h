// The thin layer over the operating system: files, the console and the process's
// arguments. Everything above it is portable C++; one file per system implements it
// (platform_posix.cpp, platform_win32.cpp).
//
// The file calls return 0 or a run-time error code (textio/errcodes.h): the system's
// failures are mapped to the program's codes there, so callers never see a system number
// that has a name of its own.
#pragma once

#include <cstddef>
#include <cstdint>

// A file the system holds open for us. kNoFile is none.
struct PlatFile {
  intptr_t h;
};
constexpr PlatFile kNoFile{-1};
inline bool plat_is_file(PlatFile f) {
  return f.h != kNoFile.h;
}

// Process start-up, before the program's first step: the arguments are taken and the
// console is prepared. Anything but kConsoleReady ends the run before its first step.
enum ConsoleStart { kConsoleReady, kConsoleNoHandle, kConsoleNoBufferInfo };
ConsoleStart plat_start(int argc, char** argv);

// Argument n of the command line (0 is the program's name), or nullptr past the last.
const char* plat_arg(int n);

// Opens an existing file for reading, for exclusive use.
int plat_open_read(const char* name, PlatFile* f);

// Creates a file for writing, or empties an existing one. It is held for exclusive use
// before it is emptied, so a file that another process holds is never emptied.
int plat_create_write(const char* name, PlatFile* f);

// Reads up to cap bytes; *got is 0 at the end of the file.
int plat_read(PlatFile f, void* buf, size_t cap, size_t* got);

// Writes all n bytes; a write that stores fewer is kErrDiskWrite.
int plat_write(PlatFile f, const void* buf, size_t n);

int plat_close(PlatFile f);

// The console: the process's standard output. Writing to it never fails; a closed or
// broken output loses the text and the run goes on.
bool plat_console_is_device();  // a terminal or other character device
void plat_console_clear();      // blanks the window and homes the cursor; else nothing
const char* plat_console_line_end();
void plat_console_write(const void* buf, size_t n);
void plat_console_wait_line();            // reads and drops one line of input; its end ends it
void plat_error_write(const char* text);  // standard error
