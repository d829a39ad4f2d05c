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
#include <string>
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
int folder_open(const std::string& path, FolderList** d);
// The next entry; *end at the end of the list. An error is the listing's own.
int folder_next(FolderList* d, FolderEntry* e, bool* end);
void folder_close(FolderList* d);
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
