// Shared helpers of the digest tests: test data, hex and workspace texts,
// temporary files, and the paths under test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/digest/crc32_paths.h"
#include "runtime/digest/digest_registry.h"
#include "runtime/digest/md5_blocks.h"

namespace digest_test {

// Byte i of the test pattern: the top byte of i * 2654435761 modulo 2^32.
// Python: bytes(((i * 2654435761) & 0xffffffff) >> 24 for i in range(n))
uint8_t PatternByte(uint64_t i);
std::vector<uint8_t> Pattern(size_t length);
std::vector<uint8_t> Bytes(const char* text);

std::string Hex(const uint8_t* bytes, size_t length);
std::string Hex32(uint32_t value);
// The workspace text at a mark, as plain ASCII.
std::string TextAt(int64_t mark);

// The digest of data fed to a registered method in the given piece sizes
// (the last piece size repeats until the data is used up).
std::string MethodDigest(int32_t id, const std::vector<uint8_t>& data, const std::vector<size_t>& pieces = {});

// The paths each test runs on: the one named by BQ_CRC32_PATH / BQ_MD5_PATH,
// or every path this CPU supports.
std::vector<Crc32Path> Crc32PathsUnderTest();
std::vector<Md5Path> Md5PathsUnderTest();
const char* Crc32PathName(Crc32Path path);
const char* Md5PathName(Md5Path path);
// Runs body once with each path under test selected.
template <typename Body>
void ForEachCrc32Path(Body body) {
  for (Crc32Path path : Crc32PathsUnderTest()) {
    SCOPED_TRACE(Crc32PathName(path));
    ASSERT_TRUE(UseCrc32Path(path));
    body();
  }
}
template <typename Body>
void ForEachMd5Path(Body body) {
  for (Md5Path path : Md5PathsUnderTest()) {
    SCOPED_TRACE(Md5PathName(path));
    ASSERT_TRUE(UseMd5Path(path));
    body();
  }
}

// Selects the paths the environment asks for; false when one is unknown or
// unsupported here.
bool SelectPathsFromEnvironment();
// Puts the default paths back (the forced ones, or the fastest).
void RestoreDefaultPaths();

// A fresh registry holding the CRC-32 and MD5 methods.
class RegisteredDigests : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A directory of its own under the system's temporary directory, removed at the end.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path Write(const char* name, const std::vector<uint8_t>& content) const;

 private:
  std::filesystem::path path_;
};

}  // namespace digest_test
