// The MD5 block step over whole 64-byte blocks, with one implementation per
// instruction set and a choice made once at run time.
#pragma once

#include <cstddef>
#include <cstdint>

using Md5BlocksFunction = void (*)(uint32_t state[4], const uint8_t* data, size_t blockCount);

void Md5BlocksScalar(uint32_t state[4], const uint8_t* data, size_t blockCount);
void Md5BlocksAvx512(uint32_t state[4], const uint8_t* data, size_t blockCount);

// The implementation chosen for this CPU.
void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blockCount);

enum class Md5Path { Scalar, Avx512 };
bool Md5PathSupported(Md5Path path);
// For tests and benchmarks: use this path from now on; false, and no change,
// when the CPU or the operating system cannot run it.
bool UseMd5Path(Md5Path path);
Md5Path ActiveMd5Path();

namespace md5 {

// The additive constants of RFC 1321, floor(abs(sin(i + 1)) * 2^32).
constexpr uint32_t ADDEND[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int SHIFT[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr int Round(int step) { return step / 16; }
constexpr int Shift(int step) { return SHIFT[step / 16][step % 4]; }

// Which message word step i reads.
constexpr int WordIndex(int step) {
  int i = step % 16;
  switch (step / 16) {
    case 0:
      return i;
    case 1:
      return (1 + 5 * i) % 16;
    case 2:
      return (5 + 3 * i) % 16;
    default:
      return (7 * i) % 16;
  }
}

// Step i writes one chaining word and reads the other three; the roles rotate
// by one word per step (A, D, C, B, A, ...).
constexpr int Target(int step) { return (4 - step % 4) % 4; }

}  // namespace md5
