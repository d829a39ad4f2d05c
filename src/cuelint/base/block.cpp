#include "block.h"

namespace cuelint {

namespace {

const char* mark_text(Mark m) {
  return m == Mark::kPipe ? "\"|\"" : "\"[br]\"";
}

}  // namespace

Block::Block(FileChecker& fc)
    : fc_(fc),
      markup_(fc.format().markup),
      references_(fc.format().references),
      foreign_((fc.format().line_break == Mark::kPipe ? 0u : unsigned{kHasPipe}) |
               (fc.format().line_break == Mark::kBr ? 0u : unsigned{kHasBracket})),
      // A number of display lines replaces the format's limit of text lines.
      limit_(fc.format().max_text_lines && fc.options().max_lines == 0
                 ? fc.format().max_text_lines + 1
                 : 0),
      rules_(fc) {}

void Block::run_into() {
  Msg m(fc_.add(Check::kStructure, last_line_));
  m << "no blank line between ";
  FileChecker::label(m, fc_.current());
  m << " and the next subtitle";
  close();
}

void Block::foreign_marks(std::string_view s, std::uint64_t number, std::size_t column) {
  if (!fc_.on(Check::kLineBreakMark)) return;  // a fault a byte, none of them reported
  Mark own = fc_.format().line_break;
  for_each_mark(s, [&](std::size_t col, Mark mark) {
    if (mark == own) return;
    Msg m(fc_.add(Check::kLineBreakMark, number, column + col));
    m << "line-break mark " << mark_text(mark) << " in ";
    FileChecker::label(m, fc_.current());
    if (own != Mark::kNone) m << " (" << mark_text(own) << " breaks a line)";
  });
}

void Block::too_many() {
  // Written now that the number of text lines is known; the report order puts it in its
  // place.
  Msg m(fc_.add(Check::kTooManyLines, too_many_at_));
  FileChecker::label(m, fc_.current());
  m << " has " << text_lines_ << " text lines; " << fc_.format().lines_allowed;
}

void Block::finish() {
  if (open_) close();
  fc_.flush_loose();
}

}  // namespace cuelint
