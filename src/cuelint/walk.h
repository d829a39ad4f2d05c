// From command-line paths to the list of files to check, in checking order.
#pragma once

#include <string>
#include <vector>

namespace cuelint {

struct Entry {
  std::string name;         // as reported: the path given, or it plus "/" and the path below it
  std::string reason;       // why it cannot be read; empty for a file to check
  bool from_stdin = false;  // standard input's content, under name
};

// Appends what one command-line path stands for: itself when it is not a folder (whatever
// it is), else the files found in it, recursively, in byte order of their names. Inside a
// walk, links to files are followed, links to folders are not, names beginning with "."
// count, and a fitting name (is_subtitle_name) that is not a regular file after following links (a
// dangling link, a FIFO) is unreadable, as is a folder that cannot be listed.
void expand_path(const std::string& path, std::vector<Entry>& out);

}  // namespace cuelint
