#include <benchmark/benchmark.h>
#include <isa-l/crc.h>
#include <libdeflate.h>
#include <zlib.h>

#include "bench/bench_buffer.h"
#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/crc32_paths.h"

namespace {

template <typename Crc>
void RunCrc(benchmark::State& state, Crc crc) {
  const uint8_t* data = BenchBuffer();
  for (auto _ : state) benchmark::DoNotOptimize(crc(data));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BENCH_BUFFER_SIZE));
}

void OursCrc32(benchmark::State& state, Crc32Path path) {
  if (!UseCrc32Path(path)) {
    state.SkipWithError("not supported on this CPU");
    return;
  }
  RunCrc(state, [](const uint8_t* data) { return Crc32Update(data, BENCH_BUFFER_SIZE, 0); });
}

BENCHMARK_CAPTURE(OursCrc32, table, Crc32Path::Table);
BENCHMARK_CAPTURE(OursCrc32, pclmul, Crc32Path::Pclmul);
BENCHMARK_CAPTURE(OursCrc32, vpclmul256, Crc32Path::Vpclmul256);
BENCHMARK_CAPTURE(OursCrc32, vpclmul512, Crc32Path::Vpclmul512);

void ZlibCrc32(benchmark::State& state) {
  RunCrc(state, [](const uint8_t* data) { return crc32(0, data, BENCH_BUFFER_SIZE); });
}
BENCHMARK(ZlibCrc32);

void LibdeflateCrc32(benchmark::State& state) {
  RunCrc(state, [](const uint8_t* data) { return libdeflate_crc32(0, data, BENCH_BUFFER_SIZE); });
}
BENCHMARK(LibdeflateCrc32);

void IsalCrc32GzipRefl(benchmark::State& state) {
  RunCrc(state, [](const uint8_t* data) { return crc32_gzip_refl(0, data, BENCH_BUFFER_SIZE); });
}
BENCHMARK(IsalCrc32GzipRefl);

}  // namespace
