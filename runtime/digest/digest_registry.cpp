#include "runtime/digest/digest_registry.h"

#include "runtime/platform/platform.h"

DigestMethodTable DigestRegistry;

DigestMethods* FindDigest(int32_t id) {
  if (id == ANY_DIGEST) return DigestRegistry.count > 0 ? &DigestRegistry.entries[0] : nullptr;
  id &= ~DIGEST_KEYED;
  for (int32_t i = 0; i < DigestRegistry.count; ++i) {
    if (DigestRegistry.entries[i].id == id) return &DigestRegistry.entries[i];
  }
  return nullptr;
}

DigestMethods* RegisterDigest(int32_t id) {
  constexpr int32_t capacity = sizeof(DigestRegistry.entries) / sizeof(DigestRegistry.entries[0]);
  if (FindDigest(id) || DigestRegistry.count == capacity) return nullptr;
  DigestMethods* entry = &DigestRegistry.entries[DigestRegistry.count++];
  entry->id = id;
  return entry;
}

void RegisterDigestMethods(const DigestMethods& methods) {
  DigestMethods* entry = RegisterDigest(methods.id);
  if (!entry) return;
  entry->create = methods.create;
  entry->reset = methods.reset;
  entry->update = methods.update;
  entry->finish = methods.finish;
  entry->destroy = methods.destroy;
}

void DestroyDigestContext(DigestContext* context) { PlatformHeapFree(ProgramHeap, context); }
