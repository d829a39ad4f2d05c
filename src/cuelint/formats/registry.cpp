#include "registry.h"

#include <algorithm>
#include <string>
#include <vector>

#include "microdvd.h"
#include "sbv.h"
#include "subrip.h"
#include "subviewer.h"
#include "text.h"
#include "webvtt.h"

namespace cuelint {

namespace {

constexpr int kLookAhead = 50;

// Each line is asked of the rows in this order, so that where two would take the same line
// the first wins: a first line "{x} 1 --> 2" is MicroDVD's, "[x] 1 --> 2" Subviewer 2.0's.
const FormatRow kRows[] = {
    {&kWebVtt, recognizes_webvtt, check_with<WebVttReader>},
    {&kMicroDvd, recognizes_microdvd, check_with<MicroDvdReader>},
    {&kSubviewer, recognizes_subviewer, check_with<SubviewerReader>},
    {&kSbv, recognizes_sbv, check_with<SbvReader>},
    {&kSubRip, recognizes_subrip, check_with<SubRipReader>},
};

std::string make_no_format_message() {
  std::vector<std::string> titles;
  for (const FormatRow& r : format_rows()) titles.emplace_back(r.info->title);
  std::sort(titles.begin(), titles.end());
  std::string s = "not a ";
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (i) s += i + 1 == titles.size() ? " or " : ", ";
    s += titles[i];
  }
  return s + " file";
}

}  // namespace

FormatRows format_rows() {
  return {kRows, kRows + sizeof kRows / sizeof *kRows};
}

const FormatRow* detect_format(LineReader& lines) {
  int rank = 0;
  while (rank < kLookAhead) {
    const Line* l = lines.next();
    if (!l) break;
    if (is_blank(l->text, l->unicode)) continue;
    ++rank;
    for (const FormatRow& r : format_rows())
      if (r.recognizes(*l, rank)) return &r;
  }
  return nullptr;
}

bool is_subtitle_name(std::string_view name) {
  for (const FormatRow& r : format_rows())
    if (r.info->takes_name(name)) return true;
  return false;
}

std::string_view no_format_message() {
  static const std::string message = make_no_format_message();  // titles in byte order
  return message;
}

}  // namespace cuelint
