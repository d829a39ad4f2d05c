#include "walk_open.h"

namespace cuelint {

namespace {

// Folder i from the path given down, each step below the last one's handle.
int open_chain(const std::vector<WalkFolder>& folders, std::size_t i, FolderList** d) {
  const WalkFolder& w = folders[i];
  if (w.parent == kNoFolder) return folder_open(w.path, d);
  FolderList* parent = nullptr;
  if (int err = open_chain(folders, w.parent, &parent)) return err;
  int err = folder_open_below(parent, w.path.substr(w.leaf_at), d);
  folder_close(parent);
  return err;
}

}  // namespace

void FolderCache::drop() {
  if (d_) folder_close(d_);
  d_ = nullptr;
  at_ = kNoFolder;
}

int FolderCache::open(const std::vector<WalkFolder>& folders, std::size_t i, FolderList** d) {
  if (at_ != i) {
    drop();
    if (int err = open_chain(folders, i, &d_)) {
      d_ = nullptr;
      return err;
    }
    at_ = i;
  }
  *d = d_;
  return 0;
}

bool open_entry(const Entry& e, const std::vector<WalkFolder>* folders, FolderCache& cache, File* f,
                std::string& reason) {
  if (e.from_stdin || e.folder == kNoFolder || !folders) {
    int err = e.from_stdin ? open_stdin(f) : open_read(e.name, f);
    if (err) reason = error_text(err);
    return err == 0;
  }
  FolderList* d = nullptr;
  int err = cache.open(*folders, e.folder, &d);
  if (err == 0) err = open_below(d, e.name.substr(e.leaf_at), e.follow, f);
  if (err) {
    reason = error_text(err);
    return false;
  }
  Kind k = Kind::kOther;
  if ((err = file_kind(*f, &k)) != 0 || k != Kind::kFile) {
    reason = err ? error_text(err) : "not a regular file";
    close_file(*f);
    *f = File();
    return false;
  }
  return true;
}

}  // namespace cuelint
