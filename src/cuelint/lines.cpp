#include "cuelint/lines.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cuelint {

bool LineReader::fill() {
  if (eof_) return false;
  mask_valid_ = false;  // the text moves, or more of it comes
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (size_ - end_ < 8) {
    // A line longer than the buffer: twice the room.
    std::unique_ptr<char[]> bigger(new char[size_ * 2]);
    std::memcpy(bigger.get(), buf_.get(), end_);
    buf_ = std::move(bigger);
    size_ *= 2;
  }
  std::size_t got = dec_.read(buf_.get() + end_, size_ - end_);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  return true;
}

std::uint64_t LineReader::block_mask(std::size_t block) const {
  const char* p = buf_.get() + block;
  std::size_t avail = end_ - block;
  alignas(16) char copy[64];
  if (avail < 64) {
    // The last bytes of the text: past them the buffer holds nothing read.
    std::size_t n = avail < 64 ? avail : 64;
    std::memcpy(copy, p, n);
    std::memset(copy + n, 0, 64 - n);
    p = copy;
  }
  std::uint64_t m = 0;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
  for (int k = 0; k < 4; ++k) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    unsigned bits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
    m |= static_cast<std::uint64_t>(bits) << (16 * k);
  }
#else
  for (int k = 0; k < 64; ++k)
    if (p[k] == '\n' || p[k] == '\r') m |= std::uint64_t{1} << k;
#endif
  if (avail < 64) m &= (std::uint64_t{1} << avail) - 1;  // bytes past the text
  return m;
}

std::size_t LineReader::find_end(std::size_t from) {
  while (from < end_) {
    if (!mask_valid_ || from < block_ || from >= block_ + 64) {
      block_ = from & ~static_cast<std::size_t>(63);
      mask_ = block_mask(block_);
      mask_valid_ = true;
    }
    std::uint64_t m = mask_ & (~std::uint64_t{0} << (from - block_));
    if (m) return block_ + static_cast<std::size_t>(__builtin_ctzll(m));
    from = block_ + 64;
  }
  return end_;
}

bool LineReader::next(std::string_view& line) {
  std::size_t scan = begin_;  // bytes before scan hold no line end
  for (;;) {
    std::size_t at = find_end(scan);
    if (at < end_) {
      std::size_t after = at + 1;
      if (buf_[at] == '\r') {
        if (after == end_ && !eof_) {
          // A CR at the end of the buffer: an LF may follow it.
          std::size_t off = at - begin_;
          if (fill()) {
            scan = begin_ + off;
            continue;
          }
          at = begin_ + off;  // fill() moved the text to the front
          after = at + 1;
        } else if (after < end_ && buf_[after] == '\n') {
          ++after;
        }
      }
      line = std::string_view(buf_.get() + begin_, at - begin_);
      begin_ = after;
      ++number_;
      return true;
    }
    std::size_t off = end_ - begin_;
    if (!fill()) {
      if (begin_ == end_) return false;
      line = std::string_view(buf_.get() + begin_, end_ - begin_);
      begin_ = end_;
      ++number_;
      return true;
    }
    scan = begin_ + off;
  }
}

}  // namespace cuelint
