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
__attribute__((always_inline)) inline void Step(uint32_t (&v)[4], const uint8_t* p) {
  constexpr int A = md5::Target(I), B = (A + 1) % 4, C = (A + 2) % 4, D = (A + 3) % 4;
  uint32_t& a = v[A];
  uint32_t t;
#define MD5_STEP_OPERANDS                                                                              \
  : [a] "+r"(a), [t] "=&r"(t)                                                                          \
  : [b] "r"(v[B]), [c] "r"(v[C]), [d] "r"(v[D]), [p] "r"(p), "m"(*reinterpret_cast<const Block*>(p)), \
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

template <int... I>
__attribute__((always_inline)) inline void AllSteps(uint32_t (&v)[4], const uint8_t* p,
                                                    std::integer_sequence<int, I...>) {
  (Step<I>(v, p), ...);
}

}  // namespace

void Md5BlocksScalar(uint32_t state[4], const uint8_t* data, size_t blockCount) {
  uint32_t v[4] = {state[0], state[1], state[2], state[3]};
  for (; blockCount > 0; --blockCount, data += 64) {
    const uint32_t start[4] = {v[0], v[1], v[2], v[3]};
    AllSteps(v, data, std::make_integer_sequence<int, 64>());
    for (int i = 0; i < 4; ++i) v[i] += start[i];
  }
  for (int i = 0; i < 4; ++i) state[i] = v[i];
}
