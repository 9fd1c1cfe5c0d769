// One search over the history's texts, as the popup's search thread runs it:
// a query expanded into a matcher, the entries whose text it finds. Shared
// texts only: the history may change meanwhile on its own thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "search/query_expander.h"
#include "search/text_matcher.h"

namespace kst {

class Cp932Codec;

// The byte that stands for a character code page 932 lacks in the text
// searched: no query or dictionary word holds it.
constexpr char kMissingCharByte = 0x7F;

struct SearchText {
    int entry = -1; // the history's index of it
    std::shared_ptr<const std::string> text;        // code page 932
    std::shared_ptr<const std::u16string> wide;     // the exact text, where the entry keeps one
};

struct SearchOutcome {
    std::string query;
    std::shared_ptr<const TextMatcher> matcher;
    std::vector<int> entries; // in the order of the texts given
    bool withDictionary = false;
};

class EntrySearch {
  public:
    explicit EntrySearch(const Cp932Codec& codec) : codec(codec) {}
    // The entries among texts whose text holds a match of the query; false
    // when cancel was set first (then outcome is unchanged). With the same
    // texts as the last run and a query whose matches are all among that
    // run's, only those are looked at.
    bool Run(const QueryExpander& expander, const std::string& query, const std::vector<SearchText>& texts,
             const std::atomic<int>& cancel, SearchOutcome& outcome);
    // The texts changed (or the dictionary came): nothing of the last run is used.
    void Forget() { last = SearchOutcome{}; lastTexts.clear(); }

  private:
    const std::string& SearchedText(const SearchText& t);

    const Cp932Codec& codec;
    SearchOutcome last;
    std::vector<std::pair<int, const std::string*>> lastTexts;
    // The exact texts as searched, made once a text.
    std::vector<std::pair<std::shared_ptr<const std::u16string>, std::string>> strictTexts;
};

} // namespace kst
