// The only place that picks a CRC-32 implementation for this CPU.
#include <initializer_list>

#include "runtime/digest/cpu_features.h"
#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/crc32_paths.h"

namespace {

uint32_t ChooseAndRun(const uint8_t* data, uint32_t length, uint32_t crc);

Crc32Function activeUpdate = ChooseAndRun;
Crc32Path activePath = Crc32Path::Table;

constexpr Crc32Function IMPLEMENTATION[] = {Crc32UpdateTable, Crc32UpdatePclmul, Crc32UpdateVpclmul256,
                                            Crc32UpdateVpclmul512};

Crc32Path FastestSupported() {
  for (Crc32Path path : {Crc32Path::Vpclmul512, Crc32Path::Vpclmul256, Crc32Path::Pclmul}) {
    if (Crc32PathSupported(path)) return path;
  }
  return Crc32Path::Table;
}

void Select(Crc32Path path) {
  activePath = path;
  activeUpdate = IMPLEMENTATION[static_cast<int>(path)];
}

uint32_t ChooseAndRun(const uint8_t* data, uint32_t length, uint32_t crc) {
  Select(FastestSupported());
  return activeUpdate(data, length, crc);
}

}  // namespace

bool Crc32PathSupported(Crc32Path path) {
  const CpuFeatures& cpu = DetectCpuFeatures();
  switch (path) {
    case Crc32Path::Table:
      return true;
    case Crc32Path::Pclmul:
      return cpu.pclmul;
    case Crc32Path::Vpclmul256:
      return cpu.avx2Vpclmul;
    case Crc32Path::Vpclmul512:
      return cpu.avx512Vpclmul;
  }
  return false;
}

bool UseCrc32Path(Crc32Path path) {
  if (!Crc32PathSupported(path)) return false;
  Select(path);
  return true;
}

Crc32Path ActiveCrc32Path() {
  if (activeUpdate == ChooseAndRun) Select(FastestSupported());
  return activePath;
}

uint32_t Crc32Update(const uint8_t* data, uint32_t length, uint32_t crc) {
  return data ? activeUpdate(data, length, crc) : crc;
}
