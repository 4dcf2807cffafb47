// The CRC-32 digest method (IEEE 802.3, reflected polynomial 0xEDB88320),
// registered under DIGEST_CRC32. Its digest is the CRC most significant byte
// first, so that its hex text reads as the CRC value.
#pragma once

#include <cstdint>

#include "runtime/digest/digest_registry.h"

struct Crc32State {
  uint32_t crc;  // of all bytes fed since reset, in its final form
};

struct Crc32Context {
  DigestContext header;
  Crc32State crc32;
};

extern const uint32_t Crc32Table[256];

// The CRC-32 of the bytes that gave crc followed by the data; crc itself when
// data is null. Starting from 0, pieces chained through it give the CRC of
// the whole.
uint32_t Crc32Update(const uint8_t* data, uint32_t length, uint32_t crc);

void RegisterCrc32Digest();
