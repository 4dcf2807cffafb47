#!/usr/bin/env bash
# `make bench`: speed against peers, in one run. Plain and sequential: each
# part is delimited and prints its own figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset bench >/dev/null
cmake --build --preset bench

# ---- Digest engine (native): CRC-32 and MD5 on 1 MiB in cache against zlib,
# ---- libdeflate, ISA-L and OpenSSL; FileDigest on a 1 GiB file in the page cache.
digest_results=build/bench/digest-results
mkdir -p "$digest_results"
echo "CPU: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
digest_bench=build/bench/bench/digest_bench
# Repetitions interleaved at random, so that other work on the machine
# disturbs ours and the peers' alike; the comparisons use each one's best run.
for family in Crc32 Md5; do
  "$digest_bench" --benchmark_filter="$family" --benchmark_repetitions=15 --benchmark_min_time=0.05 \
    --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
    --benchmark_out="$digest_results/$family.json" --benchmark_out_format=json
done
BQ_BENCH_FILE=build/bench/digest-bench-1gib.bin "$digest_bench" --benchmark_filter=FileDigest \
  --benchmark_out="$digest_results/FileDigest.json" --benchmark_out_format=json
python3 bench/summarize.py "$digest_results"/Crc32.json "$digest_results"/Md5.json "$digest_results"/FileDigest.json
# ---- end of the digest engine part.

# ---- Whole program (Windows build under Wine): from confirming the dialog to
# ---- the message box on a 1 GiB file against md5sum and rhash, and peak memory.
cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/with-wine.sh python3 bench/whole_program.py build/windows
# ---- end of the whole-program part.
