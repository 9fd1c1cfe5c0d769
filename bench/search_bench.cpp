// Search over a full history, natively: 200 entries of 100 KB of mixed
// Japanese and ASCII text, each one long line. For each keystroke of a
// query: what the popup's thread does (hand the shared texts over), and
// what the search thread takes to the new matches (expansion and scan),
// typed one letter after another (narrowing) and as a fresh search. Then the
// dictionary's load time and memory. Median of 9 (5 for the load); prints
// Markdown tables. Run by tools/bench.sh.
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/mixed_text.h"
#include "reform/cp932_codec.h"
#include "search/entry_search.h"
#include "search/query_expander.h"

namespace {

using namespace kst;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Row {
    std::string keystroke;
    double handOver, typed, fresh;
    size_t matches, strings;
};

std::vector<Row> TimeTyping(const QueryExpander& expander, const std::vector<SearchText>& texts, const char* query) {
    std::vector<Row> rows;
    std::atomic<int> cancel{0};
    std::vector<std::vector<double>> typed(std::string(query).size()), fresh(typed.size()), handOver(typed.size());
    std::vector<size_t> matches(typed.size()), strings(typed.size());
    for (int round = 0; round < 9; ++round) {
        EntrySearch typing(SystemCp932());
        for (size_t k = 1; k <= typed.size(); ++k) {
            const std::string q(query, k);
            // The popup's thread: the texts as shared pointers, nothing copied.
            const auto h0 = Clock::now();
            std::vector<SearchText> given;
            given.reserve(texts.size());
            for (const SearchText& t : texts) given.push_back(t);
            const auto h1 = Clock::now();
            SearchOutcome outcome;
            const auto t0 = Clock::now();
            typing.Run(expander, q, given, cancel, outcome);
            const auto t1 = Clock::now();
            EntrySearch once(SystemCp932());
            SearchOutcome alone;
            const auto f0 = Clock::now();
            once.Run(expander, q, given, cancel, alone);
            const auto f1 = Clock::now();
            handOver[k - 1].push_back(Ms(h0, h1));
            typed[k - 1].push_back(Ms(t0, t1));
            fresh[k - 1].push_back(Ms(f0, f1));
            matches[k - 1] = outcome.entries.size();
            strings[k - 1] = outcome.matcher ? outcome.matcher->StringCount() : 0;
        }
    }
    for (size_t k = 0; k < typed.size(); ++k)
        rows.push_back({std::string(query, k + 1), Median(handOver[k]), Median(typed[k]), Median(fresh[k]), matches[k],
                        strings[k]});
    return rows;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

} // namespace

int main(int argc, char** argv) {
    const char* dictionary = argc > 1 ? argv[1] : "/usr/share/cmigemo/cp932/migemo-dict";
    std::mt19937 random(5);
    std::vector<SearchText> texts;
    for (int k = 0; k < 200; ++k) texts.push_back({k, std::make_shared<const std::string>(bench_text::MixedEntryText(random, 100 << 10)), nullptr});

    std::vector<double> loads;
    size_t memory = 0;
    std::unique_ptr<QueryExpander> expander;
    for (int round = 0; round < 5; ++round) {
        expander.reset();
        const size_t before = HeapInUse();
        const auto t0 = Clock::now();
        expander = std::make_unique<QueryExpander>();
        if (!expander->LoadDictionary(dictionary)) {
            std::fprintf(stderr, "no dictionary at %s\n", dictionary);
            return 1;
        }
        loads.push_back(Ms(t0, Clock::now()));
        memory = HeapInUse() - before;
    }
    const QueryExpander plain;

    std::printf("| 200 entries of 100 KB, keystroke | popup's thread: texts handed over | typed after the one before (narrowed) | as a fresh search | matching entries | strings searched |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const char* query : {"kaigi", "toukyou", "http", "zq"})
        for (const Row& r : TimeTyping(*expander, texts, query))
            std::printf("| %s | %.3f ms | %.1f ms | %.1f ms | %zu | %zu |\n", r.keystroke.c_str(), r.handOver, r.typed,
                        r.fresh, r.matches, r.strings);
    for (const Row& r : TimeTyping(plain, texts, "kaigi"))
        std::printf("| %s (without the dictionary) | %.3f ms | %.1f ms | %.1f ms | %zu | %zu |\n", r.keystroke.c_str(),
                    r.handOver, r.typed, r.fresh, r.matches, r.strings);

    std::printf("\n| dictionary (%s) | load (median of 5) | memory held |\n|---|---|---|\n", dictionary);
    std::printf("| C/Migemo's code page 932 dictionary | %.0f ms | %.1f MB |\n", Median(loads), memory / 1048576.0);
    return 0;
}
