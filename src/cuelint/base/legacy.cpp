#include "legacy.h"

#include <uchardet/uchardet.h>

#include <cstring>
#include <memory>

#include "convert.h"

namespace cuelint {

namespace {

struct Legacy {
  const char* detector;  // as the detector names it
  Encoding encoding;
  const char* converter;  // the superset files in it are written in, in practice
};

const Legacy kLegacy[] = {
    {"SHIFT_JIS", Encoding::kShiftJis, "CP932"}, {"EUC-JP", Encoding::kEucJp, "EUC-JP"},
    {"GB18030", Encoding::kGb18030, "GB18030"},  {"BIG5", Encoding::kBig5, "CP950"},
    {"EUC-KR", Encoding::kKorean, "CP949"},      {"UHC", Encoding::kKorean, "CP949"},
};

struct Alias {
  const char* name;
  const char* converter;
};

const Alias kAliases[] = {
    {"shift_jis", "CP932"}, {"big5", "CP950"},  {"euc-kr", "CP949"},
    {"gb2312", "GB18030"},  {"gbk", "GB18030"},
};

bool same_ignoring_case(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

struct DetectorDeleter {
  void operator()(uchardet* d) const { uchardet_delete(d); }
};

}  // namespace

const char* converter_name(Encoding e, const char* named) {
  if (e == Encoding::kNamed) return named;
  for (const Legacy& l : kLegacy)
    if (l.encoding == e) return l.converter;
  return nullptr;
}

std::string converter_for_option(const std::string& name) {
  for (const Alias& a : kAliases)
    if (same_ignoring_case(name, a.name)) return a.converter;
  return name;
}

bool known_encoding(const std::string& name) {
  return Converter::open(converter_for_option(name).c_str()) != nullptr;
}

bool decodes_whole(Source& src, const char* converter) {
  std::unique_ptr<Converter> conv = Converter::open(converter);
  if (!conv) return false;
  src.rewind();
  static constexpr std::size_t kChunk = 65536;
  char in[kChunk + 8], out[16384];
  std::size_t held = 0;  // bytes of a character cut by the chunk's end
  for (;;) {
    std::size_t got = src.read(in + held, kChunk);
    if (got == 0) return held == 0;
    const char* p = in;
    std::size_t left = held + got;
    for (;;) {
      char* o = out;
      std::size_t room = sizeof out;
      Converter::Result r = conv->convert(p, left, o, room);
      if (r == Converter::kOutFull) continue;
      if (r == Converter::kInvalid) return false;
      if (r == Converter::kIncomplete && left > 8) return false;
      break;
    }
    std::memmove(in, p, left);
    held = left;
  }
}

Encoding guess_legacy(Source& src) {
  // When no encoding of the table takes the whole file, the detector's answer could not
  // be taken either, and it is not asked: it reads the whole file slowly, while the
  // converters stop at the first byte they do not take, near the start of most
  // single-byte files.
  bool any = false;
  for (const Legacy& l : kLegacy) {
    if (decodes_whole(src, l.converter)) {
      any = true;
      break;
    }
  }
  if (!any) return Encoding::kSingleByte;
  std::unique_ptr<uchardet, DetectorDeleter> det(uchardet_new());
  src.rewind();
  // The detector is handed the same pieces however the source cuts its reads: what it
  // names may depend on them.
  char buf[65536];
  for (bool end = false; !end;) {
    std::size_t have = 0;
    while (have < sizeof buf) {
      std::size_t got = src.read(buf + have, sizeof buf - have);
      if (got == 0) {
        end = true;
        break;
      }
      have += got;
    }
    if (have && uchardet_handle_data(det.get(), buf, have) != 0) return Encoding::kSingleByte;
  }
  uchardet_data_end(det.get());
  const char* name = uchardet_get_charset(det.get());
  for (const Legacy& l : kLegacy)
    if (name && std::strcmp(name, l.detector) == 0)
      return decodes_whole(src, l.converter) ? l.encoding : Encoding::kSingleByte;
  return Encoding::kSingleByte;
}

}  // namespace cuelint
