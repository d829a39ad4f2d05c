#include <windows.h>

#include <cstring>
#include <string>

#include "convert.h"

namespace cuelint {

namespace {

// How a code page's bytes make characters. Pages of other shapes (UTF-7, ISO-2022's
// escapes, UTF-8) are not offered: their characters cannot be cut out byte by byte here.
enum class Shape { kSingle, kDouble, kGb18030 };

struct Named {
  const char* name;
  UINT page;
};

// Names iconv knows that are no "CP<n>", "WINDOWS-<n>" or "ISO-8859-<n>".
const Named kNamed[] = {
    {"WINDOWS-31J", 932}, {"MS932", 932},      {"SJIS", 932},        {"SHIFT_JIS", 932},
    {"SHIFT-JIS", 932},   {"EUC-JP", 20932},   {"EUCJP", 20932},     {"GB18030", 54936},
    {"GBK", 936},         {"GB2312", 936},     {"BIG5", 950},        {"BIG-5", 950},
    {"UHC", 949},         {"EUC-KR", 949},     {"KOI8-R", 20866},    {"KOI8-U", 21866},
    {"ASCII", 20127},     {"US-ASCII", 20127}, {"MACINTOSH", 10000},
};

// The ISO-8859 parts Windows has a page for: 28590 + the part.
bool iso_part(unsigned part) {
  return (part >= 1 && part <= 9) || part == 13 || part == 15;
}

std::string upper(const char* s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

// The number after prefix when the rest of s is one, at most five digits; else 0.
unsigned number_after(const std::string& s, const char* prefix) {
  std::size_t n = std::strlen(prefix);
  if (s.size() <= n || s.size() > n + 5 || s.compare(0, n, prefix) != 0) return 0;
  unsigned v = 0;
  for (std::size_t i = n; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + static_cast<unsigned>(s[i] - '0');
  }
  return v;
}

UINT page_of(const char* name) {
  std::string u = upper(name);
  for (const Named& n : kNamed)
    if (u == n.name) return n.page;
  for (const char* prefix : {"CP", "WINDOWS-"})
    if (unsigned v = number_after(u, prefix)) return v;
  for (const char* prefix : {"ISO-8859-", "ISO8859-", "ISO_8859-"}) {
    unsigned part = number_after(u, prefix);
    if (iso_part(part)) return 28590 + part;
  }
  return 0;
}

bool is_iso_8859(UINT page) {
  return page > 28590 && iso_part(page - 28590);
}

class WindowsConverter : public Converter {
 public:
  WindowsConverter(UINT page, Shape shape, const CPINFO& info) : page_(page), shape_(shape) {
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
      for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead_[b] = true;
    if (shape_ == Shape::kGb18030)
      for (unsigned b = 0x81; b <= 0xFE; ++b) lead_[b] = true;
    // Single bytes are decided once. Windows gives some bytes that iconv refuses a
    // character of its own (a C1 control, a private-use one: 0x81 of windows-1252, 0xA0
    // and 0xFD of CP932); they are refused here too, but in ISO-8859, whose C1 controls
    // are its own.
    bool keep_c1 = is_iso_8859(page_);
    for (unsigned b = 0; b < 256; ++b) {
      if (lead_[b]) continue;
      char c = static_cast<char>(b);
      wchar_t w[2];
      int n = MultiByteToWideChar(page_, MB_ERR_INVALID_CHARS, &c, 1, w, 2);
      bool c1 = n == 1 && w[0] >= 0x80 && w[0] <= 0x9F;
      bool private_use = n == 1 && w[0] >= 0xE000 && w[0] <= 0xF8FF;
      bad_single_[b] = n != 1 || (b >= 0x80 && ((c1 && !keep_c1) || private_use));
    }
  }

  Result convert(const char*& in, std::size_t& in_left, char*& out,
                 std::size_t& out_left) override {
    while (in_left > 0) {
      // Whole characters, as many as the wide buffer and the output surely take.
      std::size_t take = 0, units = 0, worst = 0;
      Result stop = kDone;
      while (take < in_left) {
        std::size_t n = length(in + take, in_left - take);
        if (n == 0) {
          stop = kIncomplete;
          break;
        }
        if (n == 1 && bad_single_[static_cast<unsigned char>(in[take])]) {
          stop = kInvalid;
          break;
        }
        std::size_t w = n == 4 ? 2 : 1, bytes = n == 4 ? 4 : 3;
        if (units + w > kWide) break;
        if (worst + bytes > out_left) {
          stop = kOutFull;
          break;
        }
        take += n;
        units += w;
        worst += bytes;
      }
      if (take > 0) {
        if (!put(in, take, out, out_left)) return one_by_one(in, in_left, take, out, out_left);
        in += take;
        in_left -= take;
        continue;
      }
      if (stop != kOutFull) return stop;
      // The next character may fit all the same: its worst case is not its size.
      std::size_t n = length(in, in_left);
      char one[8];
      char* o = one;
      std::size_t room = sizeof one;
      if (!put(in, n, o, room)) return kInvalid;
      std::size_t size = sizeof one - room;
      if (size > out_left) return kOutFull;
      std::memcpy(out, one, size);
      out += size;
      out_left -= size;
      in += n;
      in_left -= n;
    }
    return kDone;
  }

 private:
  static constexpr std::size_t kWide = 4096;

  // The bytes of the character at p, or 0 when the input ends inside it.
  std::size_t length(const char* p, std::size_t left) const {
    unsigned char b = static_cast<unsigned char>(p[0]);
    if (!lead_[b]) return 1;
    if (left < 2) return 0;
    if (shape_ != Shape::kGb18030) return 2;
    unsigned char b2 = static_cast<unsigned char>(p[1]);
    if (b2 < '0' || b2 > '9') return 2;
    return left < 4 ? 0 : 4;
  }

  // Decodes whole characters to UTF-8 at out (which has room for them); false when one of
  // them is no character of the page.
  bool put(const char* in, std::size_t n, char*& out, std::size_t& out_left) {
    int units = MultiByteToWideChar(page_, MB_ERR_INVALID_CHARS, in, static_cast<int>(n), wide_,
                                    static_cast<int>(kWide));
    if (units <= 0) return false;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide_, units, out, static_cast<int>(out_left),
                                    nullptr, nullptr);
    if (bytes <= 0) return false;
    out += bytes;
    out_left -= static_cast<std::size_t>(bytes);
    return true;
  }

  // A piece of several characters failed: the ones before the bad one are given, then
  // kInvalid with in at it.
  Result one_by_one(const char*& in, std::size_t& in_left, std::size_t take, char*& out,
                    std::size_t& out_left) {
    const char* end = in + take;
    while (in < end) {
      std::size_t n = length(in, in_left);
      if (!put(in, n, out, out_left)) return kInvalid;
      in += n;
      in_left -= n;
    }
    return kInvalid;  // not reached: the piece failed as a whole
  }

  UINT page_;
  Shape shape_;
  bool lead_[256] = {};
  bool bad_single_[256] = {};
  wchar_t wide_[kWide];
};

}  // namespace

std::unique_ptr<Converter> Converter::open(const char* name) {
  UINT page = page_of(name);
  CPINFO info;
  if (page == 0 || !GetCPInfo(page, &info)) return nullptr;
  Shape shape;
  if (page == 54936)
    shape = Shape::kGb18030;
  else if (info.MaxCharSize == 1)
    shape = Shape::kSingle;
  else if (info.MaxCharSize == 2 && info.LeadByte[0] != 0)
    shape = Shape::kDouble;
  else
    return nullptr;
  return std::make_unique<WindowsConverter>(page, shape, info);
}

}  // namespace cuelint
