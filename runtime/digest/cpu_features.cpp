#include "runtime/digest/cpu_features.h"

#include <cpuid.h>

#include <cstdint>

namespace {

constexpr uint32_t LEAF1_ECX_PCLMUL = 1u << 1;
constexpr uint32_t LEAF1_ECX_SSE41 = 1u << 19;
constexpr uint32_t LEAF1_ECX_OSXSAVE = 1u << 27;
constexpr uint32_t LEAF1_ECX_AVX = 1u << 28;
constexpr uint32_t LEAF7_EBX_AVX2 = 1u << 5;
constexpr uint32_t LEAF7_EBX_AVX512F = 1u << 16;
constexpr uint32_t LEAF7_EBX_AVX512VL = 1u << 31;
constexpr uint32_t LEAF7_ECX_VPCLMULQDQ = 1u << 10;

// XCR0: the register state the operating system saves on a context switch.
constexpr uint64_t XCR0_SSE_AVX = 0x6;                      // XMM, upper YMM
constexpr uint64_t XCR0_AVX512 = 0x6 | 0x20 | 0x40 | 0x80;  // plus opmask, upper ZMM, ZMM16-31

uint64_t EnabledRegisterState() {
  uint32_t low, high;
  asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<uint64_t>(high) << 32) | low;
}

CpuFeatures Query() {
  CpuFeatures features{};
  uint32_t eax, ebx, ecx1, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx1, &edx)) return features;
  features.pclmul = (ecx1 & LEAF1_ECX_PCLMUL) && (ecx1 & LEAF1_ECX_SSE41);

  uint64_t enabled = (ecx1 & LEAF1_ECX_OSXSAVE) ? EnabledRegisterState() : 0;
  bool avxState = (ecx1 & LEAF1_ECX_AVX) && (enabled & XCR0_SSE_AVX) == XCR0_SSE_AVX;
  bool avx512State = avxState && (enabled & XCR0_AVX512) == XCR0_AVX512;

  uint32_t ebx7 = 0, ecx7 = 0;
  if (!__get_cpuid_count(7, 0, &eax, &ebx7, &ecx7, &edx)) return features;
  bool vpclmul = features.pclmul && (ecx7 & LEAF7_ECX_VPCLMULQDQ);
  features.avx2Vpclmul = avxState && vpclmul && (ebx7 & LEAF7_EBX_AVX2);
  features.avx512Vl = avx512State && (ebx7 & LEAF7_EBX_AVX512F) && (ebx7 & LEAF7_EBX_AVX512VL);
  features.avx512Vpclmul = features.avx512Vl && vpclmul;
  return features;
}

}  // namespace

const CpuFeatures& DetectCpuFeatures() {
  static const CpuFeatures features = Query();
  return features;
}
