#include "cuelint/lines.h"

#include <cstring>

namespace cuelint {

bool LineReader::fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (buf_.size() - end_ < 8) buf_.resize(buf_.size() * 2);
  std::size_t got = dec_.read(buf_.data() + end_, buf_.size() - end_);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::next(std::string_view& line) {
  std::size_t scan = 0;  // offset from begin_ of the first byte not searched yet
  for (;;) {
    const char* start = buf_.data() + begin_;
    std::size_t avail = end_ - begin_;
    const char* p = start + scan;
    std::size_t n = avail - scan;
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', n));
    std::size_t upto = lf ? static_cast<std::size_t>(lf - p) : n;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', upto));
    const char* eol = cr ? cr : lf;
    if (eol) {
      std::size_t len = static_cast<std::size_t>(eol - start);
      std::size_t skip = 1;
      if (*eol == '\r') {
        if (len + 1 == avail && !eof_) {
          // A CR at the end of the buffer: an LF may follow it.
          if (fill()) {
            scan = len;
            continue;
          }
          start = buf_.data() + begin_;  // fill() moved the text to the front
        } else if (len + 1 < avail && start[len + 1] == '\n') {
          skip = 2;
        }
      }
      line = std::string_view(start, len);
      begin_ += len + skip;
      ++number_;
      return true;
    }
    scan = avail;
    if (!fill()) {
      if (avail == 0) return false;
      line = std::string_view(buf_.data() + begin_, avail);
      begin_ = end_;
      ++number_;
      return true;
    }
  }
}

}  // namespace cuelint
