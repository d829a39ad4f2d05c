// The faults of one subtitle beyond what is held in memory: sorted runs in a temporary
// file, merged back in report order when the subtitle ends. A run stores what differs
// between faults of one subtitle (line, column, check, message), in a few bytes each when
// they follow one another closely; the rest comes from the subtitle when read back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform.h"
#include "types.h"

namespace cuelint {

// Report order: line, then check, then column.
inline bool report_before(const Fault& a, const Fault& b) {
  if (a.line != b.line) return a.line < b.line;
  if (a.check != b.check) return a.check < b.check;
  return a.column < b.column;
}

class FaultSpill {
 public:
  FaultSpill() = default;
  ~FaultSpill();
  FaultSpill(const FaultSpill&) = delete;
  FaultSpill& operator=(const FaultSpill&) = delete;

  bool empty() const { return runs_.empty(); }
  // Faults in report order, written after those of earlier calls: they extend the last
  // run when they all sort after it, else begin one. Throws ReadError.
  void add(const Fault* f, std::size_t n);
  // Every fault given, and then `tail` (in report order, the latest), in report order, to
  // out; faults equal in order come in the order they were given. `like` gives the
  // fields that are not stored. Forgets them all. Throws ReadError.
  // Their severity is the options' for their check.
  void merge(const Fault* tail, std::size_t n, const Fault& like, const Options& opt,
             FaultSink& out);
  // Runs merged at a time; more are merged in steps.
  static constexpr std::size_t kWays = 32;

 private:
  struct Run {
    std::uint64_t at = 0, size = 0;  // bytes in the file
  };
  struct Reader;
  void flush();
  // Merges runs [0, k) into one at the end of the file, put first.
  void merge_first(std::size_t k);

  File file_;
  std::uint64_t end_ = 0;  // of what is written
  std::vector<Run> runs_;
  // The last run's last fault, which the next one is stored against.
  Fault last_;
  std::vector<unsigned char> out_;  // waiting to be written
};

}  // namespace cuelint
