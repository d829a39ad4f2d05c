#include "source.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

FdSource::FdSource(int fd) : fd_(fd) {
  seekable_ = ::lseek(fd, 0, SEEK_CUR) != -1;
}

FdSource::~FdSource() {
  if (copy_ != -1) ::close(copy_);
  if (spool_ != -1) ::close(spool_);
  ::close(fd_);
}

static std::size_t read_some(int fd, char* buf, std::size_t n) {
  for (;;) {
    ssize_t got = ::read(fd, buf, n);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw ReadError{errno};
  }
}

static void write_all(int fd, const char* buf, std::size_t n) {
  while (n) {
    ssize_t put = ::write(fd, buf, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      throw ReadError{errno};
    }
    buf += put;
    n -= static_cast<std::size_t>(put);
  }
}

std::size_t FdSource::read(char* buf, std::size_t n) {
  if (spool_ != -1) return read_some(spool_, buf, n);
  std::size_t got = read_some(fd_, buf, n);
  if (!seekable_) {
    if (got == 0) {
      // The whole stream is in the copy now; from here on the copy is the source.
      return 0;
    }
    if (copy_ == -1) {
      std::FILE* tmp = std::tmpfile();
      if (!tmp) throw ReadError{errno};
      copy_ = ::dup(::fileno(tmp));
      std::fclose(tmp);
      if (copy_ == -1) throw ReadError{errno};
    }
    write_all(copy_, buf, got);
  }
  return got;
}

void FdSource::seek(std::uint64_t pos) {
  if (seekable_) {
    if (::lseek(fd_, static_cast<off_t>(pos), SEEK_SET) == -1) throw ReadError{errno};
    return;
  }
  if (spool_ == -1) {
    // Drain what the first pass did not read, then read the copy from its start.
    char buf[65536];
    while (read(buf, sizeof buf) != 0) {
    }
    spool_ = copy_;
    copy_ = -1;
    if (spool_ == -1) {
      // An empty stream: nothing was copied. Reading the empty pipe again gives 0.
      return;
    }
  }
  if (::lseek(spool_, static_cast<off_t>(pos), SEEK_SET) == -1) throw ReadError{errno};
}

int open_for_reading(const std::string& path, int* fd_out) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd == -1 && errno == EINTR);
  if (fd == -1) return errno;
  *fd_out = fd;
  return 0;
}

}  // namespace cuelint
