#include "filelist.h"

#include "platform.h"
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
  File f;
  int err = file == "-" ? open_stdin(&f) : open_read(file, &f);
  if (err) {
    reason = error_text(err);
    return false;
  }
  FileSource src(f);
  std::string data;
  try {
    char buf[65536];
    while (std::size_t n = src.read(buf, sizeof buf)) data.append(buf, n);
  } catch (const ReadError& e) {
    reason = error_text(e.error);
    return false;
  }
  split_file_list(data, nul, out);
  return true;
}

}  // namespace cuelint
