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

namespace {

struct Walk {
  std::vector<Entry>& out;
  std::vector<WalkFolder>& folders;

  void unreadable(const std::string& path, int err) { out.push_back({path, error_text(err)}); }

  // Lists folder `at`, open as d, and the folders below it through their handles.
  void list(FolderList* d, std::size_t at) {
    FolderEntry e;
    for (;;) {
      bool end = false;
      if (int err = folder_next(d, &e, &end)) {
        unreadable(folders[at].path, err);
        return;
      }
      if (end) return;
      std::string path = join_path(folders[at].path, e.name);
      std::size_t leaf_at = path.size() - e.name.size();
      if (e.error) {
        unreadable(path, e.error);
        continue;
      }
      if (e.kind == Kind::kFolder) {
        FolderList* sub = nullptr;
        if (int err = folder_open_below(d, e.name, &sub)) {
          unreadable(path, err);
          continue;
        }
        folders.push_back({path, at, leaf_at});
        list(sub, folders.size() - 1);
        folder_close(sub);
        continue;
      }
      if (!is_subtitle_name(path)) continue;
      Kind k = e.kind;
      bool link = k == Kind::kLink;
      if (link) {
        if (int err = kind_below(d, e.name, &k)) {
          unreadable(path, err);  // a dangling link
          continue;
        }
      }
      if (k == Kind::kFile) {
        out.push_back({path, std::string(), false, at, leaf_at, link});
      } else {
        out.push_back({path, "not a regular file"});  // never opened: a FIFO would block
      }
    }
  }
};

}  // namespace

void expand_path(const std::string& path, std::vector<Entry>& out,
                 std::vector<WalkFolder>& folders) {
  Kind k;
  if (int err = path_kind(path, &k)) {
    out.push_back({path, error_text(err)});
    return;
  }
  if (k != Kind::kFolder) {
    out.push_back({path, std::string()});
    return;
  }
  FolderList* d = nullptr;
  if (int err = folder_open(path, &d)) {
    out.push_back({path, error_text(err)});
    return;
  }
  std::size_t first = out.size();
  folders.push_back({path, kNoFolder, 0});
  Walk{out, folders}.list(d, folders.size() - 1);
  folder_close(d);
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
            [](const Entry& a, const Entry& b) { return walk_order(a.name, b.name); });
}

}  // namespace cuelint
