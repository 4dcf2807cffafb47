// The registry of digest methods and the context header that every method's
// context begins with, so that the engine reads a digest's size, block size
// and result without knowing the method.
#pragma once

#include <cstdint>

constexpr int32_t DIGEST_MD5 = 1;
constexpr int32_t DIGEST_CRC32 = 2;
// Added to a method id to ask FileDigest for the keyed (HMAC) variant.
constexpr int32_t DIGEST_KEYED = 0x10000;
// Given to FindDigest: the first registered method.
constexpr int32_t ANY_DIGEST = -1;

struct DigestContext {
  int32_t digestBits;
  int32_t blockSize;
  uint8_t digest[64];
  uint8_t outerPad[144];
  // The method's own state follows directly.
};

struct DigestMethods {
  int32_t id;
  DigestContext* (*create)();
  void (*reset)(DigestContext* context, int32_t restart);
  void (*update)(DigestContext* context, const uint8_t* data, uint32_t length);
  void (*finish)(DigestContext* context);
  void (*destroy)(DigestContext* context);
};

struct DigestMethodTable {
  DigestMethods entries[64];
  int32_t count;
};

extern DigestMethodTable DigestRegistry;

DigestMethods* FindDigest(int32_t id);
DigestMethods* RegisterDigest(int32_t id);
// Registers methods.id and writes the five operations into its entry; when the
// id is taken, the first registration keeps its operations.
void RegisterDigestMethods(const DigestMethods& methods);

// The destroy operation of every method: gives the context back to ProgramHeap.
void DestroyDigestContext(DigestContext* context);
