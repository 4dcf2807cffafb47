#include "runtime/digest/file_digest.h"

#include "runtime/platform/platform.h"

namespace {

// The digest of everything in the file, or null. A failed read gives null
// rather than the digest of the bytes read before it, which would be shown as
// the file's checksum.
DigestContext* DigestWholeFile(PlatformFile* file, const DigestMethods* method, int32_t id) {
  auto* buffer = static_cast<uint8_t*>(PlatformHeapAlloc(ProgramHeap, FILE_DIGEST_READ_SIZE));
  if (!buffer) return nullptr;
  DigestContext* context = method->create();
  if (context) {
    method->reset(context, 0);
    BeginKeyedDigest(context, method, id, nullptr, KEY_ENCODING_UTF8);
    uint32_t count = 0;
    bool readFailed = false;
    do {
      readFailed = !PlatformReadFile(file, buffer, FILE_DIGEST_READ_SIZE, &count);
      if (readFailed) break;
      method->update(context, buffer, count);
    } while (count == FILE_DIGEST_READ_SIZE);
    if (readFailed) {
      method->destroy(context);
      context = nullptr;
    } else {
      method->finish(context);
      EndKeyedDigest(context, method, id);
    }
  }
  PlatformHeapFree(ProgramHeap, buffer);
  return context;
}

}  // namespace

void FileDigest(const char16_t* path, int32_t id, int64_t mark) {
  const DigestMethods* method = FindDigest(id);
  DigestContext* context = nullptr;
  if (method && path) {
    if (PlatformFile* file = PlatformOpenFileForReading(path)) {
      context = DigestWholeFile(file, method, id);
      PlatformCloseFile(file);
    }
  }
  DigestToHex(context, mark);
  if (context) method->destroy(context);
}
