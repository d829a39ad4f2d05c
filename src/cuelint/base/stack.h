// A stack of plain values that keeps its top in memory and the rest, past kKeep, in a
// temporary file: the tags a subtitle leaves open, which a hostile file makes without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "platform.h"
#include "source.h"

namespace cuelint {

template <class T>
class SpillStack {
  static_assert(std::is_trivially_copyable<T>::value, "stored as bytes");

 public:
  static constexpr std::size_t kKeep = 65536;

  SpillStack() = default;
  ~SpillStack() { close_file(file_); }
  SpillStack(const SpillStack&) = delete;
  SpillStack& operator=(const SpillStack&) = delete;

  bool empty() const { return top_.empty() && spilled_ == 0; }
  void clear() {
    top_.clear();
    spilled_ = 0;
  }
  // Throws ReadError, as the file's own reads do.
  void push_back(const T& v) {
    if (top_.size() == kKeep) {
      // The older half out: kKeep / 2 pushes or pops before the file is used again.
      const std::size_t half = kKeep / 2;
      if (!file_.open()) check(open_temp(&file_));
      check(seek_to(file_, spilled_ * sizeof(T)));
      check(write_file(file_, top_.data(), half * sizeof(T)));
      spilled_ += half;
      top_.erase(top_.begin(), top_.begin() + static_cast<std::ptrdiff_t>(half));
    }
    top_.push_back(v);
  }
  void pop_back() {
    if (top_.empty()) {
      std::size_t k = spilled_ < kKeep / 2 ? static_cast<std::size_t>(spilled_) : kKeep / 2;
      spilled_ -= k;
      top_.resize(k);
      read_at(spilled_, top_.data(), k);
    }
    top_.pop_back();
  }
  // Every value from the bottom up.
  template <class F>
  void for_each(F&& f) const {
    T buf[256];
    for (std::uint64_t at = 0; at < spilled_;) {
      std::size_t k = spilled_ - at < 256 ? static_cast<std::size_t>(spilled_ - at) : 256;
      read_at(at, buf, k);
      for (std::size_t i = 0; i < k; ++i) f(buf[i]);
      at += k;
    }
    for (const T& v : top_) f(v);
  }

 private:
  static void check(int e) {
    if (e) throw ReadError{e};
  }
  void read_at(std::uint64_t at, T* out, std::size_t k) const {
    check(seek_to(file_, at * sizeof(T)));
    auto* p = reinterpret_cast<char*>(out);
    for (std::size_t want = k * sizeof(T); want > 0;) {
      std::size_t got = 0;
      check(read_some(file_, p, want, &got));
      if (got == 0) throw ReadError{0};  // shorter than written: not reached
      p += got;
      want -= got;
    }
  }

  std::vector<T> top_;
  File file_;
  std::uint64_t spilled_ = 0;  // values in the file, the oldest
};

}  // namespace cuelint
