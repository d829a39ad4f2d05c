// The system's converter from a legacy encoding (Shift_JIS, GB18030, ...) to UTF-8: iconv on
// POSIX systems, MultiByteToWideChar on Windows. One file per system: convert_posix.cpp,
// convert_win32.cpp.
#pragma once

#include <cstddef>
#include <memory>

namespace cuelint {

class Converter {
 public:
  enum Result {
    kDone,        // all the input is converted
    kOutFull,     // no room for the next character
    kIncomplete,  // the input ends inside a character: more input is needed
    kInvalid,     // the input is at a byte sequence the encoding does not have
  };

  // Null when the system does not know the encoding.
  static std::unique_ptr<Converter> open(const char* name);

  virtual ~Converter() = default;
  // Converts from in to UTF-8 at out, advancing both and taking the counts down.
  virtual Result convert(const char*& in, std::size_t& in_left, char*& out,
                         std::size_t& out_left) = 0;
};

}  // namespace cuelint
