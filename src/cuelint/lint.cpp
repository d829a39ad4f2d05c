#include "lint.h"

#include <memory>
#include <string>
#include <vector>

#include "checks.h"
#include "cut.h"
#include "encoding.h"
#include "legacy.h"
#include "lines.h"
#include "registry.h"

namespace cuelint {

namespace {

void format_fault(FaultSink& sink, std::string_view text, const Options& opt, FileOutcome& out) {
  Fault f;
  f.line = 1;
  f.check = Check::kFormat;
  f.severity = opt.severity(Check::kFormat);
  Msg(f) << text;
  sink.fault(f);
  out.faults = 1;
}

// The fault that ends a file at a line too long to read; the checks before it stand.
void long_line_fault(FaultSink& sink, std::uint64_t line, const Options& opt, FileOutcome& out) {
  Fault f;
  f.line = line;
  f.check = Check::kFormat;
  f.severity = opt.severity(Check::kFormat);
  f.format = out.format;
  Msg(f) << "a line longer than 16 MiB: not a subtitle file";
  sink.fault(f);
  ++out.faults;
}

// The number of the line that begins at byte cut (a line too long the encoding pass found).
std::uint64_t line_at(Source& src, Encoding e, std::uint64_t cut) {
  CutSource before(src, cut);
  before.rewind();
  Decoder dec(before, e);
  LineReader lines(dec);
  std::uint64_t n = 1;
  while (lines.next()) ++n;
  return n;
}

bool is_utf8(const EncodingState& st) {
  return !st.known || st.encoding == Encoding::kUtf8 || st.encoding == Encoding::kUtf8Bom;
}

std::string not_utf8_message(const FormatInfo& f) {
  return std::string("a ") + f.title + " file must be UTF-8";
}

// Encoding and format; null (and the format fault given) when there is nothing to check.
// A file with a byte-order mark is checked against its mark on a pass of its own (a file
// that is not what its mark says gets nothing but the format fault); so is every file when
// decide_first. Otherwise the encoding is decided while the file is read (EncodingState).
const FormatRow* find_kind(Source& src, EncodingState& st, bool decide_first, FileOutcome& out,
                           const Options& opt, FaultSink* sink) {
  Encoding mark = encoding_of_mark(src);
  if (mark != Encoding::kUtf8 || decide_first) {
    src.rewind();
    EncodingResult enc = detect_encoding(src, st.named);
    st.set(enc.encoding);
    out.encoding = enc.encoding;
    if (enc.fault) {
      if (sink) format_fault(*sink, enc.fault, opt, out);
      if (sink && enc.cut != kNoCut)
        long_line_fault(*sink, line_at(src, enc.encoding, enc.cut), opt, out);
      return nullptr;
    }
  } else {
    st.known = false;
  }
  src.rewind();
  auto dec = std::make_unique<Decoder>(src, st);
  LineReader lines(*dec);
  const FormatRow* row = detect_format(lines);
  const std::uint64_t long_line = lines.long_line();
  if (!row && !st.known) {
    // No check pass will read on and decide it.
    src.rewind();
    st.set(detect_encoding(src, st.named).encoding);
  }
  out.encoding = st.encoding;
  if (!row) {
    if (sink) format_fault(*sink, no_format_message(), opt, out);
    if (sink && long_line) long_line_fault(*sink, long_line, opt, out);
    return nullptr;
  }
  // Not known yet: decided while the file is checked (Utf8Gate).
  if (row->info->utf8_only && st.known && !is_utf8(st)) {
    if (sink) format_fault(*sink, not_utf8_message(*row->info), opt, out);
    return nullptr;
  }
  out.format = row->info;
  return row;
}

// A file in a format that must be UTF-8, whose encoding is decided while it is checked: its
// faults are held until it is, then handed over, or dropped for the format fault. Held are
// only the faults of lines before its first byte beyond ASCII; past kMaxHeld the decoder
// is made to decide at once, so that memory stays bounded.
class Utf8Gate : public FaultSink {
 public:
  static constexpr std::size_t kMaxHeld = 1024;

  Utf8Gate(FaultSink& out, const EncodingState& st) : out_(out), st_(st) {}
  void set_decoder(Decoder* dec) { dec_ = dec; }
  void fault(const Fault& f) override {
    if (!st_.known && held_.size() == kMaxHeld && dec_) dec_->decide_now();
    if (!st_.known) {
      held_.push_back(f);
    } else if (is_utf8(st_)) {
      flush();
      out_.fault(f);
    }
  }
  void flush() {
    for (const Fault& f : held_) out_.fault(f);
    held_.clear();
  }

