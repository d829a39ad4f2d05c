// Opening what the walk found, and only that: below its folder, one name at a time from the
// path given, its last link not followed unless the walk followed it, and read only when it
// is a regular file once open.
#pragma once

#include <string>
#include <vector>

#include "platform.h"
#include "walk.h"

namespace cuelint {

// A worker's open folder, kept while the files it takes lie in it (files come in walk
// order, so neighbours share their folder).
class FolderCache {
 public:
  FolderCache() = default;
  FolderCache(const FolderCache&) = delete;
  FolderCache& operator=(const FolderCache&) = delete;
  ~FolderCache() { drop(); }
  // Folder i of folders, open; 0 or the system's error.
  int open(const std::vector<WalkFolder>& folders, std::size_t i, FolderList** d);

 private:
  void drop();
  FolderList* d_ = nullptr;
  std::size_t at_ = kNoFolder;
};

// Opens an entry's file for reading: false with reason set when it cannot be, or is not a
// regular file by now. A path given (folder kNoFolder, or no folders) is opened as it is.
bool open_entry(const Entry& e, const std::vector<WalkFolder>* folders, FolderCache& cache, File* f,
                std::string& reason);

}  // namespace cuelint
