// The only place that picks an MD5 block implementation for this CPU.
#include "runtime/digest/cpu_features.h"
#include "runtime/digest/md5_blocks.h"

namespace {

void ChooseAndRun(uint32_t state[4], const uint8_t* data, size_t blockCount);

Md5BlocksFunction activeBlocks = ChooseAndRun;
Md5Path activePath = Md5Path::Scalar;

Md5Path FastestSupported() { return Md5PathSupported(Md5Path::Avx512) ? Md5Path::Avx512 : Md5Path::Scalar; }

void Select(Md5Path path) {
  activePath = path;
  activeBlocks = path == Md5Path::Avx512 ? Md5BlocksAvx512 : Md5BlocksScalar;
}

void ChooseAndRun(uint32_t state[4], const uint8_t* data, size_t blockCount) {
  Select(FastestSupported());
  activeBlocks(state, data, blockCount);
}

}  // namespace

bool Md5PathSupported(Md5Path path) { return path == Md5Path::Scalar || DetectCpuFeatures().avx512Vl; }

bool UseMd5Path(Md5Path path) {
  if (!Md5PathSupported(path)) return false;
  Select(path);
  return true;
}

Md5Path ActiveMd5Path() {
  if (activeBlocks == ChooseAndRun) Select(FastestSupported());
  return activePath;
}

void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blockCount) { activeBlocks(state, data, blockCount); }
