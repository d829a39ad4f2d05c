#include "timecode.h"

#include <cassert>
#include <cstring>

#include "extended.h"
#include "globals.h"
#include "numconv.h"
#include "trace_places.h"

namespace {

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

// Made before main, so that the hot paths need no test of a first use.
const Thousandths table_of_thousandths;

const Thousandths& thousandths() {
  return table_of_thousandths;
}

}  // namespace

double ST2TT(const ShortStr& tc) {
  const Thousandths& table = thousandths();
  int32_t h = field(tc, 1, 2);
  int32_t m = field(tc, 4, 2);
  int32_t s = field(tc, 7, 2);
  int32_t ms = field(tc, 10, 3);
  Ext whole = ext_from_int(h * 3600 + m * 60 + s);
  Ext part = ms >= 0 && ms < 1000 ? table.of[ms] : ext_mul(ext_from_int(ms), thousandth());
  return ext_to_double(ext_add(whole, part));
}

double time_of_ms(int32_t ms) {
  assert(ms >= 0 && ms <= 362439999);
  const Ext whole = ext_from_int(ms / 1000);
  return ext_to_double(ext_add(whole, thousandths().of[ms % 1000]));
}

int32_t plain_ms(const unsigned char* p, unsigned char twelfth) {
  const unsigned d0 = p[0] - 48u, d1 = p[1] - 48u, d3 = p[3] - 48u, d4 = p[4] - 48u,
                 d6 = p[6] - 48u, d7 = p[7] - 48u, d9 = p[9] - 48u, d10 = p[10] - 48u,
                 d11 = twelfth - 48u;
  if ((d0 > 9) | (d1 > 9) | (d3 > 9) | (d4 > 9) | (d6 > 9) | (d7 > 9) | (d9 > 9) | (d10 > 9) |
      (d11 > 9))
    return -1;
  const unsigned whole = (d0 * 10 + d1) * 3600 + (d3 * 10 + d4) * 60 + d6 * 10 + d7;
  return static_cast<int32_t>(whole * 1000 + d9 * 100 + d10 * 10 + d11);
}

CodeTime code_time(const ShortStr& line, int from, int twelfth_at) {
  const unsigned char twelfth = twelfth_at != 0 ? line.b[twelfth_at] : '0';
  const int32_t ms = plain_ms(line.b + from, twelfth);
  if (ms >= 0) {
    g.CODE = 0;  // what ST2TT leaves after a plain milliseconds field
    return CodeTime{ms, false, 0.0};
  }
  ss_copy(g.TC, line, from, 11);
  ss_push(g.TC, twelfth);
  return CodeTime{-1, true, ST2TT(g.TC)};
}

namespace {

void put_time(int32_t h, int32_t m, int32_t s, int32_t c, ShortStr& out) {
  ss_clear(out);
  append(out, h);
  ss_push(out, ':');
  append(out, m);
  ss_push(out, ':');
  append(out, s);
  ss_push(out, '.');
  append(out, c);
}

// The four fields of TT2ST from the exact value of t, for |t| < 2^20. There every step of
// the extended path is exact or cannot move across a whole number:
// - t / 3600 rounded to 64 bits reaches a whole number j only from within j * 2^-64 of
//   it, that is t within 3600 * 291 * 2^-64 (< 2^-44) of 3600 * j; but for |t| >= 3600
//   the doubles lie 2^-41 or more apart, so t is 3600 * j or the quotient stays on its
//   side of j. The same holds for the minutes (r1 within 2^-52 of 60 * j against a grid
//   of 2^-47 or coarser).
// - t - 3600 * H and r1 - 60 * M are exact: the result is below 3600 and keeps t's grid,
//   so it needs at most the 53 bits of t.
// - frac * 100 is exact: at most 53 bits of frac times 7 bits of 100 fit 64.
// So the fields are those of the exact |t| = sig * 2^-k (with the sign put back on each,
// since truncation goes toward zero), and the hundredths are frac * 100 rounded to
// nearest with ties to even. False for larger or non-finite t.
bool fields_exact(double t, int32_t f[4]) {
  uint64_t bits;
  std::memcpy(&bits, &t, sizeof bits);
  const int exp = static_cast<int>((bits >> 52) & 0x7FF);
  if (exp >= 1023 + 20) return false;  // 2^20 and more, infinities, not a number
  f[0] = f[1] = f[2] = f[3] = 0;
  const int k = 1075 - exp;  // |t| = sig * 2^-k, k >= 33
  if (k > 63) return true;   // |t| < 2^-11: every field 0, |t| * 100 rounds to 0
  const uint64_t sig = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const uint64_t mask = (uint64_t{1} << k) - 1;
  const uint32_t whole = static_cast<uint32_t>(sig >> k);
  const uint64_t p = (sig & mask) * 100;  // below 2^60
  uint32_t c = static_cast<uint32_t>(p >> k);
  const uint64_t rem = p & mask, half = uint64_t{1} << (k - 1);
  if (rem > half || (rem == half && (c & 1) != 0)) ++c;
  const int32_t sign = (bits >> 63) != 0 ? -1 : 1;
  f[0] = sign * static_cast<int32_t>(whole / 3600);
  f[1] = sign * static_cast<int32_t>(whole % 3600 / 60);
  f[2] = sign * static_cast<int32_t>(whole % 60);
  f[3] = sign * static_cast<int32_t>(c);
  return true;
}

}  // namespace

void tt2st_extended(double t, ShortStr& out) {
  const Ext x = ext_from_double(t);
  int16_t h = static_cast<int16_t>(truncation(ext_div(x, ext_from_int(3600))));
  Ext r1 = ext_sub(x, ext_from_int(3600 * static_cast<int64_t>(h)));
  int16_t m = static_cast<int16_t>(truncation(ext_div(r1, ext_from_int(60))));
  Ext r2 = ext_sub(r1, ext_from_int(60 * static_cast<int64_t>(m)));
  int16_t s = static_cast<int16_t>(truncation(r2));
  Ext frac = ext_sub(r2, ext_from_int(s));
  int16_t c = static_cast<int16_t>(rounding(ext_mul(frac, ext_from_int(100)), kPlaceHundredths));
  put_time(h, m, s, c, out);
}

void TT2ST(double t, ShortStr& out) {
  int32_t f[4];
  if (fields_exact(t, f)) {
    put_time(f[0], f[1], f[2], f[3], out);
  } else {
    tt2st_extended(t, out);
  }
}
