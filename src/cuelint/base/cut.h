// The longest line read: a line longer than this, as decoded to UTF-8 (single-byte text:
// its bytes) and without its end, is not a subtitle's, and the file is read as if it
// ended before it. The line reader finds such a line in decoded text; the passes that read
// raw bytes to their end (the encoding's) stop at it with LongLineScan, so that neither
// memory nor a pipe or a device without end keeps them going.
#pragma once

#include <cstddef>
#include <cstdint>

#include "source.h"
#include "types.h"

namespace cuelint {

constexpr std::uint64_t kMaxLine = 16777216;
constexpr std::uint64_t kNoCut = ~std::uint64_t{0};

// Bytes of a file fed in order: where the first line longer than the limit begins, once
// that is certain. UTF-16 is measured as its UTF-8 form (a surrogate pair 4 bytes, a lone
// surrogate 2); any other encoding in bytes, a CR, an LF or a CR LF ending a line, which
// every ASCII-based encoding reads so. A legacy encoding decodes to at least as many bytes
// as it has, so a line found long here is long decoded; the line reader finds the others.
class LongLineScan {
 public:
  // first: where the text begins in the file (after a byte-order mark).
  explicit LongLineScan(Encoding e, std::uint64_t first = 0, std::uint64_t limit = kMaxLine);
  // True once a line is known to be too long; cut() is then where it begins.
  bool feed(const unsigned char* p, std::size_t n);
  std::uint64_t cut() const { return cut_; }

 private:
  bool feed_units(const unsigned char* p, std::size_t n);

  int utf16_;  // 0: not UTF-16; 1: little-endian; 2: big-endian
  std::uint64_t limit_;
  std::uint64_t pos_;         // of the next byte fed
  std::uint64_t start_;       // of the line being read
  std::uint64_t length_ = 0;  // UTF-16: its UTF-8 bytes so far
  bool odd_ = false;          // UTF-16: half a unit waiting
  unsigned char half_ = 0;
  std::uint64_t cut_ = kNoCut;
};

// Another source's first `end` bytes: a file read as if it ended there.
class CutSource : public Source {
 public:
  CutSource(Source& src, std::uint64_t end) : src_(src), end_(end) {}
  std::size_t read(char* buf, std::size_t n) override;
  void rewind() override {
    src_.rewind();
    pos_ = 0;
  }
  void seek(std::uint64_t pos) override;

 private:
  Source& src_;
  std::uint64_t end_;
  std::uint64_t pos_ = 0;
};

// Reads src from its start, fed to a scan; kNoCut when it has no line too long. Leaves the
// source at an unspecified position.
std::uint64_t find_cut(Source& src, Encoding e, std::uint64_t first = 0,
                       std::uint64_t limit = kMaxLine);

}  // namespace cuelint
