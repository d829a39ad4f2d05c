#include "encoding.h"

#include <cstring>

#include "bytes.h"
#include "cut.h"
#include "legacy.h"

namespace cuelint {

bool Utf8Validator::feed(const unsigned char* p, std::size_t n) {
  if (!ok_) return false;
  std::size_t i = 0;
  while (i < n) {
    if (need_ == 0) {
      // Plain ASCII in long strides: most subtitle text is.
      i += bytes::find_high(p + i, n - i);
      if (i >= n) break;
      unsigned char b = p[i++];
      if (b >= 0xC2 && b <= 0xDF) {
        need_ = 1, lo_ = 0x80, hi_ = 0xBF;
      } else if (b == 0xE0) {
        need_ = 2, lo_ = 0xA0, hi_ = 0xBF;  // no overlong three-byte forms
      } else if (b == 0xED) {
        need_ = 2, lo_ = 0x80, hi_ = 0x9F;  // no surrogates
      } else if (b >= 0xE1 && b <= 0xEF) {
        need_ = 2, lo_ = 0x80, hi_ = 0xBF;
      } else if (b == 0xF0) {
        need_ = 3, lo_ = 0x90, hi_ = 0xBF;  // no overlong four-byte forms
      } else if (b >= 0xF1 && b <= 0xF3) {
        need_ = 3, lo_ = 0x80, hi_ = 0xBF;
      } else if (b == 0xF4) {
        need_ = 3, lo_ = 0x80, hi_ = 0x8F;  // nothing above U+10FFFF
      } else {
        ok_ = false;
        return false;
      }
    } else {
      unsigned char b = p[i++];
      if (b < lo_ || b > hi_) {
        ok_ = false;
        return false;
      }
      --need_;
      lo_ = 0x80, hi_ = 0xBF;
    }
  }
  return true;
}

void Utf16Validator::feed(const unsigned char* p, std::size_t n) {
  if (unpaired_) {
    odd_ ^= n % 2 != 0;  // only the length counts now
    return;
  }
  std::size_t i = 0;
  if (odd_ && n) unit(first_, p[i++]);
  for (; i + 1 < n && !unpaired_; i += 2) unit(p[i], p[i + 1]);
  odd_ = (n - i) % 2 != 0;
  if (odd_) first_ = p[n - 1];
}

void Utf16Validator::unit(unsigned b0, unsigned b1) {
  unsigned u = le_ ? (b0 | b1 << 8) : (b0 << 8 | b1);
  bool is_high = u >= 0xD800 && u <= 0xDBFF;
  bool is_low = u >= 0xDC00 && u <= 0xDFFF;
  if (high_ != is_low) unpaired_ = true;
  high_ = is_high;
}

const char* Utf16Validator::fault() const {
  if (odd_) return "UTF-16 text with an odd number of bytes";
  if (unpaired_ || high_) return "UTF-16 text with an unpaired surrogate";
  return nullptr;
}

// Up to n bytes; fewer only at the end of the source.
static std::size_t read_up_to(Source& src, char* buf, std::size_t n) {
  std::size_t have = 0;
  while (have < n) {
    std::size_t got = src.read(buf + have, n - have);
    if (got == 0) break;
    have += got;
  }
  return have;
}

// The encoding the mark among the first `have` (at most 3) bytes gives; kUtf8 for none.
static Encoding mark_in(const unsigned char* b, std::size_t have) {
  if (have >= 2 && b[0] == 0xFF && b[1] == 0xFE) return Encoding::kUtf16Le;
  if (have >= 2 && b[0] == 0xFE && b[1] == 0xFF) return Encoding::kUtf16Be;
  if (have == 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return Encoding::kUtf8Bom;
  return Encoding::kUtf8;
}

Encoding encoding_of_mark(Source& src) {
  unsigned char b[3];
  return mark_in(b, read_up_to(src, reinterpret_cast<char*>(b), 3));
}

// No byte from 0x80 and no 0B or 0C: text both readings of a file without a mark read alike.
static bool neutral(const char* p, std::size_t n) {
  return bytes::ascii_without(p, n, 0x0B, 0x0C);
}

Encoding settle_not_utf8(Source& src, const char* named) {
  if (named) return decodes_whole(src, named) ? Encoding::kNamed : Encoding::kSingleByte;
  return guess_legacy(src);
}

EncodingResult detect_encoding(Source& src, const char* named) {
  static constexpr std::size_t kChunk = 65536;
  unsigned char buf[kChunk];
  EncodingResult r;

  // The first bytes, for the byte-order mark.
  std::size_t have = read_up_to(src, reinterpret_cast<char*>(buf), 3);
  Encoding mark = mark_in(buf, have);
  // A line too long ends the file for the encoding as it does for the lines: what follows
  // it is never read, and the bytes before it are looked at again alone.
  auto cut_at = [&](std::uint64_t end) {
    CutSource before(src, end);
    before.rewind();
    EncodingResult cut = detect_encoding(before, named);
    cut.cut = end;
    return cut;
  };
  if (mark == Encoding::kUtf16Le || mark == Encoding::kUtf16Be) {
    r.encoding = mark;
    Utf16Validator v(mark == Encoding::kUtf16Le);
    LongLineScan scan(mark, 2);
    v.feed(buf + 2, have - 2);
    scan.feed(buf + 2, have - 2);
    for (;;) {
      std::size_t got = src.read(reinterpret_cast<char*>(buf), kChunk);
      if (got == 0) break;
      v.feed(buf, got);
      if (scan.feed(buf, got)) return cut_at(scan.cut());
    }
    r.fault = v.fault();
    return r;
  }

  Utf8Validator v;
  bool bom = mark == Encoding::kUtf8Bom;
  LongLineScan scan(mark, bom ? 3 : 0);
  bool ok = true;
  if (!bom) {
    ok = v.feed(buf, have);
    if (scan.feed(buf, have)) return cut_at(scan.cut());
  }
  for (;;) {
    std::size_t got = src.read(reinterpret_cast<char*>(buf), kChunk);
    if (got == 0) break;
    // Not UTF-8 (so far as it is read): the rest is still followed for a line too long,
    // which would put the bad bytes after the end.
    if (ok) ok = v.feed(buf, got);
    if (scan.feed(buf, got)) return cut_at(scan.cut());
  }
  ok = ok && v.finish();
  if (bom) {
    r.encoding = Encoding::kUtf8Bom;
    if (!ok) r.fault = "a UTF-8 byte-order mark, then bytes that are not well-formed UTF-8";
  } else {
    r.encoding = ok ? Encoding::kUtf8 : settle_not_utf8(src, named);
    if (named && r.encoding == Encoding::kSingleByte) {
      r.encoding = Encoding::kNamed;
      r.fault = "neither UTF-8 nor well-formed in the encoding given";
    }
  }
  return r;
}

std::size_t put_utf8(std::uint32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | cp >> 6);
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | cp >> 12);
    out[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | cp >> 18);
  out[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

std::size_t Decoder::read(char* out, std::size_t cap) {
  Encoding enc = st_.encoding;
  if (enc == Encoding::kUtf16Le || enc == Encoding::kUtf16Be) return read_utf16(out, cap);
  if (converted(enc)) return read_converted(out, cap);
  if (!started_) {
    started_ = true;
    if (enc == Encoding::kUtf8Bom) {
      char mark[3];  // passed over
      if (read_up_to(src_, mark, 3) < 3) return 0;
      pos_ = 3;
    }
  }
  std::size_t got = src_.read(out, cap);
  pos_ += got;
  if (!st_.known && !neutral(out, got)) {
    decide(got);
    if (converted(st_.encoding)) {
      // The chunk again, through the converter: every byte before it was ASCII, which
      // the legacy encodings read as ASCII.
      pos_ -= got;
      src_.seek(pos_);
      return read_converted(out, cap);
    }
  }
  return got;
}

void Decoder::decide(std::size_t n) {
  // Every byte before the last n read was ASCII: no sequence is open where they begin.
  // The lines are followed from the file's start, so that the decision is made on the
  // bytes before a line too long, as if the file ended there.
  const std::uint64_t from = pos_ - n;
  Utf8Validator v;
  LongLineScan scan(Encoding::kUtf8);
  std::uint64_t at = 0, cut = kNoCut;
  bool ok = true;
  src_.rewind();
  for (;;) {
    std::size_t got = src_.read(reinterpret_cast<char*>(raw_), sizeof raw_);
    if (got == 0) break;
    if (ok && at + got > from) {
      std::size_t skip = from > at ? static_cast<std::size_t>(from - at) : 0;
      ok = v.feed(raw_ + skip, got - skip);
    }
    at += got;
    if (scan.feed(raw_, got)) {
      cut = scan.cut();
      break;
    }
  }
  if (cut == kNoCut) {
    st_.set(ok && v.finish() ? Encoding::kUtf8 : settle_not_utf8(src_, st_.named));
  } else {
    CutSource before(src_, cut);
    before.seek(from < cut ? from : cut);
    Utf8Validator w;
    ok = true;
    while (ok) {
      std::size_t got = before.read(reinterpret_cast<char*>(raw_), sizeof raw_);
      if (got == 0) break;
      ok = w.feed(raw_, got);
    }
    st_.set(ok && w.finish() ? Encoding::kUtf8 : settle_not_utf8(before, st_.named));
  }
  src_.seek(pos_);
}

std::size_t Decoder::read_utf16(char* out, std::size_t cap) {
  if (!started_) {
    started_ = true;
    char mark[2];  // passed over
    if (read_up_to(src_, mark, 2) < 2) return 0;
  }
  bool le = st_.encoding == Encoding::kUtf16Le;
  std::size_t n = 0;
  for (;;) {
    if (raw_end_ - raw_pos_ < 2) {
      if (raw_eof_) break;
      std::size_t left = raw_end_ - raw_pos_;
      if (left) raw_[0] = raw_[raw_pos_];
      raw_pos_ = 0;
      raw_end_ = left;
      while (raw_end_ < 2) {
        std::size_t got =
            src_.read(reinterpret_cast<char*>(raw_) + raw_end_, sizeof raw_ - raw_end_);
        if (got == 0) {
          raw_eof_ = true;
          break;
        }
        raw_end_ += got;
      }
      if (raw_end_ < 2) break;
    }
    if (n + 8 > cap) break;  // room for a replacement character and one code point
    unsigned b0 = raw_[raw_pos_], b1 = raw_[raw_pos_ + 1];
    raw_pos_ += 2;
    std::uint32_t unit = le ? (b0 | b1 << 8) : (b0 << 8 | b1);
    // The first pass found the surrogates paired; U+FFFD stands for one that is not only
    // when the file changed in between.
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (high_) n += put_utf8(0xFFFD, out + n);
      high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (high_) {
        n += put_utf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), out + n);
        high_ = 0;
      } else {
        n += put_utf8(0xFFFD, out + n);
      }
    } else {
      if (high_) n += put_utf8(0xFFFD, out + n);
      high_ = 0;
      n += put_utf8(unit, out + n);
    }
  }
  if (raw_eof_ && high_ && n + 4 <= cap) {
    n += put_utf8(0xFFFD, out + n);
    high_ = 0;
  }
  return n;
}

