// The block step on general registers. Each step is held in assembly so that
// the compiler cannot reassociate its additions: only the round function's
// last operations, the rotation and the final addition wait for the newest
// chaining word B; the message word, the constant and the terms without B are
// added while B is still being computed.
#include <utility>

#include "runtime/digest/md5_blocks.h"

namespace {

using Block = uint8_t[64];

template <int I>
__attribute__((always_inline)) inline void Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, const uint8_t* p) {
  uint32_t t;
#define MD5_STEP_OPERANDS                                                                    \
  : [a] "+r"(a), [t] "=&r"(t)                                                                    \
  : [b] "r"(b), [c] "r"(c), [d] "r"(d), [p] "r"(p), "m"(*reinterpret_cast<const Block*>(p)), \
    [x] "i"(4 * md5::WordIndex(I)), [k] "i"(static_cast<int32_t>(md5::ADDEND[I])), [s] "i"(md5::Shift(I))
  if constexpr (md5::Round(I) == 0) {
    // F = ((C ^ D) & B) ^ D
    asm("addl %c[x](%[p]), %[a]\n\t"
        "movl %[c], %[t]\n\t"
        "addl %[k], %[a]\n\t"
        "xorl %[d], %[t]\n\t"
        "andl %[b], %[t]\n\t"
        "xorl %[d], %[t]\n\t"
        "addl %[t], %[a]\n\t"
        "roll %[s], %[a]\n\t"
        "addl %[b], %[a]" MD5_STEP_OPERANDS);
  } else if constexpr (md5::Round(I) == 1) {
    // G = (B & D) | (C & ~D); the two terms never share a bit, so they can be
    // added one at a time, and C & ~D does not wait for B.
    asm("addl %c[x](%[p]), %[a]\n\t"
        "movl %[d], %[t]\n\t"
        "addl %[k], %[a]\n\t"
        "notl %[t]\n\t"
        "andl %[c], %[t]\n\t"
        "addl %[t], %[a]\n\t"
        "movl %[d], %[t]\n\t"
        "andl %[b], %[t]\n\t"
        "addl %[t], %[a]\n\t"
        "roll %[s], %[a]\n\t"
        "addl %[b], %[a]" MD5_STEP_OPERANDS);
  } else if constexpr (md5::Round(I) == 2) {
    // H = (C ^ D) ^ B
    asm("addl %c[x](%[p]), %[a]\n\t"
        "movl %[c], %[t]\n\t"
        "addl %[k], %[a]\n\t"
        "xorl %[d], %[t]\n\t"
        "xorl %[b], %[t]\n\t"
        "addl %[t], %[a]\n\t"
        "roll %[s], %[a]\n\t"
        "addl %[b], %[a]" MD5_STEP_OPERANDS);
  } else {
    // I = (B | ~D) ^ C
    asm("addl %c[x](%[p]), %[a]\n\t"
        "movl %[d], %[t]\n\t"
        "addl %[k], %[a]\n\t"
        "notl %[t]\n\t"
        "orl %[b], %[t]\n\t"
        "xorl %[c], %[t]\n\t"
        "addl %[t], %[a]\n\t"
        "roll %[s], %[a]\n\t"
        "addl %[b], %[a]" MD5_STEP_OPERANDS);
  }
#undef MD5_STEP_OPERANDS
}

// The chaining words take the roles A, B, C, D in turn.
template <int I>
__attribute__((always_inline)) inline void RotatedStep(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d,
                                                       const uint8_t* p) {
  if constexpr (md5::Target(I) == 0) Step<I>(a, b, c, d, p);
  if constexpr (md5::Target(I) == 3) Step<I>(d, a, b, c, p);
  if constexpr (md5::Target(I) == 2) Step<I>(c, d, a, b, p);
  if constexpr (md5::Target(I) == 1) Step<I>(b, c, d, a, p);
}

template <int... I>
__attribute__((always_inline)) inline void AllSteps(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d,
                                                    const uint8_t* p, std::integer_sequence<int, I...>) {
  (RotatedStep<I>(a, b, c, d, p), ...);
}

}  // namespace

void Md5BlocksScalar(uint32_t state[4], const uint8_t* data, size_t blockCount) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blockCount > 0; --blockCount, data += 64) {
    const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
    AllSteps(a, b, c, d, data, std::make_integer_sequence<int, 64>());
    a += a0;
    b += b0;
    c += c0;
    d += d0;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}
