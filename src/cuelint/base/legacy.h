// Legacy multi-byte encodings: which one a file that is not UTF-8 is in (the detector, then
// a decoding of the whole file to confirm it), and the names --encoding may use.
#pragma once

#include <string>

#include "source.h"
#include "types.h"

namespace cuelint {

// The converter's name for an encoding decoded to UTF-8: a legacy one, or kNamed with the
// name --encoding gave (its superset when it is one of the table's).
const char* converter_name(Encoding e, const char* named);

// The name a --encoding value stands for: "shift_jis" is CP932, "gbk" GB18030, ... (any
// case); any other name as it is.
std::string converter_for_option(const std::string& name);

// Whether the system's converter knows the --encoding value.
bool known_encoding(const std::string& name);

// A file that is not UTF-8 and has no mark: the legacy encoding the detector names, when
// the whole file decodes in it; else kSingleByte. Reads the whole source from its start.
Encoding guess_legacy(Source& src);

// Whether the whole source, from its start, decodes in the converter's encoding.
bool decodes_whole(Source& src, const char* converter);

}  // namespace cuelint
