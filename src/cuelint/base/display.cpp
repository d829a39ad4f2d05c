#include "display.h"

#include <utf8proc.h>

#include <cstring>

#include "bytes.h"
#include "count.h"
#include "references.h"
#include "scan.h"
#include "text.h"

namespace cuelint {

namespace {

int tag_index(const TagSet& set, std::string_view name) {
  for (int k = 0; k < TagSet::kMax && set.names[k]; ++k) {
    std::string_view want(set.names[k]);
    if (name.size() != want.size()) continue;
    bool same = true;
    for (std::size_t j = 0; j < name.size(); ++j) same &= (name[j] | 0x20) == want[j];
    if (same) return k;
  }
  return -1;
}

// A code point at s[i] and its length; a byte that does not begin one stands for itself.
std::uint32_t code_point(std::string_view s, std::size_t i, std::size_t& len) {
  auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    len = 1;
    return c;
  }
  utf8proc_int32_t cp;
  utf8proc_ssize_t k = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data() + i),
                                        static_cast<utf8proc_ssize_t>(s.size() - i), &cp);
  if (k <= 0) {
    len = 1;
    return 0xFFFD;
  }
  len = static_cast<std::size_t>(k);
  return static_cast<std::uint32_t>(cp);
}

bool is_control(std::uint32_t cp, bool unicode) {
  if (cp < 0x20) return cp != 0x09 && cp != 0x0A && cp != 0x0D;
  if (cp == 0x7F) return true;
  return unicode && ((cp >= 0x80 && cp <= 0x9F) || cp == 0xFFFD);
}

// The next "|" or "[br]" at or after from, and its length; s.size() when none is left. A
// line with bars and no "[" (MicroDVD's two lines) needs only the library's search.
std::size_t next_mark(std::string_view s, std::size_t from, std::size_t& len,
                      bool brackets = true) {
  const char* b = s.data();
  const char* e = b + s.size();
  if (!brackets) {
    const void* bar = std::memchr(b + from, '|', s.size() - from);
    len = bar ? 1 : 0;
    return bar ? static_cast<std::size_t>(static_cast<const char*>(bar) - b) : s.size();
  }
  for (const char* p = find_either(b + from, s.size() - from, '|', '['); p < e;
       p = find_either(p + 1, static_cast<std::size_t>(e - p - 1), '|', '[')) {
    if (*p == '|') {
      len = 1;
      return static_cast<std::size_t>(p - b);
    }
    if (e - p >= 4 && std::memcmp(p, "[br]", 4) == 0) {
      len = 4;
      return static_cast<std::size_t>(p - b);
    }
  }
  len = 0;
  return s.size();
}

bool has_two_blanks(std::string_view s) {
  for (std::size_t i = 1; i < s.size(); ++i)
    if (is_blank_char(s[i]) && is_blank_char(s[i - 1])) return true;
  return false;
}

}  // namespace

std::uint64_t count_clusters(std::string_view s, bool unicode) {
  std::size_t n = s.size(), i = 0;
  if (!unicode) return n;
  while (i < n && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  if (i == n) return n;  // ASCII: every byte a cluster (CR LF never is in a stretch)
  std::uint64_t count = 0;
  utf8proc_int32_t state = 0, prev = -1;
  for (i = 0; i < n;) {
    std::size_t len;
    auto cp = static_cast<utf8proc_int32_t>(code_point(s, i, len));
    if (prev < 0 || utf8proc_grapheme_break_stateful(prev, cp, &state)) ++count;
    prev = cp;
    i += len;
  }
  return count;
}

TextRules::TextRules(FileChecker& fc)
    : fc_(fc), markup_(fc.format().markup), own_(fc.format().line_break) {
  const Options& o = fc.options();
  length_ = fc.on(Check::kLineLength);
  line_length_ = static_cast<std::uint64_t>(o.line_length);
  white_ = fc.on(Check::kWhitespace);
  control_ = fc.on(Check::kControlChar);
  tag_set_ = fc.on(Check::kTags) ? fc.format().tags : nullptr;
  tags_ = tag_set_ != nullptr;
  references_ = fc.format().references;
  max_lines_ = fc.on(Check::kTooManyLines) ? o.max_lines : 0;
  bool count_all = o.count_all && o.cps > 0 && fc.on(Check::kReadingTime);
  needed_ = length_ || white_ || control_ || tags_ || max_lines_ > 0 || count_all;
}

void TextRules::close_tags() {
  for (auto& o : open_) o.clear();
  any_open_ = false;
}

void TextRules::stretch(std::string_view s, bool unicode, Display& d) {
  if (s.empty()) return;
  if (references_ && std::memchr(s.data(), '&', s.size())) {
    // Seen as the count sees them: "&lrm;" alone leaves nothing.
    refs_.clear();
    replace_references(s, refs_);
    s = refs_;
    if (s.empty()) return;
  }
  d.kept = true;
  d.chars += count_clusters(s, unicode);
  if (!white_) return;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = 1;
    bool w;
    if (unicode) {
      len = white_space_at(s.substr(i));
      w = len > 0;
      if (!w) code_point(s, i, len);
    } else {
      w = is_blank_char(s[i]);
    }
    if (w && d.last_white) d.two_white = true;
    if (!d.seen) d.first_white = w, d.seen = true;
    d.last_white = w;
    i += len;
  }
}

