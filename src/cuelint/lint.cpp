#include "cuelint/lint.h"

#include <memory>

#include "cuelint/checks.h"
#include "cuelint/detect.h"
#include "cuelint/encoding.h"
#include "cuelint/lines.h"
#include "cuelint/microdvd.h"
#include "cuelint/subrip.h"
#include "cuelint/subviewer.h"

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
static bool find_kind(Source& src, FileOutcome& out, FaultSink* sink) {
  EncodingResult enc = detect_encoding(src);
  out.encoding = enc.encoding;
  if (enc.fault) {
    if (sink) format_fault(*sink, enc.fault, out);
    return false;
  }
  src.rewind();
  auto dec = std::make_unique<Decoder>(src, enc.encoding);
  LineReader lines(*dec);
  out.format = detect_format(lines, enc.encoding != Encoding::kSingleByte);
  if (out.format == Format::kNone) {
    if (sink) format_fault(*sink, "not a MicroDVD, SubRip or Subviewer 2.0 file", out);
    return false;
  }
  return true;
}

template <class Lines>
static void check_lines(Lines& lines, Format format, bool unicode, const Options& opt,
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
  find_kind(src, out, nullptr);
  return out;
}

FileOutcome lint(Source& src, const Options& opt, FaultSink& sink, std::size_t line_buffer) {
  FileOutcome out;
  if (!find_kind(src, out, &sink)) return out;
  bool unicode = out.encoding != Encoding::kSingleByte;
  src.rewind();
  FileChecker fc(sink, out.format, opt);
  auto dec = std::make_unique<Decoder>(src, out.encoding);
  LineReader lines(*dec, line_buffer);
  check_lines(lines, out.format, unicode, opt, fc);
  out.faults = fc.faults();
  return out;
}

}  // namespace cuelint
