#include "runtime/digest/crc32_digest.h"

#include "runtime/platform/platform.h"

namespace {

Crc32State& StateOf(DigestContext* context) { return reinterpret_cast<Crc32Context*>(context)->crc32; }

DigestContext* Create() {
  auto* context = static_cast<DigestContext*>(PlatformHeapAlloc(ProgramHeap, sizeof(Crc32Context)));
  if (!context) return nullptr;
  context->digestBits = 32;
  context->blockSize = 4;
  return context;
}

void Reset(DigestContext* context, int32_t) { StateOf(context).crc = 0; }

void Update(DigestContext* context, const uint8_t* data, uint32_t length) {
  StateOf(context).crc = Crc32Update(data, length, StateOf(context).crc);
}

void Finish(DigestContext* context) {
  uint32_t crc = StateOf(context).crc;
  for (int i = 0; i < 4; ++i) context->digest[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

}  // namespace

void RegisterCrc32Digest() {
  RegisterDigestMethods({DIGEST_CRC32, Create, Reset, Update, Finish, DestroyDigestContext});
}
