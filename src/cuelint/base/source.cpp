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
  close_file(spool_);
  close_file(file_);
}

static std::size_t read_or_throw(File f, char* buf, std::size_t n) {
  std::size_t got = 0;
  if (int e = read_some(f, buf, n, &got)) throw ReadError{e};
  return got;
}

std::size_t FileSource::read(char* buf, std::size_t n) {
  if (spool_.open()) return read_or_throw(spool_, buf, n);
  std::size_t got = read_or_throw(file_, buf, n);
  if (!seekable_ && got != 0) {
    // At the end the whole stream is in the copy, and from there on the copy is the source.
    if (!copy_.open()) {
      if (int e = open_temp(&copy_)) throw ReadError{e};
    }
    if (int e = write_file(copy_, buf, got)) throw ReadError{e};
  }
  return got;
}

void FileSource::seek(std::uint64_t pos) {
  if (seekable_) {
    if (int e = seek_to(file_, pos)) throw ReadError{e};
    return;
  }
  if (!spool_.open()) {
    // Drain what the first pass did not read, then read the copy from its start.
    char buf[65536];
    while (read(buf, sizeof buf) != 0) {
    }
    spool_ = copy_;
    copy_ = File();
    if (!spool_.open()) {
      // An empty stream: nothing was copied. Reading the empty pipe again gives 0.
      return;
    }
  }
  if (int e = seek_to(spool_, pos)) throw ReadError{e};
}

}  // namespace cuelint
