#include "lines.h"

#include <cstring>

#include "bytes.h"

namespace cuelint {

bool LineReader::fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    scan_ -= begin_;
    begin_ = 0;
  }
  if (size_ - end_ < 8) {
    // A line longer than the buffer: twice the room, but no more than the longest line
    // needs to be told from one too long.
    std::size_t room = size_ * 2, most = max_line_ + 4096;
    if (room > most) room = most > size_ ? most : size_ + 8;
    std::unique_ptr<char[]> bigger(new char[room + kSlack]);
    std::memcpy(bigger.get(), buf_.get(), end_);
    buf_ = std::move(bigger);
    size_ = room;
  }
  std::size_t got = dec_.read(buf_.get() + end_, size_ - end_);
  line_.unicode = dec_.unicode();
  if (got == 0) {
    eof_ = true;
    buf_[end_] = 0;  // not an LF: a CR at the very end is a line end of its own
    return false;
  }
  end_ += got;
  return true;
}

void LineReader::index(std::size_t stop) {
  if (stop - scan_ > kSpan) stop = scan_ + kSpan;
  const char* b = buf_.get();
  // An LF right after a CR ends no line: the CR did. No CR stands just before scan_: one
  // found by the last call has been handed out, and begin_ (so scan_) passed its LF.
  std::uint64_t after_cr = 0;
  std::size_t n = 0;
  for (std::size_t at = scan_; at < stop; at += 64) {
    const bytes::Eol64 m = bytes::eol64(b + at);
    std::uint64_t cr = m.cr, lf = m.lf;
    if (stop - at < 64) {
      const std::uint64_t keep = bytes::low_bits(stop - at);  // not the bytes past stop
      cr &= keep;
      lf &= keep;
    }
    std::uint64_t e = cr | (lf & ~((cr << 1) | after_cr));
    after_cr = cr >> 63;
    // Four offsets are written whatever their number (most blocks hold four or fewer):
    // the loop for the rest seldom runs, so seldom mispredicts.
    std::size_t* out = ends_ + n;
    std::size_t count = 0;
    for (int j = 0; j < 4; ++j) {
      out[j] = at + static_cast<std::size_t>(bytes::ctz64(e | (std::uint64_t{1} << 63)));
      count += e != 0;
      e &= e - 1;
    }
    for (; e; e &= e - 1) out[count++] = at + static_cast<std::size_t>(bytes::ctz64(e));
    n += count;
  }
  scan_ = stop;
  k_ = 0;
  n_ = n;
}

const Line* LineReader::too_long() {
  long_line_ = line_.number + 1;
  // Nothing more is read or handed out.
  eof_ = true;
  begin_ = scan_ = end_;
  k_ = n_ = 0;
  return nullptr;
}

const Line* LineReader::next_indexed() {
  for (;;) {
    if (long_line_) return nullptr;
    if (scan_ < begin_) scan_ = begin_;  // a CR LF pair that ended the last span
    std::size_t stop = end_;
    // A CR as the last byte read: an LF may come with the next read.
    if (!eof_ && stop > scan_ && buf_[stop - 1] == '\r') --stop;
    if (scan_ < stop) {
      index(stop);
      if (n_) return next();
      continue;
    }
    // No end in the line so far: past the limit, it is too long whatever follows.
    if (stop - begin_ > max_line_) return too_long();
    if (eof_) {
      if (begin_ >= end_) return nullptr;
      line_.text = std::string_view(buf_.get() + begin_, end_ - begin_);  // no end after it
      ++line_.number;
      begin_ = scan_ = end_;
      return &line_;
    }
    fill();
  }
}

}  // namespace cuelint
