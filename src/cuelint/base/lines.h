// Cuts decoded text into lines. LF, CR LF and a lone CR each end a line; the buffer grows to
// hold the longest one, up to a limit: a line longer than that ends the text before it
// (cut.h). Lines are handed out as views into the buffer, valid until the next call: no
// copy and no allocation per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "cut.h"
#include "encoding.h"

namespace cuelint {

struct Line {
  std::string_view text;     // without its end
  std::uint64_t number = 0;  // from 1
  // Not single-byte text. A file without a byte-order mark may be found single-byte only
  // at its first byte beyond ASCII; the lines before it read alike either way.
  bool unicode = true;
};

class LineReader {
 public:
  // The buffer is not cleared: a file of a few kilobytes does not pay for 64 KiB of zeros.
  explicit LineReader(Decoder& dec, std::size_t initial = 65536,
                      std::size_t max_line = static_cast<std::size_t>(kMaxLine))
      : dec_(dec), buf_(new char[initial + kSlack]), size_(initial), max_line_(max_line) {
    line_.unicode = dec.unicode();
  }

  // The next line, valid until the next call; null at the end of the text, and at a line
  // longer than the limit.
  const Line* next() {
    if (k_ == n_) return next_indexed();
    std::size_t at = ends_[k_];
    if (at - begin_ > max_line_) return too_long();
    ++k_;
    const char* b = buf_.get();
    line_.text = std::string_view(b + begin_, at - begin_);
    ++line_.number;
    // The byte after a line end is always there to look at (the text, or the byte put
    // after its end): a CR LF pair is passed over without a branch.
    begin_ = at + 1 + ((b[at] == '\r') & (b[at + 1] == '\n'));
    return &line_;
  }

  // Past the buffer's size: the byte put after the text's end, and room for 64-byte loads.
  static constexpr std::size_t kSlack = 64;
  // Line ends are found for this many bytes at a time, so that their offsets stay in cache.
  static constexpr std::size_t kSpan = 1024;

  // The number of the line found longer than the limit, where the text ended; 0: none was.
  std::uint64_t long_line() const { return long_line_; }

 private:
  const Line* too_long();        // ends the text at the line not handed out
  const Line* next_indexed();    // index more of the text, or read more
  bool fill();                   // more text behind end_; false at the end
  void index(std::size_t stop);  // the line ends in [scan_, stop), or kSpan of it

  Decoder& dec_;
  std::unique_ptr<char[]> buf_;
  std::size_t size_;
  std::size_t max_line_;
  std::uint64_t long_line_ = 0;
  std::size_t begin_ = 0, end_ = 0;  // the text not yet handed out
  std::size_t scan_ = 0;             // where the search for line ends goes on
  bool eof_ = false;
  Line line_;  // the last line handed out; unicode as the decoder says after its last read
  // Offsets of the line ends found and not yet handed out: ends_[k_] to ends_[n_ - 1]. A
  // line end is a CR, or an LF that does not follow a CR.
  std::size_t k_ = 0, n_ = 0;
  std::size_t ends_[kSpan + 8];
};

}  // namespace cuelint
