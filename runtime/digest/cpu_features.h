// What this CPU can run, as far as the digest paths need to know: each flag
// holds only when the CPU has the instructions and the operating system saves
// the registers they use.
#pragma once

struct CpuFeatures {
  bool pclmul;         // PCLMULQDQ and SSE4.1
  bool avx2Vpclmul;    // VPCLMULQDQ on 256-bit registers with AVX2
  bool avx512Vpclmul;  // VPCLMULQDQ on 512-bit registers with AVX-512F and VL
  bool avx512Vl;       // AVX-512F and AVX-512VL
};

// Queried once; later calls return the same answer.
const CpuFeatures& DetectCpuFeatures();
