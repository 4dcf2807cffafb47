#include <gtest/gtest.h>

#include <fstream>

#include "digest_test_support.h"
#include "runtime/digest/file_digest.h"
#include "runtime/strings/workspace.h"

#ifndef _WIN32
#include "runtime/platform/posix_faults.h"
#endif

namespace {

using namespace digest_test;

class FileDigestTest : public RegisteredDigests {
 protected:
  void TearDown() override {
#ifndef _WIN32
    PosixFailReadNumber(0);
    PosixFailAllocationNumber(0);
#endif
    RegisteredDigests::TearDown();
  }

  // The text FileDigest leaves at the current position; also checks that the
  // position ends on its terminator.
  static std::string Digest(const std::filesystem::path& path, int32_t id) {
    return Digest(path.u16string().c_str(), id);
  }
  static std::string Digest(const char16_t* path, int32_t id) {
    int64_t mark = WorkspacePosition();
    FileDigest(path, id, mark);
    std::string text = TextAt(mark);
    EXPECT_EQ(WorkspacePosition(), mark + 2 * static_cast<int64_t>(text.size()));
    ReleaseWorkspace(mark);
    return text;
  }

  TemporaryDirectory directory;
};

// Sizes around the 1,048,576-byte read, with CRC-32 and MD5 of the test
// pattern from Python's zlib and hashlib.
TEST_F(FileDigestTest, WholeFileAroundTheReadSize) {
  const struct {
    size_t size;
    const char* crc;
    const char* md5;
  } files[] = {
      {0, "00000000", "d41d8cd98f00b204e9800998ecf8427e"},
      {1048576, "158987c5", "900fad0e36be8d5ba0cb1653208c9f07"},
      {1048577, "5ec41af9", "030183cb4d095748263e646164fbdbda"},
  };
  for (const auto& file : files) {
    auto path = directory.Write("data", Pattern(file.size));
    EXPECT_EQ(Digest(path, DIGEST_CRC32), file.crc) << file.size;
    EXPECT_EQ(Digest(path, DIGEST_MD5), file.md5) << file.size;
  }
}

TEST_F(FileDigestTest, WhatCannotBeDigestedGivesTheEmptyText) {
  auto path = directory.Write("data", Pattern(10));
  EXPECT_EQ(Digest(directory.Path() / "missing", DIGEST_MD5), "");
  EXPECT_EQ(Digest(directory.Path(), DIGEST_MD5), "");
  EXPECT_EQ(Digest(static_cast<const char16_t*>(nullptr), DIGEST_CRC32), "");
#ifndef _WIN32
  int opened = PosixFilesOpened();
#endif
  EXPECT_EQ(Digest(path, 3), "");
  EXPECT_EQ(Digest(path, 0), "");
#ifndef _WIN32
  EXPECT_EQ(PosixFilesOpened(), opened) << "an unregistered id must not open the file";
#endif
}

// HMAC-MD5 under the empty key, from Python:
//   hmac.new(b'', b'what do ya want for nothing?', 'md5').hexdigest()
TEST_F(FileDigestTest, KeyedIdGivesHmacUnderTheEmptyKey) {
  auto path = directory.Write("data", Bytes("what do ya want for nothing?"));
  EXPECT_EQ(Digest(path, DIGEST_MD5 + DIGEST_KEYED), "ae2e4b39f3b5ee2c8b585994294201ea");
}

TEST_F(FileDigestTest, TextsJoinAtTheCurrentPosition) {
  auto path = directory.Write("data", Bytes("123456789"));
  int64_t mark = WorkspacePosition();
  AppendLiteral(u"CRC ");
  FileDigest(path.u16string().c_str(), DIGEST_CRC32, CURRENT_POSITION);
  AppendLiteral(u" MD5 ");
  FileDigest(path.u16string().c_str(), DIGEST_MD5, CURRENT_POSITION);
  EXPECT_EQ(TextAt(mark), "CRC cbf43926 MD5 25f9e794323b453885f5181f1b624d0b");
  EXPECT_EQ(WorkspacePosition(), mark + 2 * 49);
}

// Zero bytes on both sides of the 4 GiB mark with data at the start, across
// the mark and at the end. Python computes the expected CRC by feeding
// zlib.crc32 the same layout: p(4096) at 0, p(8192) at 2^32 - 4096, the byte
// 0x5a at 2^32 + 4096, size 2^32 + 4097, where p is the test pattern.
TEST_F(FileDigestTest, SparseFileOverFourGibibytes) {
  constexpr int64_t GIB4 = int64_t{1} << 32;
  auto path = directory.Path() / "sparse";
  {
    std::ofstream out(path, std::ios::binary);
    auto head = Pattern(8192);
    out.write(reinterpret_cast<const char*>(head.data()), 4096);
    out.seekp(GIB4 - 4096);
    out.write(reinterpret_cast<const char*>(head.data()), 8192);
    out.put('\x5a');
    ASSERT_TRUE(out.good());
  }
  ASSERT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(GIB4 + 4097));
  EXPECT_EQ(Digest(path, DIGEST_CRC32), "c31c05a3");
}

#ifndef _WIN32
// A read that fails part-way must not pass for the end of the file, or the
// digest of the bytes read so far would be shown as the file's. The text is
// empty, the file is closed, and the next digest is whole again.
TEST_F(FileDigestTest, FailedReadGivesTheEmptyText) {
  auto path = directory.Write("data", Pattern(3 * 1048576));
  const std::string whole = Digest(path, DIGEST_MD5);
  ASSERT_EQ(whole.size(), 32u);
  // The first read, a middle one, and the read at the end of the file that
  // would have delivered 0 bytes.
  for (int failingRead : {1, 2, 4}) {
    for (int32_t id : {DIGEST_MD5, DIGEST_CRC32 + DIGEST_KEYED}) {
      int open = PosixFilesOpen();
      PosixFailReadNumber(failingRead);
      EXPECT_EQ(Digest(path, id), "") << "read " << failingRead << ", id " << id;
      EXPECT_EQ(PosixFilesOpen(), open);
    }
  }
  EXPECT_EQ(Digest(path, DIGEST_MD5), whole);
}

// The read buffer is the first allocation, the context the second.
TEST_F(FileDigestTest, FailedAllocationGivesTheEmptyTextAndClosesTheFile) {
  auto path = directory.Write("data", Pattern(100));
  for (int failingAllocation : {1, 2}) {
    int open = PosixFilesOpen();
    PosixFailAllocationNumber(failingAllocation);
    EXPECT_EQ(Digest(path, DIGEST_CRC32), "") << "allocation " << failingAllocation;
    EXPECT_EQ(PosixFilesOpen(), open);
  }
}
#endif

}  // namespace
