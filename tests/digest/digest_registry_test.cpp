#include <gtest/gtest.h>

#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/digest_registry.h"
#include "runtime/digest/md5_digest.h"

namespace {

class DigestRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { DigestRegistry = DigestMethodTable{}; }
};

TEST_F(DigestRegistryTest, EmptyRegistryFindsNothing) {
  EXPECT_EQ(FindDigest(ANY_DIGEST), nullptr);
  EXPECT_EQ(FindDigest(DIGEST_MD5), nullptr);
  EXPECT_EQ(FindDigest(0), nullptr);
}

TEST_F(DigestRegistryTest, MethodsTakeEntriesInRegistrationOrder) {
  RegisterCrc32Digest();
  RegisterMd5Digest();
  EXPECT_EQ(DigestRegistry.count, 2);
  EXPECT_EQ(FindDigest(DIGEST_CRC32), &DigestRegistry.entries[0]);
  EXPECT_EQ(FindDigest(DIGEST_MD5), &DigestRegistry.entries[1]);
  EXPECT_EQ(FindDigest(ANY_DIGEST), &DigestRegistry.entries[0]);
  EXPECT_EQ(FindDigest(DIGEST_MD5 + DIGEST_KEYED), &DigestRegistry.entries[1]);
  EXPECT_EQ(FindDigest(3), nullptr);
  for (const DigestMethods& entry : {DigestRegistry.entries[0], DigestRegistry.entries[1]}) {
    EXPECT_TRUE(entry.create && entry.reset && entry.update && entry.finish && entry.destroy);
    EXPECT_EQ(entry.destroy, DestroyDigestContext);
  }
}

TEST_F(DigestRegistryTest, SecondRegistrationIsRefusedAndKeepsTheFirst) {
  RegisterCrc32Digest();
  DigestMethods first = DigestRegistry.entries[0];
  EXPECT_EQ(RegisterDigest(DIGEST_CRC32), nullptr);
  EXPECT_EQ(RegisterDigest(DIGEST_CRC32 + DIGEST_KEYED), nullptr);
  RegisterCrc32Digest();
  EXPECT_EQ(DigestRegistry.count, 1);
  EXPECT_EQ(DigestRegistry.entries[0].update, first.update);

  RegisterMd5Digest();
  DigestRegistry.entries[1].finish = nullptr;  // marks the first registration
  RegisterMd5Digest();
  EXPECT_EQ(DigestRegistry.count, 2);
  EXPECT_EQ(DigestRegistry.entries[1].finish, nullptr);
}

TEST_F(DigestRegistryTest, AnyIdClaimsOnlyAnEmptyRegistry) {
  DigestMethods* entry = RegisterDigest(ANY_DIGEST);
  ASSERT_EQ(entry, &DigestRegistry.entries[0]);
  EXPECT_EQ(entry->id, ANY_DIGEST);
  EXPECT_EQ(RegisterDigest(ANY_DIGEST), nullptr);

  DigestRegistry = DigestMethodTable{};
  RegisterMd5Digest();
  EXPECT_EQ(RegisterDigest(ANY_DIGEST), nullptr);
  EXPECT_EQ(DigestRegistry.count, 1);
}

TEST_F(DigestRegistryTest, RegistrationWritesOnlyIdAndCount) {
  DigestMethods* entry = RegisterDigest(7);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->id, 7);
  EXPECT_EQ(entry->create, nullptr);
  EXPECT_EQ(FindDigest(7 + DIGEST_KEYED), entry);
}

TEST_F(DigestRegistryTest, FullRegistryRefusesFurtherIds) {
  for (int32_t id = 100; id < 164; ++id) ASSERT_NE(RegisterDigest(id), nullptr) << id;
  EXPECT_EQ(RegisterDigest(164), nullptr);
  EXPECT_EQ(DigestRegistry.count, 64);
  EXPECT_EQ(FindDigest(163), &DigestRegistry.entries[63]);
}

}  // namespace
