// Plain types shared by the reading, the checks and the reports.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cuelint {

// kShiftJis to kKorean: a legacy encoding the detector named, decoded in its superset;
// kNamed: the encoding --encoding names.
enum class Encoding : std::uint8_t {
  kUtf8Bom,
  kUtf16Le,
  kUtf16Be,
  kUtf8,
  kSingleByte,
  kShiftJis,
  kEucJp,
  kGb18030,
  kBig5,
  kKorean,
  kNamed,
};

// The rules, in the order faults on one line are reported (rules.cpp: their table).
enum class Check : std::uint8_t {
  kOrder,
  kOverlap,
  kMinGap,
  kReadingTime,
  kMinDuration,
  kMaxDuration,
  kEmpty,
  kLineBreakMark,
  kTooManyLines,
  kLineLength,
  kWhitespace,
  kControlChar,
  kTags,
  kNumbering,
  kStructure,
  kTimeCode,
  kFrameCode,
  kEncoding,
  kFormat,
};
constexpr std::size_t kCheckCount = static_cast<std::size_t>(Check::kFormat) + 1;

// Off sorts lowest: a fault of at least some severity.
enum class Severity : std::uint8_t { kOff, kWarning, kError };

const char* encoding_name(Encoding e);
const char* check_name(Check c);
const char* severity_name(Severity s);

// The line-break marks of the formats: MicroDVD's "|" and Subviewer 2.0's "[br]".
enum class Mark : std::uint8_t { kNone, kPipe, kBr };

// What the markup rule has searched of one line: a closing byte ('>' or '}') found at or
// after a place holds for every opener up to it, and none found holds for every opener
// after it. Openers taken left to right then search each byte of a line once, so that a
// line of unclosed openers costs no more than its length. One per pass over a line.
struct MarkupScan {
  static constexpr std::size_t kUnsearched = ~std::size_t{0};
  std::size_t from[2] = {kUnsearched, kUnsearched};  // '>', '}': where the search began
  std::size_t found[2] = {0, 0};                     // one past the close; 0: none
};

// Where markup that begins at byte i of a text line ends (one past its last byte); 0 when
// none begins there. The count takes markup out of the text.
using MarkupRule = std::size_t (*)(std::string_view line, std::size_t i, MarkupScan& scan);

// What a cue's start is measured against for the overlap check.
enum class Overlap : std::uint8_t { kPreviousStop, kPreviousStart };

// The tags a format's tags rule knows (ASCII lower case, compared without case), those of
// them a subtitle's end closes, and whether a "." ends an opener's name (a class:
// "<c.yellow>") while a closer is its name alone ("</c>").
struct TagSet {
  static constexpr int kMax = 8;
  const char* names[kMax];
  unsigned closed_at_end;  // bit k: names[k]
  bool classes;
};

class Msg;
// Writes a time in a format's own form, from its units, so that it can be searched for in
// the file: Subviewer 2.0's 00:00:03.50.
using TimeWriter = void (*)(Msg& m, std::int64_t t);

// What the reading, the checks and the walk know of a format. Each format defines its row in
// its own file of formats/, an aggregate in the order of these fields; the rest of the
// program reads them and never asks which format it is.
struct FormatInfo {
  const char* name = nullptr;                // JSON "format": "subrip"
  const char* title = nullptr;               // in messages: "SubRip"
  const char* ending = nullptr;              // of file names the walk takes, in any case: ".srt"
  std::int64_t units_per_second = 0;         // of its times; 0: frames, at the file's frame rate
  MarkupRule markup = nullptr;               // null: no markup, every byte of a text line is text
  Mark line_break = Mark::kNone;             // its own mark; the other marks in its text are faults
  std::uint64_t max_text_lines = 0;          // text lines a subtitle may have; 0: any number
  const char* lines_allowed = nullptr;       // that limit in the too-many-lines message
  Overlap overlap = Overlap::kPreviousStop;  // kPreviousStart: cues may be shown together
  bool references = false;         // "&amp;" "&lt;" "&gt;" "&nbsp;" "&lrm;" "&rlm;" in text count
                                   // as what they name
  bool utf8_only = false;          // a file read as any other encoding is a format fault
  const TagSet* tags = nullptr;    // its tags must balance within a subtitle; null: not checked
  TimeWriter time_form = nullptr;  // null: times written as SubRip writes them

  bool frames() const { return units_per_second == 0; }
  // Whether a file name ends in the ending (ASCII letters in any case).
  bool takes_name(std::string_view file_name) const;
};

// A frame rate as the exact decimal it was written as: num / den, den a power of ten.
struct Rate {
  std::int64_t num = 25;
  std::int64_t den = 1;
};

// A duration limit as written: milliseconds ("500ms", "1.5s") or whole frames ("2f").
struct Duration {
  enum Unit : std::uint8_t { kMs, kSeconds, kFrames };
  Unit unit = kMs;
  std::int64_t value = 0;  // milliseconds, or frames
  int decimals = 0;        // of seconds, as written
};

// The settings a file is checked with; by default the classic profile's (rules.cpp).
struct Options {
  Options();

  bool fps_given = false;  // --fps overrides a MicroDVD file's own frame-rate line
  Rate fps;                // used when given, and as the default of 25
  std::int64_t cps = 20;   // 0: the reading-time rule is off
  std::string encoding;    // of files neither marked nor UTF-8; empty: found by detection
  bool count_all = false;  // reading time counts white space too
  Duration min_duration{Duration::kSeconds, 1000, 0};
  Duration max_duration{Duration::kSeconds, 7000, 0};
  Duration min_gap{Duration::kFrames, 2, 0};
  std::int64_t max_lines = 0;  // display lines; 0: the format's own limit of text lines
  std::int64_t line_length = 42;
  // Each rule on or off, and the severity it has when on (kept while it is off).
  std::array<bool, kCheckCount> on{};
  std::array<Severity, kCheckCount> level{};

  Severity severity(Check c) const {
    auto i = static_cast<std::size_t>(c);
    return on[i] ? level[i] : Severity::kOff;
  }
};

struct Fault {
  std::uint64_t line = 1;
  std::uint64_t column = 0;  // orders faults of one check on one line
  Check check = Check::kFormat;
  Severity severity = Severity::kError;
  const FormatInfo* format = nullptr;  // null: no format was found
  bool has_subtitle = false;
  bool has_times = false;
  std::int64_t subtitle = 0;
  std::int64_t start_ms = 0;
  std::int64_t stop_ms = 0;
  std::uint16_t message_len = 0;
  char message[222];

  std::string_view text() const { return std::string_view(message, message_len); }
};

// Receives the faults of one file, in report order.
class FaultSink {
 public:
  virtual ~FaultSink() = default;
  virtual void fault(const Fault& f) = 0;
};

}  // namespace cuelint
