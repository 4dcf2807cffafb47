// Shared pieces of the carry-less multiplication paths of CRC-32.
//
// A 128-bit lane holds 16 message bytes; its low 64 bits L stand for the
// polynomial L(x) * x^64 and its high 64 bits H for H(x), bit 0 being the
// highest power (reflected order). Moving the lane D bits further along the
// message multiplies it by x^D, and modulo the CRC polynomial P that is
// L * (x^(64+D) mod P) + H * (x^D mod P): two carry-less products of at most
// 96 bits. A reflected product carries one extra factor x, so the constants
// are x^(D+63) and x^(D-1) modulo P.
#pragma once

// GCC 12 reports its own placeholder for unused vector lanes
// (_mm512_undefined_epi32) as maybe uninitialized.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <cstdint>

#include "runtime/digest/crc32_paths.h"

#define CRC32_PCLMUL __attribute__((target("pclmul,sse4.1")))

namespace crc32 {

constexpr uint64_t POLYNOMIAL = 0x104C11DB7;  // x^32 + ... + 1, bit i for x^i

constexpr uint64_t Reverse(uint64_t value, int bits) {
  uint64_t reversed = 0;
  for (int i = 0; i < bits; ++i) reversed |= ((value >> i) & 1) << (bits - 1 - i);
  return reversed;
}

// x^n mod P, bit i for x^i.
constexpr uint64_t PowerOfX(int n) {
  uint64_t value = 1;
  for (int i = 0; i < n; ++i) {
    value <<= 1;
    if (value >> 32) value ^= POLYNOMIAL;
  }
  return value;
}

// x^n mod P as a reflected 64-bit multiplier.
constexpr uint64_t Multiplier(int n) { return Reverse(PowerOfX(n), 32) << 32; }

// floor(x^64 / P), for the Barrett reduction.
constexpr uint64_t BarrettQuotient() {
  uint64_t quotient = 0;
  unsigned __int128 remainder = static_cast<unsigned __int128>(1) << 64;
  for (int shift = 32; shift >= 0; --shift) {
    if ((remainder >> (32 + shift)) & 1) {
      quotient |= uint64_t{1} << shift;
      remainder ^= static_cast<unsigned __int128>(POLYNOMIAL) << shift;
    }
  }
  return quotient;
}

// The two multipliers that move a lane D bits along: low half for L, high half for H.
struct FoldDistance {
  uint64_t low, high;
};
constexpr FoldDistance Fold(int bits) { return {Multiplier(bits + 63), Multiplier(bits - 1)}; }

CRC32_PCLMUL inline __m128i Multipliers(FoldDistance distance) {
  return _mm_set_epi64x(static_cast<int64_t>(distance.high), static_cast<int64_t>(distance.low));
}

CRC32_PCLMUL inline __m128i FoldLane(__m128i lane, __m128i multipliers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(lane, multipliers, 0x00), _mm_clmulepi64_si128(lane, multipliers, 0x11));
}

CRC32_PCLMUL inline __m128i Load(const uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// The CRC register after the message folded into lane: lane * x^32 mod P.
CRC32_PCLMUL inline uint32_t ReduceLane(__m128i lane) {
  const __m128i last = Multipliers({Multiplier(95), Multiplier(63)});
  // L * x^96 + H * x^32, at most 96 bits, in bits 32 to 127.
  __m128i wide = _mm_xor_si128(_mm_clmulepi64_si128(lane, last, 0x00), _mm_slli_si128(_mm_srli_si128(lane, 8), 4));
  // Its bits 32 to 63 moved down by 64 bits: 64 bits in the high half.
  __m128i narrow = _mm_xor_si128(_mm_clmulepi64_si128(wide, last, 0x10), wide);
  narrow = _mm_srli_si128(narrow, 8);
  const __m128i barrett = _mm_set_epi64x(static_cast<int64_t>(Reverse(POLYNOMIAL, 33)),
                                         static_cast<int64_t>(Reverse(BarrettQuotient(), 33)));
  const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
  __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(narrow, low32), barrett, 0x00);
  __m128i product = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x10);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(narrow, product), 1));
}

// Folds the remaining whole 16-byte pieces into lane, reduces it and runs the
// last 0 to 15 bytes through the table.
CRC32_PCLMUL inline uint32_t FinishLane(__m128i lane, const uint8_t* data, uint32_t length) {
  const __m128i by128 = Multipliers(Fold(128));
  for (; length >= 16; length -= 16, data += 16) lane = _mm_xor_si128(FoldLane(lane, by128), Load(data));
  return Crc32UpdateTable(data, length, ~ReduceLane(lane));
}

// The first 16 bytes with the running CRC register mixed into them.
CRC32_PCLMUL inline __m128i FirstLane(const uint8_t* data, uint32_t crc) {
  return _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(~crc)));
}

}  // namespace crc32