inline void TextRules::end_display(const Display& d, std::uint64_t number, std::size_t column0,
                                   bool& white_reported) {
  ++displays_;
  all_chars_ += d.chars;
  if (d.kept && max_lines_ > 0 && ++counted_ == static_cast<std::uint64_t>(max_lines_) + 1)
    too_many_at_ = number;
  if ((length_ && d.chars > line_length_) ||
      (white_ && d.kept && !white_reported && (d.first_white || d.last_white || d.two_white)))
    display_faults(d, number, column0, white_reported);
}

void TextRules::display_faults(const Display& d, std::uint64_t number, std::size_t column0,
                               bool& white_reported) {
  if (length_ && d.chars > line_length_) {
    Msg m(fc_.add(Check::kLineLength, number, column0 + d.start));
    m << "line " << displays_ << " of ";
    FileChecker::label(m, fc_.current());
    m << " has " << d.chars << " characters; at most " << line_length_;
  }
  if (white_ && d.kept && !white_reported && (d.first_white || d.last_white || d.two_white)) {
    white_reported = true;
    Msg m(fc_.add(Check::kWhitespace, number, column0 + d.start));
    m << "line " << displays_ << " of ";
    FileChecker::label(m, fc_.current());
    m << (d.first_white  ? " begins with white space"
          : d.last_white ? " ends with white space"
                         : " holds two white-space characters in a row");
  }
}

void TextRules::plain_line(std::string_view s, const bytes::TextLine& t, std::uint64_t number,
                           std::size_t column0) {
  // ASCII text, no markup, no control character, every byte a cluster. Without marks it is
  // one display line, and only its white space is left to look at.
  Display d;
  bool white_reported = false;
  const bool two = t.two_white;
  if (t.marks) {
    // Split at the format's own marks, the others taken out. Without two blanks in a row
    // anywhere, only the runs between marks and their ends need a look.
    // The kernel counted the marks: past the last one there is nothing left to look for.
    std::size_t n = s.size(), i = 0, left = t.bars + t.breaks;
    for (;;) {
      std::size_t len = 0, j = n;
      if (left && !t.bars && i == 0) {
        j = t.first_break, len = 4;  // found by the kernel
        --left;
      } else if (left) {
        j = next_mark(s, i, len, t.brackets);
        --left;
      }
      if (j > i) {
        bool w = is_blank_char(s[i]);
        d.two_white |= w && d.last_white;
        if (!d.seen) d.first_white = w, d.seen = true;
        d.kept = true;
        d.chars += j - i;
        d.last_white = is_blank_char(s[j - 1]);
        if (two) d.two_white |= has_two_blanks(s.substr(i, j - i));
      }
      if (j == n || (len == 1 ? own_ == Mark::kPipe : own_ == Mark::kBr)) {
        end_display(d, number, column0, white_reported);
        if (j == n) return;
        d = Display();
        d.start = j + len;
      }
      i = j + len;
    }
  }
  // The common line: what line() would find of it.
  if (!s.empty()) {
    d.chars = s.size();
    d.kept = d.seen = true;
    d.first_white = is_blank_char(s.front());
    d.last_white = is_blank_char(s.back());
    d.two_white = two;
  }
  end_display(d, number, column0, white_reported);
}

