#include "filelist.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "source.h"

namespace cuelint {

void split_file_list(std::string_view data, bool nul, std::vector<std::string>& out) {
  char sep = nul ? '\0' : '\n';
  std::size_t at = 0;
  while (at < data.size()) {
    std::size_t end = data.find(sep, at);
    if (end == std::string_view::npos) end = data.size();
    std::string_view e = data.substr(at, end - at);
    if (!nul && !e.empty() && e.back() == '\r') e.remove_suffix(1);
    if (!e.empty()) out.emplace_back(e);
    at = end + 1;
  }
}

bool read_file_list(const std::string& file, bool nul, std::vector<std::string>& out,
                    std::string& reason) {
  int fd = -1;
  if (file == "-") {
    fd = ::dup(0);
    if (fd < 0) {
      reason = std::strerror(errno);
      return false;
    }
  } else if (int err = open_for_reading(file, &fd)) {
    reason = std::strerror(err);
    return false;
  }
  FdSource src(fd);
  std::string data;
  try {
    char buf[65536];
    while (std::size_t n = src.read(buf, sizeof buf)) data.append(buf, n);
  } catch (const ReadError& e) {
    reason = std::strerror(e.error);
    return false;
  }
  split_file_list(data, nul, out);
  return true;
}

}  // namespace cuelint
