#include "source.h"

#include <cstring>

namespace cuelint {

std::size_t MemorySource::read(char* buf, std::size_t n) {
  std::size_t left = size_ - pos_;
  if (n > left) n = left;
  if (n) std::memcpy(buf, data_ + pos_, n);
  pos_ += n;
  return n;
}

void Source::seek(std::uint64_t pos) {
  rewind();
  char buf[4096];
  while (pos > 0) {
    std::size_t got = read(buf, pos < sizeof buf ? pos : sizeof buf);
    if (got == 0) return;
    pos -= got;
  }
}

FileSource::FileSource(File f) : file_(f), seekable_(can_seek(f)) {}

FileSource::~FileSource() {
  close_file(copy_);
  close_file(file_);
}

static std::size_t read_or_throw(File f, char* buf, std::size_t n) {
  std::size_t got = 0;
  if (int e = read_some(f, buf, n, &got)) throw ReadError{e};
  return got;
}

void FileSource::copy_at(std::uint64_t pos) {
  if (copy_pos_ == pos) return;
  if (int e = seek_to(copy_, pos)) throw ReadError{e};
  copy_pos_ = pos;
}

std::size_t FileSource::read(char* buf, std::size_t n) {
  if (seekable_) return read_or_throw(file_, buf, n);
  if (pos_ < copied_) {
    // Read before: from the copy.
    if (n > copied_ - pos_) n = static_cast<std::size_t>(copied_ - pos_);
    copy_at(pos_);
    std::size_t got = read_or_throw(copy_, buf, n);
    pos_ += got;
    copy_pos_ += got;
    return got;
  }
  if (drained_) return 0;
  std::size_t got = read_or_throw(file_, buf, n);
  if (got == 0) {
    drained_ = true;
    return 0;
  }
  // Copied as it comes, so that a later pass reads it again; a pass that stops early
  // (a line too long) leaves the rest of the stream unread.
  if (!copy_.open()) {
    if (int e = open_temp(&copy_)) throw ReadError{e};
    copy_pos_ = 0;
  }
  copy_at(copied_);
  if (int e = write_file(copy_, buf, got)) throw ReadError{e};
  copied_ += got;
  copy_pos_ = copied_;
  pos_ = copied_;
  return got;
}

void FileSource::seek(std::uint64_t pos) {
  if (seekable_) {
    if (int e = seek_to(file_, pos)) throw ReadError{e};
    return;
  }
  // Only bytes read before are sought: all in the copy.
  pos_ = pos < copied_ ? pos : copied_;
}

}  // namespace cuelint
