// The rules on a subtitle's display lines (its text split at line ends and at the format's
// own line-break mark, markup and marks taken out): their number, their length, their
// white space; and on its raw text lines: control characters and unbalanced tags. Off the
// common path: the block calls it only when one of these rules is on, or the reading time
// counts white space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"
#include "checks.h"
#include "stack.h"

namespace cuelint {

class TextRules {
 public:
  explicit TextRules(FileChecker& fc);

  // Whether anything here is asked for.
  bool needed() const { return needed_; }

  void begin() {
    all_chars_ = displays_ = counted_ = too_many_at_ = 0;
    if (any_open_) close_tags();
  }
  // Whether a text line of the open subtitle is plain (printable ASCII, no markup, no
  // reference to read), with what the one pass over it found: the block counts it from t.
  bool plain(std::string_view s, bytes::TextLine& t) const {
    return bytes::text_line(s.data(), s.size(), t) && !(references_ && t.amp);
  }
  // A text line: s is the text, column0 where it begins on the line. Any line will do, but
  // a plain one goes the quick way:
  void line(std::string_view s, std::uint64_t number, std::size_t column0, bool unicode);
  void plain_line(std::string_view s, const bytes::TextLine& t, std::uint64_t number,
                  std::size_t column0);
  // Ends the subtitle: tags left open, display lines too many.
  void end() {
    if (any_open_ || too_many_at_) report_end();
  }
  // Its characters as the reading time counts them with white space.
  std::uint64_t all_chars() const { return all_chars_; }

 private:
  struct Display {
    std::size_t start = 0;  // byte in the text
    std::uint64_t chars = 0;
    bool kept = false;  // any character left once markup and marks are out
    bool seen = false;  // of white space: a code point looked at
    bool first_white = false, last_white = false, two_white = false;
  };
  struct Open {
    std::uint64_t line;
    std::size_t column;
  };

  void close_tags();
  void report_end();
  void stretch(std::string_view s, bool unicode, Display& d);
  void end_display(const Display& d, std::uint64_t number, std::size_t column0,
                   bool& white_reported);
  void display_faults(const Display& d, std::uint64_t number, std::size_t column0,
                      bool& white_reported);
  void tag(std::string_view markup, std::uint64_t number, std::size_t column);
  void control_chars(std::string_view s, std::uint64_t number, std::size_t column0, bool unicode);

  FileChecker& fc_;
  MarkupRule markup_;
  Mark own_;
  bool needed_ = false;
  bool length_ = false, white_ = false, control_ = false, tags_ = false;
  const TagSet* tag_set_ = nullptr;  // when tags_
  bool references_ = false;          // seen as what they name
  std::string refs_;                 // a stretch with them replaced; reused
  std::int64_t max_lines_ = 0;       // 0: not counted here
  std::uint64_t line_length_ = 0;    // the most characters a display line may have
  std::uint64_t all_chars_ = 0;
  std::uint64_t displays_ = 0;  // every display line of the subtitle, for messages
  std::uint64_t counted_ = 0;   // display lines that are not empty
  std::uint64_t too_many_at_ = 0;
  SpillStack<Open> open_[TagSet::kMax];  // per tag name of the format's set
  bool any_open_ = false;                // since the subtitle began
};

// Extended grapheme clusters of a stretch, white space included (single-byte: its bytes).
std::uint64_t count_clusters(std::string_view s, bool unicode);

}  // namespace cuelint
