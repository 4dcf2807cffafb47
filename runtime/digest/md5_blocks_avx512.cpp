// The block step on one lane of AVX-512VL registers: vpternlogd computes each
// round function in one instruction and vprold rotates in one, so a step waits
// for the newest chaining word B through four one-cycle instructions. The
// steps are held in assembly so that the additions keep this order.
// GCC 12 reports its own placeholder for unused vector lanes
// (_mm512_undefined_epi32) as maybe uninitialized.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <utility>

#include "runtime/digest/md5_blocks.h"

#define MD5_AVX512 __attribute__((target("avx512f,avx512vl")))

namespace {

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
MD5_AVX512 __attribute__((always_inline)) inline void Step(__m128i (&v)[4], const uint32_t* words) {
  constexpr int A = md5::Target(I), B = (A + 1) % 4, C = (A + 2) % 4, D = (A + 3) % 4;
  __m128i t;
  asm("vpaddd %[w]%{1to4%}, %[a], %[a]\n\t"
      "vmovdqa64 %[d], %[t]\n\t"
      "vpternlogd %[f], %[b], %[c], %[t]\n\t"
      "vpaddd %[t], %[a], %[a]\n\t"
      "vprold %[s], %[a], %[a]\n\t"
      "vpaddd %[b], %[a], %[a]"
      : [a] "+v"(v[A]), [t] "=&v"(t)
      : [b] "v"(v[B]), [c] "v"(v[C]), [d] "v"(v[D]), [w] "m"(words[I]), [f] "i"(ROUND_FUNCTION[md5::Round(I)]),
        [s] "i"(md5::Shift(I)));
}

template <int... I>
MD5_AVX512 __attribute__((always_inline)) inline void AllSteps(__m128i (&v)[4], const uint32_t* words,
                                                               std::integer_sequence<int, I...>) {
  (Step<I>(v, words), ...);
}

struct RoundTables {
  uint32_t order[4][16];   // the message word each step reads
  uint32_t addend[4][16];  // the constant each step adds
};

constexpr RoundTables MakeRoundTables() {
  RoundTables tables{};
  for (int step = 0; step < 64; ++step) {
    tables.order[step / 16][step % 16] = static_cast<uint32_t>(md5::WordIndex(step));
    tables.addend[step / 16][step % 16] = md5::ADDEND[step];
  }
  return tables;
}

constexpr RoundTables ROUND_TABLES = MakeRoundTables();

// Message word plus constant for the 16 steps of round R, in step order.
template <int R>
MD5_AVX512 inline void AddendsOfRound(__m512i message, uint32_t* words) {
  __m512i ordered = message;
  if (R > 0) ordered = _mm512_permutexvar_epi32(_mm512_loadu_si512(ROUND_TABLES.order[R]), message);
  _mm512_storeu_si512(words + 16 * R, _mm512_add_epi32(ordered, _mm512_loadu_si512(ROUND_TABLES.addend[R])));
}

}  // namespace

MD5_AVX512 void Md5BlocksAvx512(uint32_t state[4], const uint8_t* data, size_t blockCount) {
  __m128i v[4];
  for (int i = 0; i < 4; ++i) v[i] = _mm_cvtsi32_si128(static_cast<int>(state[i]));
  uint32_t words[64];
  for (; blockCount > 0; --blockCount, data += 64) {
    __m512i message = _mm512_loadu_si512(data);
    AddendsOfRound<0>(message, words);
    AddendsOfRound<1>(message, words);
    AddendsOfRound<2>(message, words);
    AddendsOfRound<3>(message, words);
    const __m128i start[4] = {v[0], v[1], v[2], v[3]};
    AllSteps(v, words, std::make_integer_sequence<int, 64>());
    for (int i = 0; i < 4; ++i) v[i] = _mm_add_epi32(v[i], start[i]);
  }
  for (int i = 0; i < 4; ++i) state[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(v[i]));
}
