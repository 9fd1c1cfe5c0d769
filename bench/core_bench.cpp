// Throughput of the reformatter and of the history list and file, on
// generated text: mixed Japanese and ASCII lines.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "history/clip_history.h"
#include "history/history_file.h"
#include "reform/cp932_codec.h"
#include "reform/wide_carrier.h"
#include "reform/reform_flags.h"
#include "reform/reformatter.h"

namespace {

using namespace kst;

std::string MixedText(size_t bytes) {
    static const char* const lines[] = {
        "クリップボードの履歴から選んで貼り付けます。全角ＡＢＣと半角abcが混ざった行です。\r\n",
        "The quick brown fox jumps over the lazy dog, 1234567890 times.\r\n",
        "「かぎかっこ」や（丸かっこ）、句読点。を含む日本語の文章が続きます、ここまで。\r\n",
        "ﾊﾝｶｸｶﾀｶﾅ ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟﾌﾟ\tand\ttabs\tbetween\twords\r\n",
        "<p>Some <b>HTML</b> markup<br>with tags</p>\r\n",
    };
    std::mt19937 random(1);
    std::string text;
    text.reserve(bytes + 200);
    while (text.size() < bytes) text += lines[random() % 5];
    text.resize(bytes);
    return text;
}

void RunReform(benchmark::State& state, int flags, int tabReplace) {
    const std::string text = MixedText(static_cast<size_t>(state.range(0)) << 20);
    ReformParams p;
    p.flags = flags;
    p.columnWidth = 60;
    p.tabReplace = tabReplace;
    p.correctFront = kDefaultCorrectFront;
    p.correctEnd = kDefaultCorrectEnd;
    for (auto _ : state) benchmark::DoNotOptimize(Reformat(text.data(), text.size(), p));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void HalfWidth(benchmark::State& s) { RunReform(s, REFORM_TO_HALFWIDTH, 0); }
void WrapKinsokuQuote(benchmark::State& s) { RunReform(s, REFORM_WRAP | REFORM_KINSOKU | REFORM_QUOTE, 0); }
void AllFlags(benchmark::State& s) {
    RunReform(s,
              REFORM_TO_FULLWIDTH | REFORM_TO_UPPER | REFORM_TOUTEN_TO_COMMA | REFORM_KUTEN_TO_PERIOD |
                  REFORM_WRAP | REFORM_QUOTE | REFORM_KINSOKU | REFORM_TAG_REMOVE,
              1);
}
BENCHMARK(HalfWidth)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(WrapKinsokuQuote)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(AllFlags)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// 10,000 captures into a full list of 200 that deletes its lowest entry.
void AddToFullList(benchmark::State& state) {
    const std::string text = MixedText(200);
    for (auto _ : state) {
        state.PauseTiming();
        ClipHistory history;
        history.ApplyListSettings({0, 1, 1, 0, 200});
        for (int k = 0; k < 200; ++k) history.AddEntry(text.data(), int(text.size()), false);
        for (int k = 0; k < 200; k += 3) history.AfterPaste(k, 0);
        state.ResumeTiming();
        for (int k = 0; k < 10000; ++k) history.AddEntry(text.data(), int(text.size()), false);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
BENCHMARK(AddToFullList)->Unit(benchmark::kMillisecond);

// Save and Load of 200 entries of 50 KB.
void SaveAndLoad(benchmark::State& state) {
    const std::string text = MixedText(50 << 10);
    ClipHistory history;
    history.ApplyListSettings({0, 0, 1, 0, 200});
    for (int k = 0; k < 200; ++k) history.AddEntry(text.data(), int(text.size()), false);
    const std::string path = "/tmp/kst-bench-clipbuf.dat";
    ClipHistory loaded;
    for (auto _ : state) {
        history.Save(path);
        loaded.Load(path);
    }
    remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * 200 * int64_t(text.size()));
}
BENCHMARK(SaveAndLoad)->Unit(benchmark::kMillisecond);

// A save as the program makes it while running: the snapshot on the
// user-interface thread, the write (temporary file, flush, replace) on a
// worker. Args: entries, bytes per entry.
ClipHistory* FilledHistory(int entries, size_t bytes) {
    static ClipHistory history;
    const std::string text = MixedText(bytes);
    history.ApplyListSettings({0, 0, 1, 0, 200});
    history.ClearAll();
    for (int k = 0; k < entries; ++k) history.AddEntry(text.data(), int(text.size()), false);
    return &history;
}
void SaveSnapshot(benchmark::State& state) {
    const ClipHistory& history = *FilledHistory(int(state.range(0)), size_t(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(history.Snapshot());
}
void WriteSnapshot(benchmark::State& state) {
    const ClipHistory& history = *FilledHistory(int(state.range(0)), size_t(state.range(1)));
    const std::string path = "/tmp/kst-bench-clipbuf.dat";
    for (auto _ : state) WriteHistoryFile(path, history.Snapshot());
    remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0) * state.range(1));
}
// The same with every entry holding a Unicode text that code page 932
// lacks characters of, so the companion file is written beside it.
void WriteSnapshotUnicode(benchmark::State& state) {
    ClipHistory& history = *FilledHistory(int(state.range(0)), size_t(state.range(1)));
    const std::u16string wide = SystemCp932().FromCp932(*history.Item(0)->SharedText()) + u"\U0001F600";
    for (int k = 0; k < history.Count(); ++k) history.Item(k)->SetWideText(wide);
    const std::string path = "/tmp/kst-bench-clipbuf.dat";
    for (auto _ : state) WriteHistoryFile(path, history.Snapshot());
    remove(path.c_str());
    remove(WideCompanionPath(path).c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0) * state.range(1));
}
BENCHMARK(SaveSnapshot)->Args({20, 100})->Args({200, 1 << 20})->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteSnapshot)->Args({20, 100})->Args({200, 100 << 10})->Args({200, 1 << 20})->Unit(benchmark::kMillisecond);
BENCHMARK(WriteSnapshotUnicode)->Args({200, 100 << 10})->Unit(benchmark::kMillisecond);

// What a capture adds for a copy of 1 MB: whether code page 932 holds it,
// and for one it does not, the stand-ins the popup and the conversions use.
void HoldsExactly(benchmark::State& state) {
    const std::u16string text = SystemCp932().FromCp932(MixedText(1 << 20));
    for (auto _ : state) benchmark::DoNotOptimize(SystemCp932().HoldsExactly(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * (1 << 20));
}
void BuildStandIns(benchmark::State& state) {
    std::u16string text = SystemCp932().FromCp932(MixedText(1 << 20));
    for (size_t k = 0; k < text.size(); k += 97) text[k] = u'\uAC00'; // Hangul here and there
    WideCarrier carrier;
    for (auto _ : state) benchmark::DoNotOptimize(BuildCarrier(text, SystemCp932(), carrier));
    state.SetBytesProcessed(int64_t(state.iterations()) * (1 << 20));
}
BENCHMARK(HoldsExactly)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildStandIns)->Unit(benchmark::kMillisecond);

// A copy of 40 MB (20 M UTF-16 units) with one wave dash: whether code page
// 932 holds it, and the first showing of its row (a new entry each time).
std::u16string HugeCopy() {
    std::u16string text = SystemCp932().FromCp932(MixedText(20 << 20));
    text.resize(20 << 20, u'a');
    text[text.size() / 2] = u'\u301C';
    return text;
}
void HugeHoldsExactly(benchmark::State& state) {
    const std::u16string text = HugeCopy();
    for (auto _ : state) benchmark::DoNotOptimize(SystemCp932().HoldsExactly(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}
// Bytes the allocator holds now, mapped blocks included.
size_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
void HugeRowText(benchmark::State& state) {
    const std::u16string text = HugeCopy();
    const std::string cp932 = SystemCp932().ToCp932(text);
    std::vector<std::u16string> standIns;
    size_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto item = std::make_unique<ClipItem>();
        item->SetText(cp932.data(), int(cp932.size()));
        item->SetWideText(text);
        const size_t before = HeapBytesInUse();
        state.ResumeTiming();
        benchmark::DoNotOptimize(item->DisplayText(250, standIns));
        state.PauseTiming();
        kept = HeapBytesInUse() - before; // what the entry keeps for showing it
        item.reset();                     // freeing 60 MB is not the row's cost
        state.ResumeTiming();
    }
    state.counters["kept_bytes"] = double(kept);
}
BENCHMARK(HugeHoldsExactly)->Unit(benchmark::kMillisecond);
BENCHMARK(HugeRowText)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
