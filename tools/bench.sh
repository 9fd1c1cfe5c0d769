#!/usr/bin/env bash
# Measures the history core natively in an optimised build and prints a table.
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
kst_install
kst_configure bench -DCMAKE_BUILD_TYPE=Release -DKST_TESTS=OFF
kst_build bench
"$KST_BUILD/bench/bin/kst_core_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=json 2>/dev/null | python3 -c '
import json, re, sys
rows = [b for b in json.load(sys.stdin)["benchmarks"] if b.get("aggregate_name") == "median"]
print("| benchmark | time per run | throughput |")
print("|---|---|---|")
for b in rows:
    name = re.sub(r"/([0-9]+)$", r" \1 MB", b["run_name"])
    rate = ("%.0f MB/s" % (b["bytes_per_second"] / 1e6)) if "bytes_per_second" in b else \
           ("%.2f M entries/s" % (b["items_per_second"] / 1e6))
    print("| %s | %.1f ms | %s |" % (name, b["real_time"], rate))
'
