// Character references in text that counts them as the characters they name (WebVTT).
#pragma once

#include <cstdint>
#include <string_view>

#include "types.h"

namespace cuelint {

// count_line, with "&amp;" "&lt;" "&gt;" "&nbsp;" in each stretch as the one character they
// name and "&lrm;" "&rlm;" as none, read once from left to right; any other "&" is itself.
std::uint64_t count_line_with_references(std::string_view line, MarkupRule markup, bool unicode,
                                         unsigned* marks);

// The stretch with its references replaced, appended to out.
void replace_references(std::string_view stretch, std::string& out);

}  // namespace cuelint
