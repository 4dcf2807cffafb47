#include "runtime/digest/crc32_fold.h"

// Four lanes in flight hide the latency of the multiplier.
CRC32_PCLMUL uint32_t Crc32UpdatePclmul(const uint8_t* data, uint32_t length, uint32_t crc) {
  using namespace crc32;
  if (length < 64) return Crc32UpdateTable(data, length, crc);
  __m128i x0 = FirstLane(data, crc), x1 = Load(data + 16), x2 = Load(data + 32), x3 = Load(data + 48);
  data += 64;
  length -= 64;
  const __m128i by512 = Multipliers(Fold(512));
  for (; length >= 64; length -= 64, data += 64) {
    x0 = _mm_xor_si128(FoldLane(x0, by512), Load(data));
    x1 = _mm_xor_si128(FoldLane(x1, by512), Load(data + 16));
    x2 = _mm_xor_si128(FoldLane(x2, by512), Load(data + 32));
    x3 = _mm_xor_si128(FoldLane(x3, by512), Load(data + 48));
  }
  const __m128i by128 = Multipliers(Fold(128));
  __m128i lane = _mm_xor_si128(FoldLane(x0, by128), x1);
  lane = _mm_xor_si128(FoldLane(lane, by128), x2);
  lane = _mm_xor_si128(FoldLane(lane, by128), x3);
  return FinishLane(lane, data, length);
}
