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

#include "checks.h"
#include "stack.h"

namespace cuelint {

class TextRules {
 public:
  explicit TextRules(FileChecker& fc);

  // Whether anything here is asked for.
  bool needed() const { return needed_; }

  void begin();
  // A text line of the open subtitle: s is the text, column0 where it begins on the line.
  void line(std::string_view s, std::uint64_t number, std::size_t column0, bool unicode);
  // Ends the subtitle: tags left open, display lines too many.
  void end();
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

  void stretch(std::string_view s, bool unicode, Display& d);
  void end_display(const Display& d, std::uint64_t number, std::size_t column0,
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
