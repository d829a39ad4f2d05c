#include "walk.h"

#include <algorithm>

#include "platform.h"
#include "registry.h"

namespace cuelint {

bool walk_order(const std::string& a, const std::string& b) {
  const char sep = path_separator();
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i] == sep ? '/' : a[i]);
    auto y = static_cast<unsigned char>(b[i] == sep ? '/' : b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

static void walk(const std::string& dir, std::vector<Entry>& out) {
  FolderList* d = nullptr;
  if (int err = folder_open(dir, &d)) {
    out.push_back({dir, error_text(err)});
    return;
  }
  FolderEntry e;
  for (;;) {
    bool end = false;
    if (int err = folder_next(d, &e, &end)) {
      out.push_back({dir, error_text(err)});
      break;
    }
    if (end) break;
    std::string path = join_path(dir, e.name);
    bool fits = is_subtitle_name(path);
    if (e.error) {
      if (fits) out.push_back({path, error_text(e.error)});
      continue;
    }
    if (e.kind == Kind::kFolder) {
      walk(path, out);
      continue;
    }
    if (!fits) continue;
    Kind k = e.kind;
    if (k == Kind::kLink) {
      if (int err = path_kind(path, &k)) {
        out.push_back({path, error_text(err)});  // a dangling link
        continue;
      }
    }
    if (k == Kind::kFile) {
      out.push_back({path, std::string()});
    } else {
      out.push_back({path, "not a regular file"});
    }
  }
  folder_close(d);
}

void expand_path(const std::string& path, std::vector<Entry>& out) {
  Kind k;
  if (int err = path_kind(path, &k)) {
    out.push_back({path, error_text(err)});
    return;
  }
  if (k != Kind::kFolder) {
    out.push_back({path, std::string()});
    return;
  }
  std::size_t first = out.size();
  walk(path, out);
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
            [](const Entry& a, const Entry& b) { return walk_order(a.name, b.name); });
}

}  // namespace cuelint
