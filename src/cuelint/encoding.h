// The encoding of a file, decided on a first pass over its bytes, and the decoder that turns
// the file into the UTF-8 (or single-byte) text the lines are cut from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cuelint/source.h"
#include "cuelint/types.h"

namespace cuelint {

struct EncodingResult {
  Encoding encoding = Encoding::kUtf8;
  const char* fault = nullptr;  // a file that is not what its byte-order mark says
};

// Reads the whole source once; leaves it at an unspecified position.
EncodingResult detect_encoding(Source& src);

// Streaming well-formedness check of UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
class Utf8Validator {
 public:
  // False as soon as the bytes seen so far cannot be the start of well-formed UTF-8.
  bool feed(const unsigned char* p, std::size_t n);
  // True when everything fed was well-formed and no sequence is left open.
  bool finish() const { return ok_ && need_ == 0; }

 private:
  bool ok_ = true;
  int need_ = 0;  // continuation bytes still expected
  unsigned char lo_ = 0x80, hi_ = 0xBF;
};

// Decoded text: UTF-8 without its byte-order mark, UTF-16 turned into UTF-8, or single-byte
// text as it stands. The source must be at its start.
class Decoder {
 public:
  Decoder(Source& src, Encoding enc) : src_(src), enc_(enc) {}
  // Up to cap (>= 8) bytes; 0 only at the end.
  std::size_t read(char* out, std::size_t cap);

 private:
  std::size_t read_utf16(char* out, std::size_t cap);

  Source& src_;
  Encoding enc_;
  bool started_ = false;
  // UTF-16 only: raw bytes not yet decoded.
  unsigned char raw_[65536];
  std::size_t raw_pos_ = 0, raw_end_ = 0;
  bool raw_eof_ = false;
  std::uint32_t high_ = 0;  // a high surrogate waiting for its pair
};

// Appends the UTF-8 form of code point cp; returns the bytes written (1 to 4).
std::size_t put_utf8(std::uint32_t cp, char* out);

}  // namespace cuelint
