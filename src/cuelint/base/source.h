// Byte sources a file is read from, more than once: the format is decided on a first pass
// and the checks run on a second; the encoding, when it is not plain, takes one more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform.h"

namespace cuelint {

// A read or seek failure. `error` is the system's error number.
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

// An open file, closed with the source. One that cannot seek (a pipe given as a path) is
// copied to a nameless temporary file as far as it is read, so that memory stays bounded
// and the stream is read no further than a pass needs.
class FileSource : public Source {
 public:
  explicit FileSource(File f);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  std::size_t read(char* buf, std::size_t n) override;
  void rewind() override { seek(0); }
  void seek(std::uint64_t pos) override;

 private:
  void copy_at(std::uint64_t pos);

  File file_;  // owned
  bool seekable_;
  // A stream: its bytes read so far, in a temporary file; where the next read begins.
  File copy_;
  std::uint64_t copied_ = 0, copy_pos_ = 0, pos_ = 0;
  bool drained_ = false;
};

}  // namespace cuelint
