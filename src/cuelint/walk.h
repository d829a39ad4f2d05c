// From command-line paths to the list of files to check, in checking order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cuelint {

constexpr std::size_t kNoFolder = SIZE_MAX;

// A folder the walk listed: files found in it are opened below it again, one name at a
// time from the path given, so that what is opened is what was listed.
struct WalkFolder {
  std::string path;     // as reported
  std::size_t parent;   // kNoFolder: the path given, opened as it is
  std::size_t leaf_at;  // its name in the parent folder: path.substr(leaf_at)
};

struct Entry {
  // As reported: the path given, or it joined with the path below it by the system's
  // separator ("/", or a backslash on Windows).
  std::string name;
  std::string reason;       // why it cannot be read; empty for a file to check
  bool from_stdin = false;  // standard input's content, under name
  // Found by the walk: its folder, its name there (name.substr(leaf_at)), and whether the
  // walk followed it as a link. kNoFolder: a path given, opened as it is.
  std::size_t folder = kNoFolder;
  std::size_t leaf_at = 0;
  bool follow = false;
};

// The order of the files found: byte order of the whole names written with "/", as "LC_ALL=C
// sort" has it ("a/b-x.srt", "a/b.srt", "a/b/c.srt"), on every system.
bool walk_order(const std::string& a, const std::string& b);

// Appends what one command-line path stands for: itself when it is not a folder (whatever
// it is), else the files found in it, recursively, in walk_order. Inside a walk, links to
// files are followed, links to folders are not, names beginning with "." count, and a
// fitting name (is_subtitle_name) that is not a regular file after following links (a
// dangling link, a FIFO, a device) is unreadable. So is every name or folder, fitting or
// not, that cannot be told or listed: nothing is passed over in silence.
void expand_path(const std::string& path, std::vector<Entry>& out,
                 std::vector<WalkFolder>& folders);

}  // namespace cuelint
