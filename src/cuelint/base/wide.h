// A signed 128-bit integer for the products that need more than 64 bits (a duration times
// a frame rate's denominator times characters per second, the bounds of a duration limit):
// 32-bit targets have no 128-bit type. It behaves as C++'s own integers do: two's
// complement, results wrap modulo 2^128, division rounds toward zero and the remainder
// takes the dividend's sign; dividing by 0 is not allowed.
#pragma once

#include <cstdint>
#include <type_traits>

namespace cuelint {

class Wide {
 public:
  constexpr Wide() = default;
  // Implicit, as between the built-in integers, so that mixed expressions read as they would.
  template <typename T, typename std::enable_if<std::is_integral<T>::value, int>::type = 0>
  constexpr Wide(T v)  // NOLINT(google-explicit-constructor)
      : hi_(below_zero(v) ? ~std::uint64_t{0} : 0), lo_(static_cast<std::uint64_t>(v)) {}

  static constexpr Wide halves(std::uint64_t hi, std::uint64_t lo) {
    Wide w;
    w.hi_ = hi;
    w.lo_ = lo;
    return w;
  }
  constexpr std::uint64_t hi() const { return hi_; }
  constexpr std::uint64_t lo() const { return lo_; }
  constexpr bool negative() const { return (hi_ >> 63) != 0; }
  // The low 64 bits, as a conversion to a 64-bit integer keeps them.
  explicit constexpr operator std::int64_t() const { return static_cast<std::int64_t>(lo_); }

  friend constexpr Wide operator+(Wide a, Wide b) {
    const std::uint64_t lo = a.lo_ + b.lo_;
    return halves(a.hi_ + b.hi_ + (lo < a.lo_ ? 1 : 0), lo);
  }
  friend constexpr Wide operator-(Wide a, Wide b) {
    return halves(a.hi_ - b.hi_ - (a.lo_ < b.lo_ ? 1 : 0), a.lo_ - b.lo_);
  }
  friend constexpr Wide operator-(Wide a) { return Wide() - a; }
  friend Wide operator*(Wide a, Wide b);
  friend Wide operator/(Wide a, Wide b);
  friend Wide operator%(Wide a, Wide b);

  friend constexpr bool operator==(Wide a, Wide b) { return a.hi_ == b.hi_ && a.lo_ == b.lo_; }
  friend constexpr bool operator!=(Wide a, Wide b) { return !(a == b); }
  friend constexpr bool operator<(Wide a, Wide b) {
    // The high halves as signed, the low ones as unsigned.
    return a.hi_ != b.hi_ ? (a.hi_ ^ kSign) < (b.hi_ ^ kSign) : a.lo_ < b.lo_;
  }
  friend constexpr bool operator>(Wide a, Wide b) { return b < a; }
  friend constexpr bool operator<=(Wide a, Wide b) { return !(b < a); }
  friend constexpr bool operator>=(Wide a, Wide b) { return !(a < b); }

  Wide& operator+=(Wide b) { return *this = *this + b; }
  Wide& operator-=(Wide b) { return *this = *this - b; }
  Wide& operator*=(Wide b) { return *this = *this * b; }
  Wide& operator/=(Wide b) { return *this = *this / b; }
  Wide& operator%=(Wide b) { return *this = *this % b; }

 private:
  static constexpr std::uint64_t kSign = std::uint64_t{1} << 63;

  template <typename T>
  static constexpr bool below_zero(T v) {
    if constexpr (std::is_signed<T>::value) {
      return v < 0;
    } else {
      return static_cast<void>(v), false;
    }
  }

  std::uint64_t hi_ = 0, lo_ = 0;
};

// The full product of two 64-bit numbers.
Wide mul_64x64(std::uint64_t a, std::uint64_t b);

// Quotient and remainder of magnitudes; d is not 0.
void divide_unsigned(Wide n, Wide d, Wide& q, Wide& r);

}  // namespace cuelint
