// What the operating system decides, for cuelint: files, folders, the two output streams
// and the arguments. One file per system implements it (platform_posix.cpp,
// platform_win32.cpp); everything above is portable C++17.
//
// Calls that can fail return 0 or the system's own error number (errno, or GetLastError on
// Windows); error_text turns one into the system's one-line message. Names are UTF-8 on
// every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace cuelint {

// A file the system holds open for us.
struct File {
  std::intptr_t h = -1;
  bool open() const { return h != -1; }
};

enum class Stream : std::uint8_t { kOut, kErr };

// What a name in a folder is, its last link not followed. kLink is a symbolic link (on
// Windows also a junction or other name-surrogate reparse point).
enum class Kind : std::uint8_t { kFile, kFolder, kLink, kOther };

// Process start-up: the arguments as UTF-8 (on Windows taken from the UTF-16 command line,
// not argv), and the streams made ready; a broken pipe becomes an error of the write.
std::vector<std::string> start(int argc, char** argv);

// A path given to the program, opened as it is (a FIFO or a device too, when the user says
// so).
int open_read(const std::string& path, File* f);
// Standard input as a file of its own, closed apart from the stream.
int open_stdin(File* f);
// A nameless file for reading and writing, gone when closed.
int open_temp(File* f);
// Up to cap bytes; *got is 0 at the end.
int read_some(File f, void* buf, std::size_t cap, std::size_t* got);
int write_file(File f, const void* buf, std::size_t n);
int seek_to(File f, std::uint64_t pos);
bool can_seek(File f);  // false for a pipe or a device
void close_file(File f);

// The kind of what a path leads to, links followed.
int path_kind(const std::string& path, Kind* k);

// A folder being listed, entry by entry, "." and ".." left out.
struct FolderList;
struct FolderEntry {
  std::string name;
  Kind kind = Kind::kOther;  // its last link not followed
  int error = 0;             // its kind could not be told
};
// A folder by its path, its links followed: a path the user gave.
int folder_open(const std::string& path, FolderList** d);
// A folder named in an open folder, its last link not followed: what the walk found stays
// what is listed, whatever is swapped in for it, and no path grows past the system's limit.
int folder_open_below(FolderList* parent, const std::string& name, FolderList** d);
// A file named in an open folder, opened for reading without waiting for a writer or a
// device; its last link followed only when follow.
int open_below(FolderList* dir, const std::string& name, bool follow, File* f);
// The kind of a name in an open folder, links followed.
int kind_below(FolderList* dir, const std::string& name, Kind* k);
// The kind of an open file: what was opened, whatever the name leads to by now.
int file_kind(File f, Kind* k);
// The next entry; *end at the end of the list. An error is the listing's own.
int folder_next(FolderList* d, FolderEntry* e, bool* end);
void folder_close(FolderList* d);
// A worker thread, or the system's error when none can be started.
int start_thread(std::thread* t, std::function<void()> run);

// "/", or a backslash on Windows.
char path_separator();
// Joins a folder path and a name below it with the system's separator, which is not
// doubled when the folder ends in one.
std::string join_path(const std::string& folder, const std::string& name);

// The whole of n bytes, going on after short writes and interruptions. To a Windows
// console, as UTF-16.
int write_stream(Stream s, const void* buf, std::size_t n);
bool is_terminal(Stream s);
// The write failed because nobody reads any more: the run ends quietly.
bool is_broken_pipe(int err);

std::string error_text(int err);

}  // namespace cuelint