bool Decoder::fill_raw() {
  if (raw_eof_) return false;
  std::size_t left = raw_end_ - raw_pos_;
  std::memmove(raw_, raw_ + raw_pos_, left);
  raw_pos_ = 0;
  raw_end_ = left;
  std::size_t got = src_.read(reinterpret_cast<char*>(raw_) + left, sizeof raw_ - left);
  raw_end_ += got;
  raw_eof_ = got == 0;
  return got != 0;
}

std::size_t Decoder::read_converted(char* out, std::size_t cap) {
  if (!conv_) {
    conv_ = Converter::open(converter_name(st_.encoding, st_.named));
    if (!conv_) return 0;  // found to decode a moment ago: not reached
  }
  char* o = out;
  std::size_t room = cap;
  while (room >= 4) {
    if (raw_pos_ == raw_end_ && !fill_raw()) break;
    const char* in = reinterpret_cast<const char*>(raw_) + raw_pos_;
    std::size_t left = raw_end_ - raw_pos_;
    Converter::Result r = conv_->convert(in, left, o, room);
    raw_pos_ = raw_end_ - left;
    if (r == Converter::kOutFull) break;
    if (r == Converter::kDone) continue;
    if (r == Converter::kIncomplete && fill_raw()) continue;
    // A byte the encoding does not have, or a character cut at the end: the whole file
    // decoded when it was looked at, so only a file changed since comes here.
    std::size_t k = put_utf8(0xFFFD, o);
    o += k;
    room -= k;
    raw_pos_ = r == Converter::kIncomplete ? raw_end_ : raw_pos_ + 1;
  }
  return static_cast<std::size_t>(o - out);
}

}  // namespace cuelint
