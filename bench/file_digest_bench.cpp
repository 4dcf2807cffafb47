#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_buffer.h"
#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/crc32_paths.h"
#include "runtime/digest/file_digest.h"
#include "runtime/digest/md5_blocks.h"
#include "runtime/digest/md5_digest.h"
#include "runtime/strings/workspace.h"

namespace {

constexpr int64_t FILE_SIZE = int64_t{1} << 30;

// A 1 GiB file, written once and read once so that it is in the page cache.
const std::u16string& BenchFile() {
  static const std::u16string path = [] {
    const char* name = std::getenv("BQ_BENCH_FILE");
    std::string file = name ? name : "digest-bench-1gib.bin";
    FILE* existing = std::fopen(file.c_str(), "rb");
    bool ready = existing && std::fseek(existing, 0, SEEK_END) == 0 && std::ftell(existing) == FILE_SIZE;
    if (existing) std::fclose(existing);
    if (!ready) {
      FILE* out = std::fopen(file.c_str(), "wb");
      for (int64_t written = 0; written < FILE_SIZE; written += BENCH_BUFFER_SIZE) {
        std::fwrite(BenchBuffer(), 1, BENCH_BUFFER_SIZE, out);
      }
      std::fclose(out);
    }
    FILE* in = std::fopen(file.c_str(), "rb");
    static char chunk[1 << 20];
    while (std::fread(chunk, 1, sizeof chunk, in) == sizeof chunk) {
    }
    std::fclose(in);
    return std::u16string(file.begin(), file.end());
  }();
  return path;
}

void OursFileDigest(benchmark::State& state, int32_t id) {
  UseCrc32Path(Crc32Path::Vpclmul512) || UseCrc32Path(Crc32Path::Vpclmul256) || UseCrc32Path(Crc32Path::Pclmul);
  UseMd5Path(Md5Path::Avx512);
  RegisterCrc32Digest();
  RegisterMd5Digest();
  const std::u16string& path = BenchFile();
  for (auto _ : state) {
    int64_t mark = WorkspacePosition();
    FileDigest(path.c_str(), id, mark);
    if (WorkspacePosition() == mark) state.SkipWithError("the file could not be digested");
    ReleaseWorkspace(mark);
  }
  state.SetBytesProcessed(state.iterations() * FILE_SIZE);
}

BENCHMARK_CAPTURE(OursFileDigest, crc32, DIGEST_CRC32)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(OursFileDigest, md5, DIGEST_MD5)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
