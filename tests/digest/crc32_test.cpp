#include <gtest/gtest.h>

#include <random>

#include "digest_test_support.h"
#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/crc32_paths.h"
#include "runtime/digest/file_digest.h"
#include "runtime/strings/workspace.h"

#ifdef DIGEST_TEST_ORACLES
#include <zlib.h>
#endif

namespace {

using namespace digest_test;

class Crc32Test : public RegisteredDigests {};

TEST_F(Crc32Test, TableFollowsThePolynomial) {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit) entry = (entry >> 1) ^ ((entry & 1) ? 0xEDB88320u : 0);
    ASSERT_EQ(Crc32Table[i], entry) << i;
  }
#ifdef DIGEST_TEST_ORACLES
  const auto* zlibTable = get_crc_table();
  for (int i = 0; i < 256; ++i) ASSERT_EQ(Crc32Table[i], zlibTable[i]) << i;
#endif
}

// CRC-32 of the test pattern, from Python's zlib.crc32.
struct KnownCrc {
  size_t length;
  uint32_t crc;
};
const KnownCrc PATTERN_CRCS[] = {
    {0, 0x00000000},  {1, 0xd202ef8d},  {55, 0xd00953c9}, {56, 0xf366126b},  {57, 0xf128ee20},
    {63, 0x6b53518c}, {64, 0x06d28c3e}, {65, 0x806cdf37}, {119, 0x7a1eb1c0}, {120, 0x33766924},
};

TEST_F(Crc32Test, KnownValuesOnEveryPath) {
  ForEachCrc32Path([&] {
    auto check = Bytes("123456789");
    EXPECT_EQ(Crc32Update(check.data(), 9, 0), 0xCBF43926u);
    for (const KnownCrc& known : PATTERN_CRCS) {
      auto data = Pattern(known.length);
      EXPECT_EQ(Crc32Update(data.data(), static_cast<uint32_t>(known.length), 0), known.crc) << known.length;
    }
  });
}

TEST_F(Crc32Test, NullDataAndEmptyDataLeaveTheCrc) {
  uint8_t byte = 0x42;
  ForEachCrc32Path([&] {
    for (uint32_t crc : {0u, 0x12345678u, 0xFFFFFFFFu}) {
      EXPECT_EQ(Crc32Update(nullptr, 1000, crc), crc);
      EXPECT_EQ(Crc32Update(&byte, 0, crc), crc);
    }
  });
}

// Every path against the plain table loop, over lengths around each path's
// block sizes, every alignment within a cache line, random starting values,
// and the same data cut at random points.
TEST_F(Crc32Test, EveryPathMatchesTheTableLoop) {
  std::mt19937 random(20240611);
  std::vector<uint8_t> buffer(70000 + 64);
  for (auto& byte : buffer) byte = static_cast<uint8_t>(random());
  std::vector<uint32_t> lengths;
  for (uint32_t length = 0; length <= 1100; ++length) lengths.push_back(length);
  for (int i = 0; i < 200; ++i) lengths.push_back(static_cast<uint32_t>(random() % 70000));

  ForEachCrc32Path([&] {
    for (uint32_t length : lengths) {
      const uint8_t* data = buffer.data() + random() % 64;
      uint32_t start = static_cast<uint32_t>(random());
      uint32_t expected = Crc32UpdateTable(data, length, start);
      ASSERT_EQ(Crc32Update(data, length, start), expected) << "length " << length;

      uint32_t split = length ? static_cast<uint32_t>(random() % (length + 1)) : 0;
      uint32_t chained = Crc32Update(data + split, length - split, Crc32Update(data, split, start));
      ASSERT_EQ(chained, expected) << "length " << length << " split " << split;
    }
  });
}

#ifdef DIGEST_TEST_ORACLES
TEST_F(Crc32Test, TableLoopMatchesZlib) {
  std::mt19937 random(7);
  auto data = Pattern(5000);
  for (int i = 0; i < 300; ++i) {
    uint32_t length = static_cast<uint32_t>(random() % data.size());
    uint32_t start = static_cast<uint32_t>(random());
    ASSERT_EQ(Crc32UpdateTable(data.data(), length, start), static_cast<uint32_t>(crc32(start, data.data(), length)));
  }
}
#endif

TEST_F(Crc32Test, PiecesOfAnySizeGiveTheWhole) {
  auto data = Pattern(3 * 1048576 + 17);
  const std::string whole = Hex32(Crc32UpdateTable(data.data(), static_cast<uint32_t>(data.size()), 0));
  ForEachCrc32Path([&] {
    for (size_t piece : {size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{1048576}}) {
      std::vector<uint8_t> part(data.begin(), data.begin() + (piece < 8 ? 100000 : data.size()));
      EXPECT_EQ(MethodDigest(DIGEST_CRC32, part, {piece}), MethodDigest(DIGEST_CRC32, part)) << piece;
    }
    EXPECT_EQ(MethodDigest(DIGEST_CRC32, data, {1048576}), whole);
  });
}

TEST_F(Crc32Test, DigestIsTheCrcMostSignificantByteFirst) {
  const DigestMethods* method = FindDigest(DIGEST_CRC32);
  DigestContext* context = method->create();
  EXPECT_EQ(context->digestBits, 32);
  EXPECT_EQ(context->blockSize, 4);
  method->reset(context, 0);
  method->finish(context);
  DigestToHex(context, 0);
  EXPECT_EQ(TextAt(0), "00000000");

  // "ajy" has the CRC 009f32b0 (Python's zlib.crc32): leading zeros stay.
  method->reset(context, 0);
  auto text = Bytes("ajy");
  method->update(context, text.data(), 2);
  method->update(context, text.data() + 2, 0);
  method->update(context, text.data() + 2, 1);
  method->finish(context);
  DigestToHex(context, 0);
  EXPECT_EQ(TextAt(0), "009f32b0");
  method->destroy(context);
}

}  // namespace
