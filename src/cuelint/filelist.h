// Paths from a list file (--files-from): one per line, or NUL-separated (find -print0).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cuelint {

// Appends the entries of a list's content: lines (a CR before the LF dropped, so that lists
// made on Windows work), or with nul, NUL-separated entries; empty entries are skipped.
void split_file_list(std::string_view data, bool nul, std::vector<std::string>& out);

// Reads the list FILE ("-": standard input) into out. False and reason set when it cannot
// be read.
bool read_file_list(const std::string& file, bool nul, std::vector<std::string>& out,
                    std::string& reason);

}  // namespace cuelint
