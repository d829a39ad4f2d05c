// The formats cuelint reads, one row each, in the order they are recognised.
#pragma once

#include <string_view>

#include "checks.h"
#include "lines.h"
#include "types.h"

namespace cuelint {

struct FormatRow {
  const FormatInfo* info;
  // Asked of each of the first 50 non-blank lines, rank counting them from 1 (the line's
  // number counts every line): whether that line shows the file to be in this format.
  bool (*recognizes)(const Line& l, int rank);
  // The format's reader over every line of the file: check_with<ItsReader>.
  void (*check)(LineReader& lines, FileChecker& fc);
};

// A row's check: the loop over the lines is compiled with its reader, so that each line
// costs a direct call, not an indirect one.
template <class Reader>
void check_with(LineReader& lines, FileChecker& fc) {
  Reader r(fc);
  while (const Line* l = lines.next()) r.line(*l);
  r.finish();
}

struct FormatRows {
  const FormatRow* first;
  const FormatRow* last;
  const FormatRow* begin() const { return first; }
  const FormatRow* end() const { return last; }
};

// The rows in the order they are asked.
FormatRows format_rows();

// Reads lines from the start until the format is known: the first row to recognise a
// non-blank line, among the first 50; null when none does.
const FormatRow* detect_format(LineReader& lines);

// Names that a walk picks: ending as a format's files do, in any case.
bool is_subtitle_name(std::string_view name);

// The format fault of a file that is in none of them: "not a MicroDVD, SubRip or ... file".
std::string_view no_format_message();

}  // namespace cuelint
