// The block step on one lane of AVX-512VL registers: vpternlogd computes each
// round function in one instruction and vprold rotates in one, so a step waits
// for the newest chaining word B through four one-cycle instructions. The
// steps are held in assembly so that the additions keep this order. The
// message word and the constant are added straight from memory, broadcast,
// which needs no wide registers at all.
#include <immintrin.h>

#include <utility>

#include "runtime/digest/md5_blocks.h"

#define MD5_AVX512 __attribute__((target("avx512f,avx512vl")))

namespace {

using Block = uint8_t[64];

// The vpternlogd immediate of a round function f(B, C, D), with the operands
// given to the instruction in the order D (destination), C, B.
template <typename F>
constexpr int Ternary(F f) {
  return f(0xAA, 0xCC, 0xF0) & 0xFF;
}

constexpr int ROUND_FUNCTION[4] = {
    Ternary([](int b, int c, int d) { return (b & c) | (~b & d); }),
    Ternary([](int b, int c, int d) { return (b & d) | (c & ~d); }),
    Ternary([](int b, int c, int d) { return b ^ c ^ d; }),
    Ternary([](int b, int c, int d) { return c ^ (b | ~d); }),
};

template <int I>
MD5_AVX512 __attribute__((always_inline)) inline void Step(__m128i& a, __m128i b, __m128i c, __m128i d,
                                                           const uint8_t* p) {
  __m128i t;
  asm("vpaddd %c[x](%[p])%{1to4%}, %[a], %[a]\n\t"
      "vpaddd %[k]%{1to4%}, %[a], %[a]\n\t"
      "vmovdqa64 %[d], %[t]\n\t"
      "vpternlogd %[f], %[b], %[c], %[t]\n\t"
      "vpaddd %[t], %[a], %[a]\n\t"
      "vprold %[s], %[a], %[a]\n\t"
      "vpaddd %[b], %[a], %[a]"
      : [a] "+v"(a), [t] "=&v"(t)
      : [b] "v"(b), [c] "v"(c), [d] "v"(d), [p] "r"(p),
        "m"(*reinterpret_cast<const Block*>(p)), [x] "i"(4 * md5::WordIndex(I)), [k] "m"(md5::ADDEND[I]),
        [f] "i"(ROUND_FUNCTION[md5::Round(I)]), [s] "i"(md5::Shift(I)));
}

// The chaining words take the roles A, B, C, D in turn.
template <int I>
MD5_AVX512 __attribute__((always_inline)) inline void RotatedStep(__m128i& a, __m128i& b, __m128i& c, __m128i& d,
                                                                  const uint8_t* p) {
  if constexpr (md5::Target(I) == 0) Step<I>(a, b, c, d, p);
  if constexpr (md5::Target(I) == 3) Step<I>(d, a, b, c, p);
  if constexpr (md5::Target(I) == 2) Step<I>(c, d, a, b, p);
  if constexpr (md5::Target(I) == 1) Step<I>(b, c, d, a, p);
}

template <int... I>
MD5_AVX512 __attribute__((always_inline)) inline void AllSteps(__m128i& a, __m128i& b, __m128i& c, __m128i& d,
                                                               const uint8_t* p, std::integer_sequence<int, I...>) {
  (RotatedStep<I>(a, b, c, d, p), ...);
}

}  // namespace

MD5_AVX512 void Md5BlocksAvx512(uint32_t state[4], const uint8_t* data, size_t blockCount) {
  __m128i a = _mm_cvtsi32_si128(static_cast<int>(state[0])), b = _mm_cvtsi32_si128(static_cast<int>(state[1]));
  __m128i c = _mm_cvtsi32_si128(static_cast<int>(state[2])), d = _mm_cvtsi32_si128(static_cast<int>(state[3]));
  for (; blockCount > 0; --blockCount, data += 64) {
    const __m128i a0 = a, b0 = b, c0 = c, d0 = d;
    AllSteps(a, b, c, d, data, std::make_integer_sequence<int, 64>());
    a = _mm_add_epi32(a, a0);
    b = _mm_add_epi32(b, b0);
    c = _mm_add_epi32(c, c0);
    d = _mm_add_epi32(d, d0);
  }
  state[0] = static_cast<uint32_t>(_mm_cvtsi128_si32(a));
  state[1] = static_cast<uint32_t>(_mm_cvtsi128_si32(b));
  state[2] = static_cast<uint32_t>(_mm_cvtsi128_si32(c));
  state[3] = static_cast<uint32_t>(_mm_cvtsi128_si32(d));
}
