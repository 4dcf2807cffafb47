#include "runtime/digest/crc32_fold.h"

#define CRC32_VPCLMUL512 __attribute__((target("avx512f,avx512vl,vpclmulqdq,pclmul,sse4.1")))

namespace {

CRC32_VPCLMUL512 __m512i Load512(const uint8_t* data) { return _mm512_loadu_si512(data); }

CRC32_VPCLMUL512 __m512i Broadcast(crc32::FoldDistance distance) {
  return _mm512_broadcast_i32x4(crc32::Multipliers(distance));
}

// Both products and the next data in one three-way XOR.
CRC32_VPCLMUL512 __m512i Fold512(__m512i lanes, __m512i multipliers, __m512i next) {
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(lanes, multipliers, 0x00),
                                   _mm512_clmulepi64_epi128(lanes, multipliers, 0x11), next, 0x96);
}

}  // namespace

// Four registers of four lanes each in flight: 256 bytes a round, which keeps
// the multiplier busy every cycle.
CRC32_VPCLMUL512 uint32_t Crc32UpdateVpclmul512(const uint8_t* data, uint32_t length, uint32_t crc) {
  using namespace crc32;
  if (length < 256) return Crc32UpdatePclmul(data, length, crc);
  __m512i z0 = _mm512_xor_si512(Load512(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
  __m512i z1 = Load512(data + 64), z2 = Load512(data + 128), z3 = Load512(data + 192);
  data += 256;
  length -= 256;
  const __m512i by2048 = Broadcast(Fold(2048));
  for (; length >= 256; length -= 256, data += 256) {
    z0 = Fold512(z0, by2048, Load512(data));
    z1 = Fold512(z1, by2048, Load512(data + 64));
    z2 = Fold512(z2, by2048, Load512(data + 128));
    z3 = Fold512(z3, by2048, Load512(data + 192));
  }
  const __m512i by512 = Broadcast(Fold(512));
  __m512i z = Fold512(z0, by512, z1);
  z = Fold512(z, by512, z2);
  z = Fold512(z, by512, z3);
  for (; length >= 64; length -= 64, data += 64) z = Fold512(z, by512, Load512(data));

  // Lanes 0 to 2 moved onto lane 3 (its multipliers are zero, so it passes as it is).
  const FoldDistance toLast[3] = {Fold(384), Fold(256), Fold(128)};
  const __m512i multipliers =
      _mm512_setr_epi64(static_cast<int64_t>(toLast[0].low), static_cast<int64_t>(toLast[0].high),
                        static_cast<int64_t>(toLast[1].low), static_cast<int64_t>(toLast[1].high),
                        static_cast<int64_t>(toLast[2].low), static_cast<int64_t>(toLast[2].high), 0, 0);
  z = Fold512(z, multipliers, _mm512_maskz_mov_epi64(0xC0, z));
  __m256i halves = _mm256_xor_si256(_mm512_castsi512_si256(z), _mm512_extracti64x4_epi64(z, 1));
  __m128i lane = _mm_xor_si128(_mm256_castsi256_si128(halves), _mm256_extracti128_si256(halves, 1));
  return FinishLane(lane, data, length);
}
