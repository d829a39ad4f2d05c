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

bool FormatInfo::takes_name(std::string_view file_name) const {
  std::string_view end(ending);
  if (file_name.size() < end.size()) return false;
  std::string_view tail = file_name.substr(file_name.size() - end.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = tail[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c) != end[i]) return false;
  }
  return true;
}

}  // namespace cuelint
