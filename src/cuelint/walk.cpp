#include "walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "registry.h"

namespace cuelint {

static void walk(const std::string& dir, std::vector<Entry>& out) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) {
    out.push_back({dir, std::strerror(errno)});
    return;
  }
  for (;;) {
    errno = 0;
    struct dirent* e = ::readdir(d);
    if (!e) {
      if (errno) out.push_back({dir, std::strerror(errno)});
      break;
    }
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    std::string path = dir;
    if (path.empty() || path.back() != '/') path += '/';
    path += n;
    bool fits = is_subtitle_name(path);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
      if (fits) out.push_back({path, std::strerror(errno)});
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      walk(path, out);
      continue;
    }
    if (!fits) continue;
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) {
      out.push_back({path, std::strerror(errno)});  // a dangling link
      continue;
    }
    if (S_ISREG(st.st_mode)) {
      out.push_back({path, std::string()});
    } else {
      out.push_back({path, "not a regular file"});
    }
  }
  ::closedir(d);
}

void expand_path(const std::string& path, std::vector<Entry>& out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    out.push_back({path, std::strerror(errno)});
    return;
  }
  if (!S_ISDIR(st.st_mode)) {
    out.push_back({path, std::string()});
    return;
  }
  std::size_t first = out.size();
  walk(path, out);
  // Byte order of the whole names (std::string compares as unsigned char), as "LC_ALL=C
  // sort" has it: "a/b-x.srt", "a/b.srt", "a/b/c.srt".
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

}  // namespace cuelint
