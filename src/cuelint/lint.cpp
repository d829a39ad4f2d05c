#include "lint.h"

#include <memory>

#include "checks.h"
#include "detect.h"
#include "encoding.h"
#include "lines.h"
#include "microdvd.h"
#include "subrip.h"
#include "subviewer.h"

namespace cuelint {

static void format_fault(FaultSink& sink, const char* text, FileOutcome& out) {
  Fault f;
  f.line = 1;
  f.check = Check::kFormat;
  f.format = Format::kNone;
  Msg(f) << text;
  sink.fault(f);
  out.faults = 1;
}

// Encoding and format; false (and the format fault given) when there is nothing to check.
// A file with a byte-order mark is checked against its mark on a pass of its own (a file
// that is not what its mark says gets nothing but the format fault); so is every file when
// decide_first. Otherwise the encoding is decided while the file is read (EncodingState).
static bool find_kind(Source& src, EncodingState& st, bool decide_first, FileOutcome& out,
                      FaultSink* sink) {
  Encoding mark = encoding_of_mark(src);
  if (mark != Encoding::kUtf8 || decide_first) {
    src.rewind();
    EncodingResult enc = detect_encoding(src);
    st.set(enc.encoding);
    out.encoding = enc.encoding;
    if (enc.fault) {
      if (sink) format_fault(*sink, enc.fault, out);
      return false;
    }
  } else {
    st.known = false;
  }
  src.rewind();
  auto dec = std::make_unique<Decoder>(src, st);
  LineReader lines(*dec);
  out.format = detect_format(lines, st.unicode);
  if (out.format == Format::kNone && !st.known) {
    // No check pass will read on and decide it.
    src.rewind();
    st.set(detect_encoding(src).encoding);
  }
  out.encoding = st.encoding;
  if (out.format == Format::kNone) {
    if (sink) format_fault(*sink, "not a MicroDVD, SubRip or Subviewer 2.0 file", out);
    return false;
  }
  return true;
}

template <class Lines>
static void check_lines(Lines& lines, Format format, const bool& unicode, const Options& opt,
                        FileChecker& fc) {
  std::string_view s;
  switch (format) {
    case Format::kSubRip: {
      SubRipReader r(fc, unicode);
      while (lines.next(s)) r.line(s, lines.number());
      r.finish();
      break;
    }
    case Format::kMicroDvd: {
      MicroDvdReader r(fc, unicode, opt.fps_given);
      while (lines.next(s)) r.line(s, lines.number());
      r.finish();
      break;
    }
    case Format::kSubviewer: {
      SubviewerReader r(fc, unicode);
      while (lines.next(s)) r.line(s, lines.number());
      r.finish();
      break;
    }
    case Format::kNone:
      break;
  }
}

FileOutcome probe(Source& src) {
  FileOutcome out;
  EncodingState st;
  find_kind(src, st, true, out, nullptr);
  return out;
}

FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer,
                 bool decide_first) {
  FileOutcome out;
  EncodingState st;
  if (!find_kind(src, st, decide_first, out, &sink)) return out;
  src.rewind();
  FileChecker fc(sink, out.format, opt);
  auto dec = std::make_unique<Decoder>(src, st);
  LineReader lines(*dec, line_buffer);
  check_lines(lines, out.format, st.unicode, opt, fc);
  out.encoding = st.encoding;
  out.faults = fc.faults();
  return out;
}

}  // namespace cuelint
