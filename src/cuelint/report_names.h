// File names as they are printed: a name comes from the file system and may hold any byte.
#pragma once

#include <string>
#include <string_view>

namespace cuelint {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool name_is_utf8(std::string_view s);

// True when printable_name would give the name back unchanged.
bool name_is_plain(std::string_view name);

// For a terminal or a line-based reader: a control character (00-1F, 7F) or a byte that is
// not part of well-formed UTF-8 becomes \xHH, upper-case hex; every other byte is kept.
void append_printable_name(std::string& out, std::string_view name);
std::string printable_name(std::string_view name);

// The bytes in lower-case hex, two digits each: a name JSON cannot hold exactly.
std::string hex_bytes(std::string_view s);

}  // namespace cuelint
