// The subtitle being read, from its time line to its end, and every text line of it in
// every format: its characters for the reading time, the line-break marks that are foreign
// to the format, the format's limit of text lines. The readers find the structure (time
// lines, numbers, blank lines) and hand the text lines over.
#pragma once

#include <cstddef>
#include <cstdint>

#include "checks.h"
#include "count.h"
#include "display.h"
#include "lines.h"
#include "references.h"
#include "scan.h"

namespace cuelint {

class Block {
 public:
  explicit Block(FileChecker& fc);

  bool open() const { return open_; }

  // Opens a subtitle at its time line. One still open runs straight into it: a structure
  // fault at its last line, and it is closed first.
  void begin(const Subtitle& s) {
    if (open_) run_into();
    fc_.begin(s);
    open_ = true;
    last_line_ = s.line;
    text_lines_ = 0;
    chars_ = 0;
    too_many_at_ = 0;
    if (rules_.needed()) rules_.begin();
  }

  // Whether text lines are looked at beyond their count: then a reader hands every text
  // line over whole.
  bool inspects() const { return rules_.needed(); }

  // A text line of the open subtitle, from byte `from` of the file's line (MicroDVD's text
  // follows its frames); columns of faults count from the line's start. A reader that has
  // looked for "&" already says whether the line may hold a character reference.
  void text(const Line& l, std::size_t from = 0, bool may_reference = true) {
    count_text_line(l.number);
    unsigned marks = 0;
    std::string_view s = l.text.substr(from);
    bytes::TextLine t;
    if (rules_.needed() && rules_.plain(s, t)) {
      // One pass for the count and the rules: every byte is a character.
      chars_ += s.size() - t.whites - t.bars - 4 * t.breaks;
      if (t.bars) marks |= kHasPipe;
      if (t.brackets) marks |= kHasBracket;
      if (marks & foreign_) foreign_marks(s, l.number, from);
      rules_.plain_line(s, t, l.number, from);
      return;
    }
    if (references_ && may_reference &&
        find_either(s.data(), s.size(), '&', '&') != s.data() + s.size()) {
      chars_ += count_line_with_references(s, markup_, l.unicode, &marks);
    } else {
      chars_ += count_line(s, markup_, l.unicode, &marks);
    }
    if (marks & foreign_) foreign_marks(s, l.number, from);
    if (rules_.needed()) rules_.line(s, l.number, from, l.unicode);
  }

  // A text line of the open subtitle known to hold `chars` characters and no mark: SubRip's
  // whole-number line, found to be text only when the next line comes.
  void text_counted(std::uint64_t number, std::uint64_t chars) {
    count_text_line(number);
    chars_ += chars;
  }

  // Ends the open subtitle: its too-many-lines and reading-time faults, then all its
  // faults in report order.
  void close() {
    if (too_many_at_) too_many();
    if (rules_.needed()) rules_.end();
    fc_.end(chars_, rules_.all_chars());
    open_ = false;
  }

  // At the end of the file: closes the open subtitle and hands over a loose fault.
  void finish();

 private:
  void count_text_line(std::uint64_t number) {
    if (++text_lines_ == limit_) too_many_at_ = number;
    last_line_ = number;
  }
  // The seldom parts, out of line.
  void run_into();
  void too_many();
  void foreign_marks(std::string_view s, std::uint64_t number, std::size_t column);

  FileChecker& fc_;
  MarkupRule markup_;    // the format's
  bool references_;      // the format's: lines with a "&" are counted apart
  unsigned foreign_;     // kHasPipe, kHasBracket: the marks that are faults in the format
  std::uint64_t limit_;  // the first text line too many; 0: none is
  bool open_ = false;
  std::uint64_t last_line_ = 0;
  std::uint64_t text_lines_ = 0;
  std::uint64_t chars_ = 0;
  std::uint64_t too_many_at_ = 0;  // the line of that text line, once there is one
  TextRules rules_;
};

}  // namespace cuelint
