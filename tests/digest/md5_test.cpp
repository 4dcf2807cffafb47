#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "digest_test_support.h"
#include "runtime/digest/md5_blocks.h"
#include "runtime/digest/md5_digest.h"

#ifdef DIGEST_TEST_ORACLES
#include <openssl/evp.h>
#endif

namespace {

using namespace digest_test;

class Md5Test : public RegisteredDigests {};

#ifdef DIGEST_TEST_ORACLES
std::string OpenSslMd5(const uint8_t* data, size_t length) {
  uint8_t digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(data, length, digest, &size, EVP_md5(), nullptr);
  return Hex(digest, size);
}
#endif

TEST_F(Md5Test, Rfc1321TestSuite) {
  const std::pair<const char*, const char*> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  ForEachMd5Path([&] {
    for (const auto& [message, digest] : suite) EXPECT_EQ(MethodDigest(DIGEST_MD5, Bytes(message)), digest) << message;
  });
}

// MD5 of the test pattern, from Python's hashlib: the lengths around the
// padding boundaries (55 bytes fit one block with the length, 56 to 119 need two).
TEST_F(Md5Test, LengthsAroundThePadding) {
  const std::pair<size_t, const char*> known[] = {
      {0, "d41d8cd98f00b204e9800998ecf8427e"},   {1, "93b885adfe0da089cdf634904fd59f71"},
      {55, "1eec39e439a0686e0f16143c93e65544"},  {56, "99d69c39ec90af2fb1496b6e9c6c764d"},
      {57, "e2268186be6f4e7349b13e79170bfa06"},  {63, "6bb048b09bcadbcdfd181977323cdfd0"},
      {64, "e2ea14ec96ad97249814fe4e07e09782"},  {65, "6eefe2eaf8f76d19fb53cbf452e5a331"},
      {119, "34ec2dd3b6fce7edb56cd76666f819bf"}, {120, "06365e9cd131eec736e29727ab0608dd"},
  };
  ForEachMd5Path([&] {
    for (const auto& [length, digest] : known) EXPECT_EQ(MethodDigest(DIGEST_MD5, Pattern(length)), digest) << length;
  });
}

// Pieces of random sizes at random alignments give the digest of the whole,
// on every path; natively the whole is also checked against OpenSSL.
TEST_F(Md5Test, AnySplitGivesTheWhole) {
  std::mt19937 random(1321);
  std::vector<uint8_t> buffer(20000);
  for (auto& byte : buffer) byte = static_cast<uint8_t>(random());
  for (int round = 0; round < 150; ++round) {
    size_t offset = random() % 64;
    size_t length = round < 130 ? random() % 300 : random() % (buffer.size() - 64);
    std::vector<uint8_t> data(buffer.begin() + static_cast<long>(offset),
                              buffer.begin() + static_cast<long>(offset + length));
    std::vector<size_t> pieces;
    for (int i = 0; i < 6; ++i) pieces.push_back(random() % 130);
    pieces.push_back(1 + random() % 200);
    std::string whole;
    ForEachMd5Path([&] {
      std::string digest = MethodDigest(DIGEST_MD5, data);
      if (whole.empty()) whole = digest;
      EXPECT_EQ(digest, whole) << "length " << length;
      EXPECT_EQ(MethodDigest(DIGEST_MD5, data, pieces), whole) << "length " << length;
    });
#ifdef DIGEST_TEST_ORACLES
    EXPECT_EQ(whole, OpenSslMd5(data.data(), data.size())) << "length " << length;
#endif
  }
}

TEST_F(Md5Test, PiecesOfTypicalSizesGiveTheWhole) {
  auto data = Pattern(2 * 1048576 + 100);
  const std::string whole = MethodDigest(DIGEST_MD5, data);
  ForEachMd5Path([&] {
    for (size_t piece : {size_t{1}, size_t{63}, size_t{64}, size_t{65}, size_t{1048576}}) {
      EXPECT_EQ(MethodDigest(DIGEST_MD5, data, {piece}), whole) << piece;
    }
  });
}

TEST_F(Md5Test, EmptyUpdateChangesNothingAndFinishClearsTheState) {
  const DigestMethods* method = FindDigest(DIGEST_MD5);
  DigestContext* context = method->create();
  EXPECT_EQ(context->digestBits, 128);
  EXPECT_EQ(context->blockSize, 64);
  Md5State& md5 = reinterpret_cast<Md5Context*>(context)->md5;
  method->reset(context, 0);
  auto data = Pattern(100);
  method->update(context, data.data(), 30);
  Md5State before = md5;
  method->update(context, data.data() + 30, 0);
  EXPECT_EQ(std::memcmp(&before, &md5, sizeof(md5)), 0);
  method->update(context, data.data() + 30, 70);
  method->finish(context);
  EXPECT_EQ(Hex(context->digest, 16), MethodDigest(DIGEST_MD5, data));
  const Md5State zero{};
  EXPECT_EQ(std::memcmp(&zero, &md5, sizeof(md5)), 0);
  method->destroy(context);
}

// More than 2^29 bytes: the bit count passes 2^32 and carries into its high
// word, and a single piece of 2^29 bytes or more adds to the high word
// directly. The message is the 1 MiB test pattern repeated 513 times and then
// its first 77 bytes; Python computes the expected digest as
//   p = bytes(((i * 2654435761) & 0xffffffff) >> 24 for i in range(1 << 20))
//   hashlib.md5(p * 513 + p[:77]).hexdigest()
TEST_F(Md5Test, MessageOverTwoToTheTwentyNinthBytes) {
  constexpr size_t MIB = 1048576;
  std::vector<uint8_t> message = Pattern(MIB);
  message.resize(513 * MIB + 77);
  for (size_t copy = 1; copy < 513; ++copy) std::memcpy(message.data() + copy * MIB, message.data(), MIB);
  std::memcpy(message.data() + 513 * MIB, message.data(), 77);

  const char* expected = "ce003f6242f4ffb754a49905149765cd";
  EXPECT_EQ(MethodDigest(DIGEST_MD5, message, {100, message.size() - 100}), expected);
  EXPECT_EQ(MethodDigest(DIGEST_MD5, message, {MIB}), expected);
#ifdef DIGEST_TEST_ORACLES
  EXPECT_EQ(OpenSslMd5(message.data(), message.size()), expected);
#endif
}

}  // namespace
