#include "types.h"

namespace cuelint {

const char* encoding_name(Encoding e) {
  switch (e) {
    case Encoding::kUtf8Bom:
      return "utf-8-bom";
    case Encoding::kUtf16Le:
      return "utf-16le";
    case Encoding::kUtf16Be:
      return "utf-16be";
    case Encoding::kUtf8:
      return "utf-8";
    case Encoding::kSingleByte:
      return "single-byte";
  }
  return "?";
}

const char* format_name(Format f) {
  switch (f) {
    case Format::kMicroDvd:
      return "microdvd";
    case Format::kSubRip:
      return "subrip";
    case Format::kSubviewer:
      return "subviewer";
    case Format::kNone:
      break;
  }
  return nullptr;
}

const char* check_name(Check c) {
  switch (c) {
    case Check::kOrder:
      return "order";
    case Check::kOverlap:
      return "overlap";
    case Check::kReadingTime:
      return "reading-time";
    case Check::kLineBreakMark:
      return "line-break-mark";
    case Check::kTooManyLines:
      return "too-many-lines";
    case Check::kNumbering:
      return "numbering";
    case Check::kStructure:
      return "structure";
    case Check::kTimeCode:
      return "time-code";
    case Check::kFrameCode:
      return "frame-code";
    case Check::kFormat:
      return "format";
  }
  return "?";
}

}  // namespace cuelint
