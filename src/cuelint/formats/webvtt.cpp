#include "webvtt.h"

#include <cstring>

#include "count.h"
#include "scan.h"
#include "text.h"

namespace cuelint {

namespace {

// HH:MM:SS.mmm, as its timing lines write them.
void write_millis(Msg& m, std::int64_t t) {
  m.clock(t, 2, '.');
}

}  // namespace

// A voice or a ruby text may be left open.
constexpr TagSet kTags = {{"c", "i", "b", "u", "v", "lang", "ruby", "rt"}, 1u << 4 | 1u << 7, true};

extern constexpr FormatInfo kWebVtt = {  // fields in the order of FormatInfo
    "webvtt",
    "WebVTT",
    ".vtt",
    1000,
    webvtt_markup,
    Mark::kNone,
    2,
    "at most two are allowed",
    Overlap::kPreviousStart,
    true,
    true,
    &kTags,
    write_millis};

namespace {

constexpr char kNoTiming[] = "a block with no timing line on its first two lines";

enum : unsigned { kGreater = 1, kAmpersand = 2 };

// Which of ">" and "&" the line holds, in one pass: every text line is looked at for
// "-->" and for character references.
unsigned greater_and_ampersand(std::string_view s) {
  const char* p = s.data();
  std::size_t n = s.size(), i = 0;
  unsigned found = 0;
#if CUECHECK_SSE2
  if (n >= 16) {
    const __m128i gt = _mm_set1_epi8('>'), amp = _mm_set1_epi8('&');
    __m128i g = _mm_setzero_si128(), a = g;
    auto add = [&](const char* q) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      g = _mm_or_si128(g, _mm_cmpeq_epi8(v, gt));
      a = _mm_or_si128(a, _mm_cmpeq_epi8(v, amp));
    };
    for (; i + 16 <= n; i += 16) add(p + i);
    if (i < n) add(p + n - 16);  // the last sixteen bytes, some of them again
    return (_mm_movemask_epi8(g) ? unsigned{kGreater} : 0u) |
           (_mm_movemask_epi8(a) ? unsigned{kAmpersand} : 0u);
  }
#endif
  for (; i < n; ++i)
    found |= (p[i] == '>' ? unsigned{kGreater} : 0u) | (p[i] == '&' ? unsigned{kAmpersand} : 0u);
  return found;
}

bool holds_arrow(std::string_view s) {
  const char *b = s.data(), *e = b + s.size();
  for (auto p = static_cast<const char*>(std::memchr(b, '>', s.size())); p;
       p = static_cast<const char*>(std::memchr(p + 1, '>', static_cast<std::size_t>(e - p - 1))))
    if (p - b >= 2 && p[-1] == '-' && p[-2] == '-') return true;
  return false;
}

// The timing line as converters write it, "HH:MM:SS.mmm --> HH:MM:SS.mmm": its first
// sixteen bytes, and its last sixteen.
constexpr Form16 kHead = make_form("DD:5D:5D.DDD -->");
constexpr Form16 kTail = make_form("--> DD:5D:5D.DDD");

inline std::int64_t ms_at(const char* p) {
  return ((two_digits(p) * 60 + two_digits(p + 3)) * 60 + two_digits(p + 6)) * 1000 +
         (p[9] - '0') * 100 + two_digits(p + 10);
}

// A word alone on the line or followed by a blank and any text.
bool begins_with_word(std::string_view s, std::string_view word) {
  return !s.empty() && s[0] == word[0] && s.substr(0, word.size()) == word &&
         (s.size() == word.size() || is_blank_char(s[word.size()]));
}

bool digits(std::string_view s, std::size_t i, std::size_t n) {
  if (s.size() < i + n) return false;
  for (std::size_t k = i; k < i + n; ++k)
    if (!is_digit(s[k])) return false;
  return true;
}

// [HH:]MM:SS.mmm at i, HH two or more digits; the index past it, or 0 when there is none.
std::size_t parse_time(std::string_view s, std::size_t i, std::int64_t& ms) {
  std::size_t n = s.size(), first = i;
  std::int64_t a = 0;
  while (i < n && is_digit(s[i])) {
    a = a * 10 + (s[i] - '0');
    if (a > kMaxNumber) return 0;
    ++i;
  }
  std::size_t width = i - first;
  if (width < 2 || i >= n || s[i] != ':' || !digits(s, i + 1, 2)) return 0;
  std::int64_t h = 0, m = a, sec = two_digits(s.data() + i + 1);
  i += 3;
  if (i < n && s[i] == ':') {
    if (!digits(s, i + 1, 2)) return 0;
    h = a;
    m = sec;
    sec = two_digits(s.data() + i + 1);
    i += 3;
  } else if (width != 2) {
    return 0;
  }
  if (m > 59 || sec > 59 || i >= n || s[i] != '.' || !digits(s, i + 1, 3)) return 0;
  ms = ((h * 60 + m) * 60 + sec) * 1000 + (s[i + 1] - '0') * 100 + two_digits(s.data() + i + 2);
  return i + 4;
}

}  // namespace

