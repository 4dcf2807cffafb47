#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include "bench/bench_buffer.h"
#include "runtime/digest/digest_registry.h"
#include "runtime/digest/md5_blocks.h"
#include "runtime/digest/md5_digest.h"

namespace {

// Through the registered method, as FileDigest uses it.
void OursMd5(benchmark::State& state, Md5Path path) {
  if (!UseMd5Path(path)) {
    state.SkipWithError("not supported on this CPU");
    return;
  }
  RegisterMd5Digest();
  const DigestMethods* method = FindDigest(DIGEST_MD5);
  DigestContext* context = method->create();
  const uint8_t* data = BenchBuffer();
  for (auto _ : state) {
    method->reset(context, 0);
    method->update(context, data, BENCH_BUFFER_SIZE);
    method->finish(context);
    benchmark::DoNotOptimize(context->digest[0]);
  }
  method->destroy(context);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BENCH_BUFFER_SIZE));
}

BENCHMARK_CAPTURE(OursMd5, scalar, Md5Path::Scalar);
BENCHMARK_CAPTURE(OursMd5, avx512, Md5Path::Avx512);

void OpenSslMd5(benchmark::State& state) {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  const uint8_t* data = BenchBuffer();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  for (auto _ : state) {
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    EVP_DigestUpdate(context, data, BENCH_BUFFER_SIZE);
    EVP_DigestFinal_ex(context, digest, &size);
    benchmark::DoNotOptimize(digest[0]);
  }
  EVP_MD_CTX_free(context);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BENCH_BUFFER_SIZE));
}
BENCHMARK(OpenSslMd5);

}  // namespace
