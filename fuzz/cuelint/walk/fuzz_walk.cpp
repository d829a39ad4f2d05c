// libFuzzer target for cuelint's walk and batch: a scratch folder tree built from the input
// (names of any bytes, files, folders, links, FIFOs), walked, then checked by the batch
// while the tree changes under it.
//
// Input layout:
//   byte 0      bits 0-1: workers - 1; bit 2: JSON lines rather than text
//   then ops    one byte each, its low 3 bits the op, the rest (k) its argument:
//     0 folder  a folder named by the next name, entered
//     1 up      back to the folder above (not above the root)
//     2 file    a file named by the next name, its content the next k * 8 bytes
//     3 link    a link named by the next name, to the k-th node made so far (k past them:
//               to /dev/zero, /dev/null, nowhere, or the root in turn)
//     4 fifo    a FIFO named by the next name
//     5 change  node k (of those made) changed when the printer next prints: made a FIFO,
//               a link to /dev/zero, removed, or a link to the root, by turns
//     6 early   as 5, but before the batch starts (after the walk)
//   a name      a length byte (at most 24), then its bytes ("/" and NUL become "_"), then
//               an ending by the length byte's top bits: .srt .sub .vtt .txt
//
// Checked besides crashes, sanitizer reports, leaks and hangs (a FIFO waited on is one):
// the walk's entries lie below the root, in walk order, each once; a FIFO made before the
// walk is never a file to check; the batch accounts for every entry.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "batch.h"
#include "report_names.h"
#include "walk.h"
#include "writer.h"

using namespace cuelint;
namespace fs = std::filesystem;

namespace {

struct Input {
  const uint8_t* p;
  std::size_t n;
  bool take(uint8_t& b) {
    if (n == 0) return false;
    b = *p++;
    --n;
    return true;
  }
};

const char* const kEndings[] = {".srt", ".sub", ".vtt", ".txt"};

std::string root_path() {
  static const std::string root = [] {
    std::string r =
        (fs::temp_directory_path() / ("cuelint-fuzz-walk-" + std::to_string(::getpid()))).string();
    return r;
  }();
  return root;
}

void clear_tree(const std::string& root) {
  std::error_code ec;
  // A folder left without permission would stop the removal.
  fs::remove_all(root, ec);
}

struct Change {
  std::string path;
  unsigned how;
};

void make_change(const Change& c, const std::string& root) {
  std::error_code ec;
  fs::remove_all(c.path, ec);
  switch (c.how % 4) {
    case 0:
      ::mkfifo(c.path.c_str(), 0644);
      break;
    case 1:
      ::symlink("/dev/zero", c.path.c_str());
      break;
    case 2:
      break;  // gone
    default:
      ::symlink(root.c_str(), c.path.c_str());
  }
}

// Takes the report on the printer's side; each print applies the next change to the tree.
class Changer : public Writer {
 public:
  Changer(bool json, std::vector<Change>& changes, const std::string& root)
      : inner_(make_writer(json ? OutputFormat::kJson : OutputFormat::kText)),
        changes_(changes),
        root_(root) {}
  void fault(std::string& out, const std::string& file, const Fault& f) const override {
    inner_->fault(out, file, f);
  }
  void checked(std::string& out, const FileRecord& r) const override { inner_->checked(out, r); }
  std::string_view print(std::string& lines) override {
    if (next_ < changes_.size()) make_change(changes_[next_++], root_);
    (void)lines;
    return std::string_view();
  }

 private:
  std::unique_ptr<Writer> inner_;
  std::vector<Change>& changes_;
  const std::string& root_;
  std::size_t next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Input in{data, size};
  uint8_t head = 0;
  if (!in.take(head)) return 0;
  const std::string root = root_path();
  clear_tree(root);
  fs::create_directories(root);
  std::vector<std::string> nodes;  // paths made, in order
  std::set<std::string> fifos;     // FIFOs made before the walk
  std::vector<Change> later, early;
  std::vector<std::string> stack = {root};
  uint8_t op;
  while (in.take(op) && nodes.size() < 64) {
    unsigned kind = op & 7, k = op >> 3;
    std::string name;
    if (kind == 0 || kind == 2 || kind == 3 || kind == 4) {
      uint8_t len = 0;
      if (!in.take(len)) break;
      for (unsigned i = 0; i < (len & 31u) % 25 && in.n; ++i) {
        uint8_t c = 0;
        in.take(c);
        name += c == '/' || c == 0 ? '_' : static_cast<char>(c);
      }
      name += kEndings[len >> 6];
      if (name == "." || name == "..") name += "_";
    }
    std::string path = stack.back() + "/" + name;
    switch (kind) {
      case 0:
        if (stack.size() < 8 && ::mkdir(path.c_str(), 0755) == 0) {
          nodes.push_back(path);
          stack.push_back(path);
        }
        break;
      case 1:
        if (stack.size() > 1) stack.pop_back();
        break;
      case 2: {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd == -1) break;
        std::size_t n = std::min<std::size_t>(k * 8u, in.n);
        if (n && ::write(fd, in.p, n) < 0) n = 0;
        in.p += n;
        in.n -= n;
        ::close(fd);
        nodes.push_back(path);
        break;
      }
      case 3: {
        static const char* const kFar[] = {"/dev/zero", "/dev/null", "nowhere.srt"};
        std::string target = k < nodes.size() ? nodes[k] : k % 4 == 3 ? root : kFar[k % 4];
        if (::symlink(target.c_str(), path.c_str()) == 0) nodes.push_back(path);
        break;
      }
      case 4:
        if (::mkfifo(path.c_str(), 0644) == 0) {
          nodes.push_back(path);
          fifos.insert(path);
        }
        break;
      case 5:
      case 6:
        if (!nodes.empty()) (kind == 5 ? later : early).push_back({nodes[k % nodes.size()], k});
        break;
      default:
        break;
    }
  }

  std::vector<Entry> entries;
  std::vector<WalkFolder> folders;
  expand_path(root, entries, folders);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (e.name.compare(0, root.size(), root) != 0) __builtin_trap();
    if (!seen.insert(e.name).second) __builtin_trap();
    if (i && !walk_order(entries[i - 1].name, e.name)) __builtin_trap();
    if (fifos.count(e.name) && e.reason.empty()) __builtin_trap();
    if (e.folder != kNoFolder && e.folder >= folders.size()) __builtin_trap();
  }
  for (const Change& c : early) make_change(c, root);

  Changer writer(head & 4, later, root);
  BatchConfig cfg;
  cfg.jobs = (head & 3u) + 1;
  cfg.writer = &writer;
  cfg.folders = &folders;
  BatchResult r = run_batch(entries, cfg);
  if (!r.write_error && !r.out_of_memory && r.totals.files + r.totals.unreadable != entries.size())
    __builtin_trap();
  clear_tree(root);
  return 0;
}
