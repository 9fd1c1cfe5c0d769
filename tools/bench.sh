#!/usr/bin/env bash
# Measures the history core natively in an optimised build and prints a table,
# then search over a full history and the dictionary's load, then the reform
# tool beside nkf.
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
           ("%.2f M entries/s" % (b["items_per_second"] / 1e6)) if "items_per_second" in b else \
           ("%.1f KB kept" % (b["kept_bytes"] / 1024)) if "kept_bytes" in b else ""
    print("| %s | %.1f %s | %s |" % (name(b["run_name"]), b["real_time"], b["time_unit"], rate))
'

echo
"$KST_BUILD/bench/bin/kst_search_bench" "$KST_MIGEMO_DICT"

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
# And Japanese-heavy text: hiragana, katakana, kanji, full-width letters and
# digits, punctuation, half-width kana and ASCII in random runs.
heavy="$KST_BUILD/bench/japanese-10mb.sjis"
python3 - "$heavy" <<'PY'
import random, sys
random.seed(11)
def chars(first, last):
    return [chr(c) for c in range(first, last + 1) if len(chr(c).encode("cp932", "ignore")) > 0]
kinds = [(chars(0x3041, 0x3093), 30), (chars(0x30A1, 0x30F6), 15), (chars(0x4E00, 0x9FA0)[:3000], 25),
         (chars(0xFF21, 0xFF3A) + chars(0xFF41, 0xFF5A) + chars(0xFF10, 0xFF19), 8),
         ([c for c in "、。，．・「」（）！？ー…"], 8), (chars(0xFF66, 0xFF9D), 4),
         ([chr(c) for c in range(0x21, 0x7F)] + [" "] * 10, 10)]
pool = [k for k, w in kinds for _ in range(w)]
out, size = [], 0
while size < 10 * 1024 * 1024:
    line = "".join(random.choice(k) for k in random.choices(pool, k=random.randint(3, 12))
                   for _ in range(random.randint(1, 8)))
    b = (line + "\r\n").encode("cp932")
    out.append(b)
    size += len(b)
open(sys.argv[1], "wb").write(b"".join(out))
PY
tool="$KST_BUILD/bench/bin/kestrane-reform"
python3 - "$text" "$heavy" "$tool" <<'PY'
import resource, statistics, subprocess, sys, threading
texts = [("mixed prose", sys.argv[1]), ("Japanese-heavy", sys.argv[2])]
tool = sys.argv[3]
# The CPU time of the converting process alone (user + system), median of 9:
# from a file on standard input, and through a pipe fed by this process.
def cpu_ms(cmd, path, pipe):
    data = open(path, "rb").read() if pipe else None
    times = []
    for _ in range(9):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        if pipe:
            p = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)
            def feed():
                for i in range(0, len(data), 1 << 16):
                    p.stdin.write(data[i:i + (1 << 16)])
                p.stdin.close()
            t = threading.Thread(target=feed)
            t.start()
            p.wait()
            t.join()
        else:
            with open(path, "rb") as f:
                subprocess.run(cmd, stdin=f, stdout=subprocess.DEVNULL, check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        times.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return statistics.median(times) * 1000
rows = [("full width to half width (`--flags 0x2`, `nkf -Z0`)", [tool, "--flags", "0x2"], ["nkf", "-Z0", "-S", "-s"]),
        ("wrap at 60 with kinsoku (`--flags 0x500 --column 60`, `nkf -f60`)",
         [tool, "--flags", "0x500", "--column", "60"], ["nkf", "-f60", "-S", "-s"])]
print("\n| 10 MB, CPU time (median of 9) | text | input | kestrane-reform | nkf | nkf / kestrane-reform |")
print("|---|---|---|---|---|---|")
for name, ours, theirs in rows:
    for kind, path in texts:
        for pipe in (False, True):
            a, b = cpu_ms(ours, path, pipe), cpu_ms(theirs, path, pipe)
            print("| %s | %s | %s | %.0f ms | %.0f ms | %.1f |" % (name, kind, "pipe" if pipe else "file", a, b, b / a))
PY
