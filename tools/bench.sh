#!/usr/bin/env bash
# Measures the history core natively in an optimised build and prints a table,
# then the reform tool beside nkf.
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
kst_install
kst_configure bench -DCMAKE_BUILD_TYPE=Release -DKST_TESTS=OFF
kst_build bench
"$KST_BUILD/bench/bin/kst_core_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=json 2>/dev/null | python3 -c '
import json, re, sys
rows = [b for b in json.load(sys.stdin)["benchmarks"] if b.get("aggregate_name") == "median"]
def size(n):
    n = int(n)
    return "%d MB" % (n >> 20) if n >= 1 << 20 else "%d B" % n
def name(run):
    m = re.match(r"(\w+)/([0-9]+)/([0-9]+)$", run)
    if m:
        return "%s, %s entries of %s" % (m.group(1), m.group(2), size(m.group(3)))
    return re.sub(r"/([0-9]+)$", r" \1 MB", run)
print("| benchmark | time per run | throughput |")
print("|---|---|---|")
for b in rows:
    rate = ("%.0f MB/s" % (b["bytes_per_second"] / 1e6)) if "bytes_per_second" in b else \
           ("%.2f M entries/s" % (b["items_per_second"] / 1e6)) if "items_per_second" in b else ""
    print("| %s | %.1f %s | %s |" % (name(b["run_name"]), b["real_time"], b["time_unit"], rate))
'

# The reform tool end to end beside nkf, on 10 MB of generated mixed
# Japanese and ASCII text (sentences and words, as prose mixes them).
text="$KST_BUILD/bench/mixed-10mb.sjis"
python3 - "$text" <<'PY'
import random, sys
random.seed(7)
jp = ["今日は良い天気ですね。", "クリップボードの履歴を管理します、", "全角ＡＢＣと半角ｶﾀｶﾅが混ざった文章。",
      "「引用」や（括弧）も含めて、", "日本語の文章を折り返して表示する。", "東京都千代田区一丁目２番地"]
en = ["Kestrane ", "version 1.06 ", "hello, world. ", "path C:\\data\\file.txt ", "2026-12-07 ", "OK "]
out, size = [], 0
while size < 10 * 1024 * 1024:
    line = "".join(random.choice(jp) if random.random() < 0.7 else random.choice(en)
                   for _ in range(random.randint(2, 6)))
    b = (line + "\r\n").encode("cp932")
    out.append(b)
    size += len(b)
open(sys.argv[1], "wb").write(b"".join(out))
PY
tool="$KST_BUILD/bench/bin/kestrane-reform"
python3 - "$text" "$tool" <<'PY'
import statistics, subprocess, sys, time
text, tool = sys.argv[1], sys.argv[2]
def median_ms(cmd):
    times = []
    for _ in range(9):
        with open(text, "rb") as f:
            start = time.perf_counter()
            subprocess.run(cmd, stdin=f, stdout=subprocess.DEVNULL, check=True)
            times.append(time.perf_counter() - start)
    return statistics.median(times) * 1000
rows = [("full width to half width", [tool, "--flags", "0x2"], ["nkf", "-Z0", "-S", "-s"]),
        ("fold at 60 columns", [tool, "--flags", "0x100", "--column", "60"], ["nkf", "-f60", "-S", "-s"])]
floor = median_ms(["cat"])
print("\n| 10 MB, end to end (median of 9) | kestrane-reform | nkf | nkf / kestrane-reform | cat |")
print("|---|---|---|---|---|")
for name, ours, theirs in rows:
    a, b = median_ms(ours), median_ms(theirs)
    print("| %s | %.0f ms | %.0f ms | %.1f | %.0f ms |" % (name, a, b, b / a, floor))
PY
