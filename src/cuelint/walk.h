// From command-line paths to the list of files to check, in checking order.
#pragma once

#include <string>
#include <vector>

namespace cuelint {

struct Entry {
  // As reported: the path given, or it joined with the path below it by the system's
  // separator ("/", or a backslash on Windows).
  std::string name;
  std::string reason;       // why it cannot be read; empty for a file to check
  bool from_stdin = false;  // standard input's content, under name
};

// Appends what one command-line path stands for: itself when it is not a folder (whatever
// it is), else the files found in it, recursively, in byte order of their names. Inside a
// walk, links to files are followed, links to folders are not, names beginning with "."
// count, and a fitting name (is_subtitle_name) that is not a regular file after following links (a
// dangling link, a FIFO) is unreadable, as is a folder that cannot be listed.
// The order of the files found: byte order of the whole names written with "/", as "LC_ALL=C
// sort" has it ("a/b-x.srt", "a/b.srt", "a/b/c.srt"), on every system.
bool walk_order(const std::string& a, const std::string& b);

void expand_path(const std::string& path, std::vector<Entry>& out);

}  // namespace cuelint
