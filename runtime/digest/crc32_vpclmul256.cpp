#include "runtime/digest/crc32_fold.h"

#define CRC32_VPCLMUL256 __attribute__((target("avx2,vpclmulqdq,pclmul,sse4.1")))

namespace {

CRC32_VPCLMUL256 __m256i Load256(const uint8_t* data) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
}

CRC32_VPCLMUL256 __m256i Fold256(__m256i lanes, __m256i multipliers, __m256i next) {
  return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(lanes, multipliers, 0x00),
                                           _mm256_clmulepi64_epi128(lanes, multipliers, 0x11)),
                          next);
}

}  // namespace

// Four registers of two lanes each in flight.
CRC32_VPCLMUL256 uint32_t Crc32UpdateVpclmul256(const uint8_t* data, uint32_t length, uint32_t crc) {
  using namespace crc32;
  if (length < 256) return Crc32UpdatePclmul(data, length, crc);
  __m256i y0 = _mm256_xor_si256(Load256(data), _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(~crc))));
  __m256i y1 = Load256(data + 32), y2 = Load256(data + 64), y3 = Load256(data + 96);
  data += 128;
  length -= 128;
  const __m256i by1024 = _mm256_broadcastsi128_si256(Multipliers(Fold(1024)));
  for (; length >= 128; length -= 128, data += 128) {
    y0 = Fold256(y0, by1024, Load256(data));
    y1 = Fold256(y1, by1024, Load256(data + 32));
    y2 = Fold256(y2, by1024, Load256(data + 64));
    y3 = Fold256(y3, by1024, Load256(data + 96));
  }
  const __m256i by256 = _mm256_broadcastsi128_si256(Multipliers(Fold(256)));
  __m256i y = Fold256(y0, by256, y1);
  y = Fold256(y, by256, y2);
  y = Fold256(y, by256, y3);
  __m128i lane =
      _mm_xor_si128(FoldLane(_mm256_castsi256_si128(y), Multipliers(Fold(128))), _mm256_extracti128_si256(y, 1));
  return FinishLane(lane, data, length);
}
