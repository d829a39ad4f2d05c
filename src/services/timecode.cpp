#include "services/timecode.h"

#include "cuecheck/globals.h"
#include "textio/extended.h"
#include "textio/numconv.h"

namespace {

constexpr uint32_t kPlaceHundredths = 0x00404010;

int16_t field(const ShortStr& tc, int from, int count) {
  ShortStr f;
  f.b[0] = static_cast<unsigned char>(count);
  for (int i = 0; i < count; ++i) f.b[1 + i] = tc.b[from + i];
  IntConv c = int_conversion16(f);
  g.CODE = static_cast<int16_t>(c.code);
  return static_cast<int16_t>(c.value);
}

void append(ShortStr& s, int32_t v) {
  char text[16];
  size_t n = int_to_text(v, text);
  for (size_t i = 0; i < n; ++i) ss_push(s, static_cast<unsigned char>(text[i]));
}

}  // namespace

double ST2TT(const ShortStr& tc) {
  static const Ext thousandth = ext_div(ext_from_int(1), ext_from_int(1000));
  int32_t h = field(tc, 1, 2);
  int32_t m = field(tc, 4, 2);
  int32_t s = field(tc, 7, 2);
  int32_t ms = field(tc, 10, 3);
  Ext whole = ext_from_int(h * 3600 + m * 60 + s);
  return ext_to_double(ext_add(whole, ext_mul(ext_from_int(ms), thousandth)));
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