 private:
  FaultSink& out_;
  const EncodingState& st_;
  Decoder* dec_ = nullptr;
  std::vector<Fault> held_;
};

// What a file was read as, in the encoding rule's message.
std::string read_as(Encoding e, const Options& opt) {
  switch (e) {
    case Encoding::kUtf16Le:
      return "UTF-16LE";
    case Encoding::kUtf16Be:
      return "UTF-16BE";
    case Encoding::kShiftJis:
      return "Shift_JIS";
    case Encoding::kEucJp:
      return "EUC-JP";
    case Encoding::kGb18030:
      return "GB18030";
    case Encoding::kBig5:
      return "Big5";
    case Encoding::kKorean:
      return "EUC-KR";
    case Encoding::kNamed:
      return opt.encoding;
    default:
      return "single-byte text";
  }
}

// The encoding rule's fault belongs at line 1, after the check pass's faults there, while the
// encoding of a file without a mark may be decided only later in the pass: it is put in
// before the first fault past line 1, the decoder made to decide then if it has not.
class EncodingRule : public FaultSink {
 public:
  EncodingRule(FaultSink& out, const EncodingState& st, const Options& opt, const FormatInfo& f)
      : out_(out), st_(st), opt_(opt), format_(f) {}
  void set_decoder(Decoder* dec) { dec_ = dec; }
  void fault(const Fault& f) override {
    if (f.line > 1) finish();
    out_.fault(f);
  }
  // Past line 1, or the end of the file (still not decided there: ASCII only).
  void finish() {
    if (done_) return;
    done_ = true;
    if (!st_.known && dec_) dec_->decide_now();
    if (is_utf8(st_)) return;
    Fault f;
    f.line = 1;
    f.check = Check::kEncoding;
    f.severity = opt_.severity(Check::kEncoding);
    f.format = &format_;
    Msg(f) << "read as " << read_as(st_.encoding, opt_) << "; most players expect UTF-8";
    out_.fault(f);
    given_ = true;
  }
  bool given() const { return given_; }

 private:
  FaultSink& out_;
  const EncodingState& st_;
  const Options& opt_;
  const FormatInfo& format_;
  Decoder* dec_ = nullptr;
  bool done_ = false, given_ = false;
};

// The check pass; the count of faults. `rate` gets the frame rate the times were read at,
// `long_line` the line too long that ended it (0: none did).
std::uint64_t check(Source& src, const FormatRow& row, const Options& opt, FaultSink& sink,
                    EncodingState& st, std::size_t line_buffer, Rate& rate,
                    std::uint64_t& long_line, Utf8Gate* gate = nullptr,
                    EncodingRule* rule = nullptr) {
  src.rewind();
  FileChecker fc(sink, *row.info, opt);
  auto dec = std::make_unique<Decoder>(src, st);
  if (gate) gate->set_decoder(dec.get());
  if (rule) rule->set_decoder(dec.get());
  LineReader lines(*dec, line_buffer);
  row.check(lines, fc);
  if (rule) rule->set_decoder(nullptr);
  rate = fc.unit();
  long_line = lines.long_line();
  return fc.faults();
}

}  // namespace

FileOutcome probe(Source& src) {
  FileOutcome out;
  EncodingState st;
  find_kind(src, st, true, out, Options(), nullptr);
  return out;
}

FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer,
                 bool decide_first) {
  FileOutcome out;
  EncodingState st;
  // A file that does not decode in the encoding given gets the format fault and nothing
  // else: it is looked at whole first.
  const std::string named = opt.encoding.empty() ? "" : converter_for_option(opt.encoding);
  if (!named.empty()) st.named = named.c_str();
  const FormatRow* row = find_kind(src, st, decide_first || st.named, out, opt, &sink);
  if (!row) return out;
  std::uint64_t long_line = 0;
  if (row->info->utf8_only && !st.known) {
    Utf8Gate gate(sink, st);
    std::uint64_t faults = check(src, *row, opt, gate, st, line_buffer, out.rate, long_line, &gate);
    out.encoding = st.encoding;
    if (!is_utf8(st)) {
      out.format = nullptr;
      format_fault(sink, not_utf8_message(*row->info), opt, out);
    } else {
      gate.flush();  // still not decided at the end: ASCII only
      out.faults = faults;
    }
    if (long_line) long_line_fault(sink, long_line, opt, out);
    return out;
  }
  if (opt.severity(Check::kEncoding) != Severity::kOff) {
    EncodingRule rule(sink, st, opt, *row->info);
    out.faults = check(src, *row, opt, rule, st, line_buffer, out.rate, long_line, nullptr, &rule);
    rule.finish();
    out.faults += rule.given();
  } else {
    out.faults = check(src, *row, opt, sink, st, line_buffer, out.rate, long_line);
  }
  out.encoding = st.encoding;
  if (long_line) long_line_fault(sink, long_line, opt, out);
  return out;
}

}  // namespace cuelint
