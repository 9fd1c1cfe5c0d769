#include "search/entry_search.h"

#include <algorithm>

#include "reform/cp932_codec.h"

namespace kst {

const std::string& EntrySearch::SearchedText(const SearchText& t) {
    if (!t.wide) return *t.text;
    for (const auto& s : strictTexts)
        if (s.first == t.wide) return s.second;
    strictTexts.emplace_back(t.wide, codec.ToCp932Strict(t.wide->data(), t.wide->size(), kMissingCharByte));
    return strictTexts.back().second;
}

bool EntrySearch::Run(const QueryExpander& expander, const std::string& query, const std::vector<SearchText>& texts,
                      const std::atomic<int>& cancel, SearchOutcome& outcome) {
    auto matcher = std::make_shared<TextMatcher>();
    matcher->Build(expander.Expand(query));
    std::vector<std::pair<int, const std::string*>> textIds;
    for (const SearchText& t : texts) textIds.emplace_back(t.entry, t.text.get());
    const bool narrow = textIds == lastTexts && last.matcher && last.withDictionary == expander.HasDictionary() &&
                        matcher->Narrows(*last.matcher);
    // Exact texts no longer given are let go.
    strictTexts.erase(std::remove_if(strictTexts.begin(), strictTexts.end(),
                                     [&](const auto& s) {
                                         return std::none_of(texts.begin(), texts.end(),
                                                             [&](const SearchText& t) { return t.wide == s.first; });
                                     }),
                      strictTexts.end());
    std::vector<bool> matchedBefore;
    if (narrow)
        for (int e : last.entries) {
            if (e >= static_cast<int>(matchedBefore.size())) matchedBefore.resize(e + 1, false);
            matchedBefore[e] = true;
        }
    std::vector<int> found;
    for (const SearchText& t : texts) {
        if (cancel.load(std::memory_order_relaxed)) return false;
        if (narrow && (t.entry < 0 || t.entry >= static_cast<int>(matchedBefore.size()) || !matchedBefore[t.entry]))
            continue;
        if (t.text && matcher->Contains(SearchedText(t))) found.push_back(t.entry);
    }
    outcome.query = query;
    outcome.matcher = matcher;
    outcome.entries = std::move(found);
    outcome.withDictionary = expander.HasDictionary();
    last = outcome;
    lastTexts = std::move(textIds);
    return true;
}

} // namespace kst
