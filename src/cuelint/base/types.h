// Plain types shared by the reading, the checks and the reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cuelint {

// 128-bit products: a duration times the denominator of a frame rate times the characters
// per second does not fit 64 bits in every case.
__extension__ typedef __int128 i128;

enum class Encoding : std::uint8_t { kUtf8Bom, kUtf16Le, kUtf16Be, kUtf8, kSingleByte };

enum class Format : std::uint8_t { kNone, kMicroDvd, kSubRip, kSubviewer };

// In the order faults on one line are reported.
enum class Check : std::uint8_t {
  kOrder,
  kOverlap,
  kReadingTime,
  kLineBreakMark,
  kTooManyLines,
  kNumbering,
  kStructure,
  kTimeCode,
  kFrameCode,
  kFormat,
};

const char* encoding_name(Encoding e);
const char* format_name(Format f);  // nullptr for kNone
const char* check_name(Check c);

// A frame rate as the exact decimal it was written as: num / den, den a power of ten.
struct Rate {
  std::int64_t num = 25;
  std::int64_t den = 1;
};

struct Options {
  bool fps_given = false;  // --fps overrides a MicroDVD file's own frame-rate line
  Rate fps;                // used when given, and as the default of 25
  std::int64_t cps = 20;   // 0: the reading-time rule is off
};

struct Fault {
  std::uint64_t line = 1;
  std::uint64_t column = 0;  // orders faults of one check on one line
  Check check = Check::kFormat;
  Format format = Format::kNone;
  bool has_subtitle = false;
  bool has_times = false;
  std::int64_t subtitle = 0;
  std::int64_t start_ms = 0;
  std::int64_t stop_ms = 0;
  std::uint16_t message_len = 0;
  char message[222];

  std::string_view text() const { return std::string_view(message, message_len); }
};

// Receives the faults of one file, in report order.
class FaultSink {
 public:
  virtual ~FaultSink() = default;
  virtual void fault(const Fault& f) = 0;
};

}  // namespace cuelint
