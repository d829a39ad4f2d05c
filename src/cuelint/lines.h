// Cuts decoded text into lines. LF, CR LF and a lone CR each end a line; a line may be of
// any length (the buffer grows to hold the longest one). Lines are handed out as views into
// the buffer, valid until the next call: no copy and no allocation per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "cuelint/encoding.h"

namespace cuelint {

class LineReader {
 public:
  // The buffer is not cleared: a file of a few kilobytes does not pay for 64 KiB of zeros.
  explicit LineReader(Decoder& dec, std::size_t initial = 65536)
      : dec_(dec), buf_(new char[initial]), size_(initial) {}
  // The next line without its end; false at the end of the text.
  bool next(std::string_view& line);
  // Number of the line last handed out, from 1.
  std::uint64_t number() const { return number_; }

 private:
  bool fill();  // more text behind end_; false at the end
  // Offset of the first line end at or after from, or end_ when none is there.
  std::size_t find_end(std::size_t from);
  std::uint64_t block_mask(std::size_t block) const;

  Decoder& dec_;
  std::unique_ptr<char[]> buf_;
  std::size_t size_;
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false;
  std::uint64_t number_ = 0;
  // The line ends of one 64-byte block of the buffer, one bit a byte: lines are found by
  // counting bits, not by scanning each line anew.
  bool mask_valid_ = false;
  std::size_t block_ = 0;
  std::uint64_t mask_ = 0;
};

}  // namespace cuelint
