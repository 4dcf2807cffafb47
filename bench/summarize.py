#!/usr/bin/env python3
"""Reads Google Benchmark JSON with repetitions and prints, per benchmark, the
best and the median throughput in GB/s (10^9 bytes a second), then one line
per comparison: ours divided by the peer, from the best runs (the least
disturbed by other work on a shared machine)."""
import json
import statistics
import sys

COMPARISONS = [
    ("OursCrc32/fastest", "ZlibCrc32"),
    ("OursCrc32/fastest", "LibdeflateCrc32"),
    ("OursCrc32/fastest", "IsalCrc32GzipRefl"),
    ("OursCrc32/pclmul", "LibdeflateCrc32"),
    ("OursMd5/fastest", "OpenSslMd5"),
    ("OursMd5/scalar", "OpenSslMd5"),
]

runs = {}
for path in sys.argv[1:]:
    with open(path) as f:
        for b in json.load(f)["benchmarks"]:
            if b.get("run_type") == "iteration" and "bytes_per_second" in b and not b.get("error_occurred"):
                runs.setdefault(b["run_name"], []).append(b["bytes_per_second"] / 1e9)

best = {name: max(rates) for name, rates in runs.items()}
print("%-36s %10s %10s" % ("benchmark", "best GB/s", "median"))
for name, rates in sorted(runs.items(), key=lambda item: ("File" in item[0], "Md5" in item[0], -max(item[1]))):
    print("%-36s %10.2f %10.2f" % (name, max(rates), statistics.median(rates)))


def resolve(name, family):
    if not name.endswith("/fastest"):
        return name
    candidates = [n for n in best if n.startswith(family + "/")]
    return max(candidates, key=best.get) if candidates else name


print()
printed = set()
for ours, peer in COMPARISONS:
    ours = resolve(ours, ours.split("/")[0])
    if ours in best and peer in best and (ours, peer) not in printed:
        printed.add((ours, peer))
        print("%s vs %s: %.2fx" % (ours, peer, best[ours] / best[peer]))
