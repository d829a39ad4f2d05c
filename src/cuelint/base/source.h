// Byte sources a file is read from, more than once: the format is decided on a first pass
// and the checks run on a second; the encoding, when it is not plain, takes one more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cuelint {

// A read or seek failure. `error` is an errno value.
struct ReadError {
  int error;
};

class Source {
 public:
  virtual ~Source() = default;
  // Up to n bytes into buf; 0 at the end. Throws ReadError.
  virtual std::size_t read(char* buf, std::size_t n) = 0;
  // Back to the first byte. Throws ReadError.
  virtual void rewind() = 0;
  // To byte pos (at most the bytes read so far). Throws ReadError. This one reads again
  // from the start; sources that can do better do.
  virtual void seek(std::uint64_t pos);
};

class MemorySource : public Source {
 public:
  MemorySource(const void* data, std::size_t size)
      : data_(static_cast<const char*>(data)), size_(size) {}
  std::size_t read(char* buf, std::size_t n) override;
  void rewind() override { pos_ = 0; }
  void seek(std::uint64_t pos) override { pos_ = pos < size_ ? pos : size_; }

 private:
  const char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// An open file descriptor, closed with the source. One that cannot seek (a pipe given as a path) is
// copied to an unnamed temporary file while it is read the first time, so that memory stays
// bounded.
class FdSource : public Source {
 public:
  explicit FdSource(int fd);
  ~FdSource() override;
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;
  std::size_t read(char* buf, std::size_t n) override;
  void rewind() override { seek(0); }
  void seek(std::uint64_t pos) override;

 private:
  int fd_;          // owned
  int copy_ = -1;   // the copy being written on the first pass
  int spool_ = -1;  // the finished copy, read on later passes
  bool seekable_;
};

// Opens a path for reading: a FdSource, or errno.
int open_for_reading(const std::string& path, int* fd_out);

}  // namespace cuelint