bool parse_webvtt_timing_line(std::string_view s, std::int64_t& start, std::int64_t& stop) {
  if (s.size() >= 29 && fits_form(s.data(), kHead) && fits_form(s.data() + 13, kTail)) {
    start = ms_at(s.data());
    stop = ms_at(s.data() + 17);
    return s.size() == 29 || is_blank_char(s[29]);
  }
  std::size_t n = s.size(), i = parse_time(s, 0, start);
  if (!i) return false;
  while (i < n && is_blank_char(s[i])) ++i;
  if (s.substr(i, 3) != "-->") return false;
  i += 3;
  while (i < n && is_blank_char(s[i])) ++i;
  i = parse_time(s, i, stop);
  return i && (i == n || is_blank_char(s[i]));
}

std::size_t webvtt_markup(std::string_view s, std::size_t i, MarkupScan& scan) {
  if (s[i] != '<' || i + 1 >= s.size()) return 0;
  char c = s[i + 1];
  if (!(is_ascii_letter(c) || c == '/' || is_digit(c))) return 0;
  return markup_close(s, i + 2, '>', scan);
}

bool recognizes_webvtt(const Line& l, int) {
  return l.number == 1 && begins_with_word(l.text, "WEBVTT");
}

void WebVttReader::block_fault(std::uint64_t line, const char* why) {
  Msg m(fc_.loose(Check::kStructure, line));
  m << why;
}

void WebVttReader::timing(const Line& l) {
  bool in_header = at_ == At::kHeader;
  // A comment, style or region block runs into a cue: its fault at its first line.
  if (at_ == At::kSkip && !faulted_)
    block_fault(first_, "a NOTE, STYLE or REGION block holds a timing line");
  Subtitle sub;
  sub.line = l.number;
  sub.has_times = parse_webvtt_timing_line(l.text, sub.start, sub.stop);
  block_.begin(sub);
  at_ = At::kCue;
  after_cue_ = true;
  if (in_header) {
    // Belongs to the header, not the cue: held with the cue's faults for their order only.
    Fault& f = fc_.add(Check::kStructure, l.number);
    f.has_times = false;
    Msg(f) << "a blank line must end the header";
  }
  if (!sub.has_times) {
    Msg m(fc_.add(Check::kTimeCode, l.number));
    FileChecker::label(m, sub);
    m << " has a malformed timing line ([HH:]MM:SS.mmm --> [HH:]MM:SS.mmm)";
  }
}

void WebVttReader::line(const Line& l) {
  std::string_view s = l.text;
  if (s.empty()) {
    if (block_.open()) block_.close();
    if (at_ == At::kFirst) block_fault(first_, kNoTiming);  // a block of one line
    at_ = At::kBetween;
    return;
  }
  if (at_ == At::kCue) {  // most lines: a cue's text, unless it holds "-->"
    unsigned found = greater_and_ampersand(s);
    if ((found & kGreater) && holds_arrow(s)) {
      timing(l);
    } else {
      block_.text(l, 0, (found & kAmpersand) != 0);
    }
    return;
  }
  if (l.number == 1) return;  // the header's first line, whatever it holds
  if (holds_arrow(s)) {
    timing(l);
    return;
  }
  switch (at_) {
    case At::kCue:  // taken above
      return;
    case At::kBetween:
      first_ = l.number;
      faulted_ = false;
      if (begins_with_word(s, "NOTE")) {
        at_ = At::kSkip;
      } else if (begins_with_word(s, "STYLE") || begins_with_word(s, "REGION")) {
        at_ = At::kSkip;
        if (after_cue_) {
          faulted_ = true;
          block_fault(l.number, "a STYLE or REGION block after the first cue");
        }
      } else {
        at_ = At::kFirst;
      }
      return;
    case At::kFirst:
      block_fault(first_, kNoTiming);
      at_ = At::kPassing;
      return;
    case At::kHeader:
    case At::kSkip:
    case At::kPassing:
      return;
  }
}

void WebVttReader::finish() {
  if (at_ == At::kFirst) block_fault(first_, kNoTiming);
  block_.finish();
}

}  // namespace cuelint
