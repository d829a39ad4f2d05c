#include "lint.h"

#include <memory>

#include "checks.h"
#include "encoding.h"
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

// Encoding and format; null (and the format fault given) when there is nothing to check.
// A file with a byte-order mark is checked against its mark on a pass of its own (a file
// that is not what its mark says gets nothing but the format fault); so is every file when
// decide_first. Otherwise the encoding is decided while the file is read (EncodingState).
const FormatRow* find_kind(Source& src, EncodingState& st, bool decide_first, FileOutcome& out,
                           const Options& opt, FaultSink* sink) {
  Encoding mark = encoding_of_mark(src);
  if (mark != Encoding::kUtf8 || decide_first) {
    src.rewind();
    EncodingResult enc = detect_encoding(src);
    st.set(enc.encoding);
    out.encoding = enc.encoding;
    if (enc.fault) {
      if (sink) format_fault(*sink, enc.fault, opt, out);
      return nullptr;
    }
  } else {
    st.known = false;
  }
  src.rewind();
  auto dec = std::make_unique<Decoder>(src, st);
  LineReader lines(*dec);
  const FormatRow* row = detect_format(lines);
  if (!row && !st.known) {
    // No check pass will read on and decide it.
    src.rewind();
    st.set(detect_encoding(src).encoding);
  }
  out.encoding = st.encoding;
  if (!row) {
    if (sink) format_fault(*sink, no_format_message(), opt, out);
    return nullptr;
  }
  out.format = row->info;
  return row;
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
  const FormatRow* row = find_kind(src, st, decide_first, out, opt, &sink);
  if (!row) return out;
  src.rewind();
  FileChecker fc(sink, *row->info, opt);
  auto dec = std::make_unique<Decoder>(src, st);
  LineReader lines(*dec, line_buffer);
  row->check(lines, fc);
  out.encoding = st.encoding;
  out.faults = fc.faults();
  out.rate = fc.unit();
  return out;
}

}  // namespace cuelint
