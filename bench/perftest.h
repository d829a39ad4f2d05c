// A small timing harness for the perftests: runs a body until about 0.3 s have passed
// and prints nanoseconds per operation. The checksum keeps the work from being dropped.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

template <typename Body>
void perftest(const char* name, long ops_per_call, Body body) {
  using Clock = std::chrono::steady_clock;
  uint64_t sum = 0;
  long calls = 0;
  const Clock::time_point t0 = Clock::now();
  Clock::time_point t1;
  do {
    sum += body();
    ++calls;
    t1 = Clock::now();
  } while (t1 - t0 < std::chrono::milliseconds(300));
  const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count();
  std::printf("%-44s %10.2f ns/op  (%ld ops, checksum %llu)\n", name,
              ns / (static_cast<double>(calls) * static_cast<double>(ops_per_call)),
              calls * ops_per_call, static_cast<unsigned long long>(sum));
}
