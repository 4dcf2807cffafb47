#include <benchmark/benchmark.h>

#include "runtime/platform/platform.h"
#include "runtime/strings/workspace.h"

int main(int argc, char** argv) {
  ProgramHeap = PlatformHeapCreate();
  StringRuntimeInit();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StringRuntimeEnd();
  PlatformHeapDestroy(ProgramHeap);
  return 0;
}
