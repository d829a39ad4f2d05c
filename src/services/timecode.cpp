#include "services/timecode.h"

#include "cuecheck/globals.h"
#include "textio/extended.h"
#include "textio/numconv.h"

namespace {

constexpr uint32_t kPlaceHundredths = 0x00404010;

int16_t field(const ShortStr& tc, int from, int count) {
  const unsigned char* p = tc.b + from;
  if (is_digit(p[0]) && is_digit(p[1]) && (count == 2 || is_digit(p[2]))) {  // the usual case
    g.CODE = 0;
    int v = (p[0] - '0') * 10 + (p[1] - '0');
    return static_cast<int16_t>(count == 2 ? v : v * 10 + (p[2] - '0'));
  }
  ShortStr f;
  f.b[0] = static_cast<unsigned char>(count);
  for (int i = 0; i < count; ++i) f.b[1 + i] = tc.b[from + i];
  IntConv c = int_conversion16(f);
  g.CODE = static_cast<int16_t>(c.code);
  return static_cast<int16_t>(c.value);
}

// Appends the decimal text of v; the four fields of a time never come near 255 characters.
void append(ShortStr& s, int32_t v) {
  s.b[0] = static_cast<unsigned char>(s.b[0] +
                                      int_to_text(v, reinterpret_cast<char*>(s.b + 1 + s.b[0])));
}

Ext thousandth() {
  return ext_div(ext_from_int(1), ext_from_int(1000));
}

// ms * 0.001 for the milliseconds 0..999, each formed as ST2TT forms it.
struct Thousandths {
  Ext of[1000];
  Thousandths() {
    for (int ms = 0; ms < 1000; ++ms) of[ms] = ext_mul(ext_from_int(ms), thousandth());
  }
};

}  // namespace

double ST2TT(const ShortStr& tc) {
  static const Thousandths table;
  int32_t h = field(tc, 1, 2);
  int32_t m = field(tc, 4, 2);
  int32_t s = field(tc, 7, 2);
  int32_t ms = field(tc, 10, 3);
  Ext whole = ext_from_int(h * 3600 + m * 60 + s);
  Ext part = ms >= 0 && ms < 1000 ? table.of[ms] : ext_mul(ext_from_int(ms), thousandth());
  return ext_to_double(ext_add(whole, part));
}

void TT2ST(double t, ShortStr& out) {
  const Ext x = ext_from_double(t);
  int16_t h = static_cast<int16_t>(truncation(ext_div(x, ext_from_int(3600))));
  Ext r1 = ext_sub(x, ext_from_int(3600 * static_cast<int64_t>(h)));
  int16_t m = static_cast<int16_t>(truncation(ext_div(r1, ext_from_int(60))));
  Ext r2 = ext_sub(r1, ext_from_int(60 * static_cast<int64_t>(m)));
  int16_t s = static_cast<int16_t>(truncation(r2));
  Ext frac = ext_sub(r2, ext_from_int(s));
  int16_t c = static_cast<int16_t>(rounding(ext_mul(frac, ext_from_int(100)), kPlaceHundredths));
  ss_clear(out);
  append(out, h);
  ss_push(out, ':');
  append(out, m);
  ss_push(out, ':');
  append(out, s);
  ss_push(out, '.');
  append(out, c);
}