void TextRules::line(std::string_view s, std::uint64_t number, std::size_t column0, bool unicode) {
  Display d;
  bool white_reported = false;
  if (control_) control_chars(s, number, column0, unicode);
  // Markup first, as the count finds it: a mark inside markup neither splits nor counts.
  std::size_t i = 0, from = 0, n = s.size();
  MarkupScan scan;
  while (i < n) {
    char c = s[i];
    std::size_t skip = 0;
    bool splits = false;
    if ((c == '<' || c == '{') && markup_) {
      skip = markup_(s, i, scan);
      if (skip && tags_ && c == '<') tag(s.substr(i, skip - i), number, column0 + i);
    } else if (c == '|') {
      skip = i + 1;
      splits = own_ == Mark::kPipe;
    } else if (c == '[' && n - i >= 4 && std::memcmp(s.data() + i, "[br]", 4) == 0) {
      skip = i + 4;
      splits = own_ == Mark::kBr;
    }
    if (!skip) {
      ++i;
      continue;
    }
    stretch(s.substr(from, i - from), unicode, d);
    if (splits) {
      end_display(d, number, column0, white_reported);
      d = Display();
      d.start = skip;
    }
    i = from = skip;
  }
  stretch(s.substr(from), unicode, d);
  end_display(d, number, column0, white_reported);
}

void TextRules::tag(std::string_view markup, std::uint64_t number, std::size_t column) {
  // markup is "<...>": a NAME then nothing or a blank opens; "/" NAME then blanks closes.
  // With classes, a "." ends an opener's name too, and a closer is "/" NAME alone.
  const TagSet& set = *tag_set_;
  std::string_view in = markup.substr(1, markup.size() - 2);
  bool closer = !in.empty() && in[0] == '/';
  if (closer) in.remove_prefix(1);
  std::size_t k = 0;
  while (k < in.size() && is_ascii_letter(in[k])) ++k;
  int t = tag_index(set, in.substr(0, k));
  if (t < 0) return;
  std::string_view rest = in.substr(k);
  if (closer) {
    if (set.classes && !rest.empty()) return;
    for (char c : rest)
      if (!is_blank_char(c)) return;
  } else if (!rest.empty() && !is_blank_char(rest[0]) && !(set.classes && rest[0] == '.')) {
    return;
  }
  if (!closer) {
    open_[t].push_back({number, column});
    any_open_ = true;
    return;
  }
  if (!open_[t].empty()) {
    open_[t].pop_back();
    return;
  }
  Msg m(fc_.add(Check::kTags, number, column));
  m << "</" << set.names[t] << "> without <" << set.names[t] << "> in ";
  FileChecker::label(m, fc_.current());
}

void TextRules::control_chars(std::string_view s, std::uint64_t number, std::size_t column0,
                              bool unicode) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = 1;
    std::uint32_t cp = unicode ? code_point(s, i, len) : static_cast<unsigned char>(s[i]);
    if (is_control(cp, unicode)) {
      static const char hex[] = "0123456789ABCDEF";
      char name[6] = {'U',         '+', hex[cp >> 12 & 15], hex[cp >> 8 & 15], hex[cp >> 4 & 15],
                      hex[cp & 15]};
      Msg m(fc_.add(Check::kControlChar, number, column0 + i));
      m << "control character " << std::string_view(name, 6) << " in ";
      FileChecker::label(m, fc_.current());
      return;
    }
    i += len;
  }
}

void TextRules::report_end() {
  if (any_open_) {
    for (int t = 0; t < TagSet::kMax; ++t) {
      if (tag_set_->closed_at_end >> t & 1) continue;
      open_[t].for_each([&](const Open& o) {
        Msg m(fc_.add(Check::kTags, o.line, o.column));
        m << "<" << tag_set_->names[t] << "> not closed in ";
        FileChecker::label(m, fc_.current());
      });
    }
  }
  if (too_many_at_) {
    Msg m(fc_.add(Check::kTooManyLines, too_many_at_));
    FileChecker::label(m, fc_.current());
    m << " has " << counted_ << " lines; at most " << max_lines_;
  }
}

}  // namespace cuelint
