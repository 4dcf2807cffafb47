// The digest tests start the program's heap and string runtime as the program
// does, and take the forced paths from the environment:
// BQ_CRC32_PATH=table|pclmul|vpclmul256|vpclmul512, BQ_MD5_PATH=scalar|avx512.
#include <gtest/gtest.h>

#include <cstdio>

#include "digest_test_support.h"
#include "runtime/platform/platform.h"
#include "runtime/strings/workspace.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!digest_test::SelectPathsFromEnvironment()) {
    std::fprintf(stderr, "BQ_CRC32_PATH or BQ_MD5_PATH names a path that is unknown or not supported here\n");
    return 2;
  }
  std::printf("CRC-32 path: %s, MD5 path: %s\n", digest_test::Crc32PathName(ActiveCrc32Path()),
              digest_test::Md5PathName(ActiveMd5Path()));
  ProgramHeap = PlatformHeapCreate();
  StringRuntimeInit();
  int result = RUN_ALL_TESTS();
  StringRuntimeEnd();
  PlatformHeapDestroy(ProgramHeap);
  return result;
}
