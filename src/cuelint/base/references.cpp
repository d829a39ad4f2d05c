#include "references.h"

#include <cstring>
#include <string>

#include "count.h"

namespace cuelint {

namespace {

struct Reference {
  std::string_view name;
  std::string_view stands_for;  // UTF-8
};

const Reference kReferences[] = {
    {"&amp;", "&"},
    {"&lt;", "<"},
    {"&gt;", ">"},
    {"&nbsp;", "\xC2\xA0"},
    {"&lrm;", std::string_view()},
    {"&rlm;", std::string_view()},
};

}  // namespace

void replace_references(std::string_view s, std::string& out) {
  std::size_t i = 0;
  while (i < s.size()) {
    const void* amp = std::memchr(s.data() + i, '&', s.size() - i);
    std::size_t at =
        amp ? static_cast<std::size_t>(static_cast<const char*>(amp) - s.data()) : s.size();
    out.append(s.data() + i, at - i);
    if (at == s.size()) break;
    i = at + 1;
    out += '&';
    for (const Reference& r : kReferences) {
      if (s.compare(at, r.name.size(), r.name) == 0) {
        out.pop_back();
        out.append(r.stands_for.data(), r.stands_for.size());
        i = at + r.name.size();
        break;
      }
    }
  }
}

std::uint64_t count_line_with_references(std::string_view line, MarkupRule markup, bool unicode,
                                         unsigned* marks) {
  // Reused by the lines of a thread: no allocation once it has grown.
  thread_local std::string text;
  std::size_t n = line.size(), i = 0, stretch = 0;
  std::uint64_t total = 0;
  unsigned seen = 0;
  MarkupScan scan;
  auto count = [&](std::size_t from, std::size_t to) {
    text.clear();
    replace_references(line.substr(from, to - from), text);
    total += count_stretch(text, unicode);
  };
  while (i < n) {
    std::size_t skip_to = 0;
    char c = line[i];
    if (c == '|') {
      seen |= kHasPipe;
      skip_to = i + 1;
    } else if (c == '[') {
      seen |= kHasBracket;
      if (line.compare(i, 4, "[br]") == 0) skip_to = i + 4;
    } else if (markup) {
      skip_to = markup(line, i, scan);
      if (skip_to) {
        std::string_view m = line.substr(i, skip_to - i);
        if (m.find('|') != m.npos) seen |= kHasPipe;
        if (m.find('[') != m.npos) seen |= kHasBracket;
      }
    }
    if (!skip_to) {
      ++i;
      continue;
    }
    count(stretch, i);
    i = stretch = skip_to;
  }
  count(stretch, n);
  if (marks) *marks = seen;
  return total;
}

}  // namespace cuelint
