#include "block.h"

namespace cuelint {

namespace {

const char* mark_text(Mark m) {
  return m == Mark::kPipe ? "\"|\"" : "\"[br]\"";
}

}  // namespace

Block::Block(FileChecker& fc)
    : fc_(fc),
      foreign_((fc.format().line_break == Mark::kPipe ? 0u : unsigned{kHasPipe}) |
               (fc.format().line_break == Mark::kBr ? 0u : unsigned{kHasBracket})),
      limit_(fc.format().max_text_lines ? fc.format().max_text_lines + 1 : 0) {}

void Block::begin(const Subtitle& s) {
  if (open_) {
    Msg m(fc_.add(Check::kStructure, last_line_));
    m << "no blank line between ";
    FileChecker::label(m, fc_.current());
    m << " and the next subtitle";
    close();
  }
  fc_.begin(s);
  open_ = true;
  last_line_ = s.line;
  text_lines_ = 0;
  chars_ = 0;
  too_many_at_ = 0;
}

void Block::foreign_marks(std::string_view s, std::uint64_t number, std::size_t column) {
  Mark own = fc_.format().line_break;
  for_each_mark(s, [&](std::size_t col, Mark mark) {
    if (mark == own) return;
    Msg m(fc_.add(Check::kLineBreakMark, number, column + col));
    m << "line-break mark " << mark_text(mark) << " in ";
    FileChecker::label(m, fc_.current());
    if (own != Mark::kNone) m << " (" << mark_text(own) << " breaks a line)";
  });
}

void Block::close() {
  if (too_many_at_) {
    // Written now that the number of text lines is known; the report order puts it in
    // its place.
    Msg m(fc_.add(Check::kTooManyLines, too_many_at_));
    FileChecker::label(m, fc_.current());
    m << " has " << text_lines_ << " text lines; " << fc_.format().lines_allowed;
  }
  fc_.end(chars_);
  open_ = false;
}

void Block::finish() {
  if (open_) close();
  fc_.flush_loose();
}

}  // namespace cuelint
