// The thin layer over the operating system. Everything above it is portable C++.
//
// Error codes are the program's run-time error codes: 2 file not found, 3 path not found,
// 4 too many open files, 5 access denied (also a file locked by another run, a read-only
// place and a name that is a directory), 6 invalid handle, 100 disk read error, 101 disk
// write error (a full disk or any short write). Any other failure of the system reports
// the system's own error number.
#pragma once

#include <cstddef>

// Process set-up before the first step: a closed pipe must not kill the run.
void plat_init();

// Opens an existing file for reading, locked for exclusive use. 0 or an error code.
int plat_open_read(const char* name, int* fd);

// Creates a file for writing, or empties an existing one. The exclusive lock is taken
// before the file is emptied, so a file that another run is writing is never emptied.
int plat_create_write(const char* name, int* fd);

// Reads up to cap bytes; *got is 0 at the end of the file. 0 or an error code.
int plat_read(int fd, void* buf, size_t cap, size_t* got);

// Writes all n bytes. 0 or an error code; a write that stores fewer bytes is 101.
int plat_write(int fd, const void* buf, size_t n);

void plat_close(int fd);

bool plat_stdout_open();
bool plat_stdout_is_tty();

// Writes to standard output, retrying short writes. The console never fails: a closed or
// broken standard output loses the text and the run goes on.
void plat_stdout_write(const void* buf, size_t n);

void plat_stderr_write(const char* text);

// Reads and discards one line of standard input; the end of the input ends it at once.
void plat_wait_line();
