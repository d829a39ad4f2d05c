// The encoding of a file, and the decoder that turns the file into the UTF-8 (or
// single-byte) text the lines are cut from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "convert.h"
#include "source.h"
#include "types.h"

namespace cuelint {

struct EncodingResult {
  Encoding encoding = Encoding::kUtf8;
  const char* fault = nullptr;  // a file that is not what its byte-order mark says
  // Where a line too long begins, which ended the file for the encoding; all ones: none.
  std::uint64_t cut = ~std::uint64_t{0};
};

// Reads the whole source once (a file neither marked nor UTF-8 once more); leaves it at an
// unspecified position. named: what --encoding gave, for a file neither marked nor UTF-8.
EncodingResult detect_encoding(Source& src, const char* named = nullptr);

// A file without a mark found not to be UTF-8: in named when given, else a legacy encoding
// the detector names, else single-byte text. Leaves the source at an unspecified position.
Encoding settle_not_utf8(Source& src, const char* named);

// Decoded to UTF-8 by the system's converter.
inline bool converted(Encoding e) {
  return e >= Encoding::kShiftJis;
}

// The encoding its byte-order mark gives a file (kUtf8 when it has none), from its first
// bytes; leaves the source at an unspecified position.
Encoding encoding_of_mark(Source& src);

// What is known of a file's encoding while it is read. A file without a mark is UTF-8 when
// the whole of it is well-formed, else single-byte text, so in principle it must be read to
// its end first. But the two readings differ only on bytes from 0x80 and on 0B and 0C
// (white space in UTF-8, characters in single-byte text): lines without such bytes are read
// alike either way. So the decoder decides at the first such byte, and a file without any
// (most files are) is read once instead of twice.
struct EncodingState {
  Encoding encoding = Encoding::kUtf8;
  bool known = true;
  bool unicode = true;          // not single-byte text
  const char* named = nullptr;  // the --encoding name, its superset when it has one

  void set(Encoding e) {
    encoding = e;
    known = true;
    unicode = e != Encoding::kSingleByte;
  }
};

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

// Streaming well-formedness check of UTF-16 after its byte-order mark: an even number of
// bytes, every surrogate in a pair.
class Utf16Validator {
 public:
  explicit Utf16Validator(bool little_endian) : le_(little_endian) {}
  void feed(const unsigned char* p, std::size_t n);
  // Null when everything fed was well-formed; else what is wrong. The length is counted to
  // the end, so an odd length is named even where a surrogate is unpaired before it.
  const char* fault() const;

 private:
  void unit(unsigned b0, unsigned b1);

  bool le_;
  bool odd_ = false;         // an odd number of bytes so far
  unsigned char first_ = 0;  // the last of them, waiting for the other half of its unit
  bool high_ = false;        // the last code unit was a high surrogate
  bool unpaired_ = false;    // the rest does not matter but for the length
};

// Decoded text: UTF-8 without its byte-order mark, UTF-16 turned into UTF-8, or single-byte
// text as it stands. The source must be at its start.
class Decoder {
 public:
  Decoder(Source& src, Encoding enc) : src_(src), st_(own_) { own_.set(enc); }
  // An encoding that may not be known yet (a file without a mark): decided, and st set,
  // when the first byte that matters comes, by reading the rest of the file and coming back.
  Decoder(Source& src, EncodingState& st) : src_(src), st_(st) {}
  // Up to cap (>= 8) bytes; 0 only at the end.
  std::size_t read(char* out, std::size_t cap);
  // Not single-byte text, as far as is known after the last read.
  bool unicode() const { return st_.unicode; }
  // Decides the encoding now, if it is not known, from the bytes not read yet: those read
  // were all ASCII. The reading goes on where it stood.
  void decide_now() {
    if (!st_.known) decide(0);
  }

 private:
  std::size_t read_utf16(char* out, std::size_t cap);
  std::size_t read_converted(char* out, std::size_t cap);
  bool fill_raw();             // keeps what is left of raw_, reads more behind it; false at the end
  void decide(std::size_t n);  // the last n bytes read are the first that matter

  Source& src_;
  EncodingState own_;
  EncodingState& st_;
  std::uint64_t pos_ = 0;  // bytes of the source read
  bool started_ = false;
  // UTF-16: raw bytes not yet decoded. A file without a mark: the bytes read ahead to
  // decide its encoding.
  unsigned char raw_[65536];
  std::size_t raw_pos_ = 0, raw_end_ = 0;
  bool raw_eof_ = false;
  std::uint32_t high_ = 0;           // a high surrogate waiting for its pair
  std::unique_ptr<Converter> conv_;  // a legacy encoding's, once it is read
};

// Appends the UTF-8 form of code point cp; returns the bytes written (1 to 4).
std::size_t put_utf8(std::uint32_t cp, char* out);

}  // namespace cuelint
