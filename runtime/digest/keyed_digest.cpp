#include <cstdlib>
#include <cstring>

#include "runtime/digest/file_digest.h"
#include "runtime/platform/platform.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "UTF-16 keys are fed as their code units in memory");

namespace {

constexpr int32_t MAX_BLOCK = sizeof(DigestContext::outerPad);

// Key bytes converted to a code page, in a C runtime block ending in NUL; null
// when the text cannot be converted or the block cannot be had.
char* ConvertKey(const char16_t* text, int64_t length, int32_t keyEncoding) {
  uint32_t codePage = keyEncoding == KEY_ENCODING_ANSI ? PLATFORM_CP_ACP : PLATFORM_CP_UTF8;
  int count = static_cast<int>(length + 1);
  int size = PlatformWideToMultiByte(codePage, text, count, nullptr, 0);
  if (size <= 0) return nullptr;
  auto* bytes = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
  if (!bytes) return nullptr;
  int written = PlatformWideToMultiByte(codePage, text, count, bytes, size);
  bytes[written > 0 ? written : 0] = '\0';
  return bytes;
}

}  // namespace

void BeginKeyedDigest(DigestContext* context, const DigestMethods* method, int32_t id, const char16_t* key,
                      int32_t keyEncoding) {
  if (!context || !(id & DIGEST_KEYED)) return;
  const char16_t* text = key ? key : u"";
  int64_t length = 0;
  while (text[length]) ++length;

  char* converted = nullptr;
  const uint8_t* keyBytes = reinterpret_cast<const uint8_t*>(text);
  uint64_t keyLength = 2 * static_cast<uint64_t>(length);
  if (keyEncoding != KEY_ENCODING_UTF16) {
    converted = ConvertKey(text, length, keyEncoding);
    keyBytes = reinterpret_cast<const uint8_t*>(converted);
    keyLength = converted ? std::strlen(converted) : 0;
  }

  int32_t blockSize = context->blockSize;
  uint8_t paddedKey[MAX_BLOCK] = {};
  if (keyLength > static_cast<uint64_t>(blockSize)) {
    method->update(context, keyBytes, static_cast<uint32_t>(keyLength));
    method->finish(context);
    std::memcpy(paddedKey, context->digest, static_cast<size_t>(context->digestBits / 8));
    method->reset(context, 1);
  } else if (keyLength > 0) {
    std::memcpy(paddedKey, keyBytes, keyLength);
  }

  uint8_t innerPad[MAX_BLOCK];
  for (int32_t i = 0; i < blockSize; ++i) {
    context->outerPad[i] = paddedKey[i] ^ 0x5c;
    innerPad[i] = paddedKey[i] ^ 0x36;
  }
  method->update(context, innerPad, static_cast<uint32_t>(blockSize));
  std::free(converted);
}

void EndKeyedDigest(DigestContext* context, const DigestMethods* method, int32_t id) {
  if (!context || !(id & DIGEST_KEYED)) return;
  uint8_t innerDigest[sizeof(context->digest)];
  auto digestBytes = static_cast<uint32_t>(context->digestBits / 8);
  std::memcpy(innerDigest, context->digest, digestBytes);
  method->reset(context, 1);
  method->update(context, context->outerPad, static_cast<uint32_t>(context->blockSize));
  method->update(context, innerDigest, digestBytes);
  method->finish(context);
}
