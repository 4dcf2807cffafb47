// The MD5 digest method (RFC 1321), registered under DIGEST_MD5.
#pragma once

#include <cstdint>

#include "runtime/digest/digest_registry.h"

struct Md5State {
  uint32_t state[4];     // A, B, C, D
  uint32_t bitCount[2];  // bits fed since reset, modulo 2^64, low word first
  uint8_t block[64];     // (bitCount[0] / 8) % 64 bytes of an incomplete block
};

struct Md5Context {
  DigestContext header;
  Md5State md5;
};

extern const uint8_t Md5PadBlock[64];

void RegisterMd5Digest();
