#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>

// 1 MiB of random bytes at a cache-line boundary: small enough to stay in
// the L2 cache between iterations.
constexpr size_t BENCH_BUFFER_SIZE = 1048576;

inline const uint8_t* BenchBuffer() {
  static uint8_t* buffer = [] {
    auto* bytes = static_cast<uint8_t*>(std::aligned_alloc(64, BENCH_BUFFER_SIZE));
    std::mt19937_64 random(42);
    for (size_t i = 0; i < BENCH_BUFFER_SIZE; ++i) bytes[i] = static_cast<uint8_t>(random());
    return bytes;
  }();
  return buffer;
}
