#include "cut.h"

#include "bytes.h"

namespace cuelint {

LongLineScan::LongLineScan(Encoding e, std::uint64_t first, std::uint64_t limit)
    : utf16_(e == Encoding::kUtf16Le   ? 1
             : e == Encoding::kUtf16Be ? 2
                                       : 0),
      limit_(limit),
      pos_(first),
      start_(first) {}

bool LongLineScan::feed(const unsigned char* p, std::size_t n) {
  if (cut_ != kNoCut) return true;
  if (utf16_) return feed_units(p, n);
  const std::uint64_t base = pos_;
  pos_ += n;
  if (n > limit_) {
    // Every line end, as a chunk may hold a whole line too long.
    for (std::size_t i = 0; i < n;) {
      std::size_t e = i + bytes::find_either(p + i, n - i, '\r', '\n');
      if (e == n) break;
      if (base + e - start_ > limit_) {
        cut_ = start_;
        return true;
      }
      start_ = base + e + 1;
      i = e + 1;
    }
  } else {
    // Only the line that runs into the chunk and the one that runs out of it can be too
    // long: the first line end and the last are all that is looked for.
    std::size_t e = bytes::find_either(p, n, '\r', '\n');
    if (e < n) {
      if (base + e - start_ > limit_) {
        cut_ = start_;
        return true;
      }
      std::size_t last = n - 1;
      while (p[last] != '\r' && p[last] != '\n') --last;
      start_ = base + last + 1;
    }
  }
  if (pos_ - start_ > limit_) cut_ = start_;
  return cut_ != kNoCut;
}

bool LongLineScan::feed_units(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  auto unit = [&](unsigned b0, unsigned b1) {
    unsigned u = utf16_ == 1 ? (b0 | b1 << 8) : (b0 << 8 | b1);
    pos_ += 2;
    if (u == '\r' || u == '\n') {
      // An LF after a CR ends nothing, and its line is empty: the same start either way.
      start_ = pos_;
      length_ = 0;
      return;
    }
    length_ += u < 0x80 ? 1 : u < 0x800 ? 2 : (u >= 0xD800 && u <= 0xDFFF) ? 2 : 3;
    if (length_ > limit_) cut_ = start_;
  };
  if (odd_ && n) {
    --pos_;  // the half counted already
    unit(half_, p[i++]);
    odd_ = false;
  }
  for (; i + 1 < n && cut_ == kNoCut; i += 2) unit(p[i], p[i + 1]);
  if (cut_ == kNoCut && i < n) {
    odd_ = true;
    half_ = p[i];
    ++pos_;
  }
  return cut_ != kNoCut;
}

std::size_t CutSource::read(char* buf, std::size_t n) {
  if (pos_ >= end_) return 0;
  if (n > end_ - pos_) n = static_cast<std::size_t>(end_ - pos_);
  std::size_t got = src_.read(buf, n);
  pos_ += got;
  return got;
}

void CutSource::seek(std::uint64_t pos) {
  if (pos > end_) pos = end_;
  src_.seek(pos);
  pos_ = pos;
}

std::uint64_t find_cut(Source& src, Encoding e, std::uint64_t first, std::uint64_t limit) {
  src.rewind();
  LongLineScan scan(e, first, limit);
  unsigned char buf[65536];
  std::uint64_t skip = first;  // the mark: no line's bytes
  for (;;) {
    std::size_t got = src.read(reinterpret_cast<char*>(buf), sizeof buf);
    if (got == 0) return kNoCut;
    std::size_t from = skip < got ? static_cast<std::size_t>(skip) : got;
    skip -= from;
    if (scan.feed(buf + from, got - from)) return scan.cut();
  }
}

}  // namespace cuelint
