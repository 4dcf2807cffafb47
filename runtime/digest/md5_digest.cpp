#include "runtime/digest/md5_digest.h"

#include <cstring>

#include "runtime/digest/md5_blocks.h"
#include "runtime/platform/platform.h"

const uint8_t Md5PadBlock[64] = {0x80};

namespace {

Md5State& StateOf(DigestContext* context) { return reinterpret_cast<Md5Context*>(context)->md5; }

void EncodeWords(uint8_t* bytes, const uint32_t* words, int count) {
  for (int i = 0; i < count; ++i) {
    for (int byte = 0; byte < 4; ++byte) bytes[4 * i + byte] = static_cast<uint8_t>(words[i] >> (8 * byte));
  }
}

DigestContext* Create() {
  auto* context = static_cast<DigestContext*>(PlatformHeapAlloc(ProgramHeap, sizeof(Md5Context)));
  if (!context) return nullptr;
  context->digestBits = 128;
  context->blockSize = 64;
  return context;
}

void Reset(DigestContext* context, int32_t) {
  Md5State& md5 = StateOf(context);
  md5.state[0] = 0x67452301;
  md5.state[1] = 0xEFCDAB89;
  md5.state[2] = 0x98BADCFE;
  md5.state[3] = 0x10325476;
  md5.bitCount[0] = 0;
  md5.bitCount[1] = 0;
}

void Update(DigestContext* context, const uint8_t* data, uint32_t length) {
  Md5State& md5 = StateOf(context);
  uint32_t index = (md5.bitCount[0] >> 3) & 63;
  uint32_t bits = length << 3;
  md5.bitCount[0] += bits;
  if (md5.bitCount[0] < bits) ++md5.bitCount[1];
  md5.bitCount[1] += length >> 29;

  uint32_t part = 64 - index;
  uint32_t kept = 0;
  if (length >= part) {
    std::memcpy(md5.block + index, data, part);
    Md5Blocks(md5.state, md5.block, 1);
    uint32_t wholeBlocks = (length - part) / 64;
    Md5Blocks(md5.state, data + part, wholeBlocks);
    kept = part + 64 * wholeBlocks;
    index = 0;
  }
  if (length > kept) std::memcpy(md5.block + index, data + kept, length - kept);
}

void Finish(DigestContext* context) {
  Md5State& md5 = StateOf(context);
  uint8_t lengthBytes[8];
  EncodeWords(lengthBytes, md5.bitCount, 2);
  uint32_t index = (md5.bitCount[0] >> 3) & 63;
  uint32_t fill = index < 56 ? 56 - index : 120 - index;
  Update(context, Md5PadBlock, fill);
  Update(context, lengthBytes, 8);
  EncodeWords(context->digest, md5.state, 4);
  std::memset(&md5, 0, sizeof(md5));
}

}  // namespace

void RegisterMd5Digest() {
  RegisterDigestMethods({DIGEST_MD5, Create, Reset, Update, Finish, DestroyDigestContext});
}
