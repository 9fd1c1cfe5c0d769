// Search on arbitrary bytes: a query typed into the popup (expanded by the
// library without its dictionary), a text of an entry, a pattern read back
// and a dictionary file. Properties: matches lie on character boundaries, in
// order, without overlap, and are exactly what Contains says; the query
// itself is always among its strings; a dictionary is refused or loads.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "reform/char_convert.h"
#include "search/dictionary_check.h"
#include "search/pattern_expand.h"
#include "search/query_expander.h"
#include "search/text_matcher.h"

namespace {

const kst::QueryExpander& Expander() {
    static const kst::QueryExpander expander;
    return expander;
}

// The characters' starts of a text, as every scan steps.
std::vector<bool> Boundaries(const std::string& text) {
    std::vector<bool> at(text.size() + 1, false);
    size_t k = 0;
    while (k < text.size()) {
        at[k] = true;
        k += kst::IsLeadByte(static_cast<unsigned char>(text[k])) && k + 1 < text.size() ? 2 : 1;
    }
    at[text.size()] = true;
    return at;
}

void CheckMatches(const kst::TextMatcher& matcher, const std::string& text) {
    const auto found = matcher.Find(text.data(), text.size(), 1000);
    const std::vector<bool> boundary = Boundaries(text);
    size_t last = 0;
    for (const kst::MatchRange& m : found) {
        // A voiced half-width kana is one character of two bytes.
        if (m.begin < last || m.end <= m.begin || m.end > text.size() || !boundary[m.begin]) abort();
        last = m.end;
    }
    if (matcher.Contains(text) != !found.empty()) abort();
}

void FuzzQueryAndText(const uint8_t* data, size_t size) {
    const size_t queryLength = size ? data[0] % 16 : 0;
    std::string query;
    for (size_t k = 1; k <= queryLength && k < size; ++k)
        if (data[k] >= 0x20 && data[k] != 0x7F) query += static_cast<char>(data[k]);
    const size_t textStart = 1 + queryLength < size ? 1 + queryLength : size;
    const std::string text(reinterpret_cast<const char*>(data + textStart), size - textStart);
    const std::vector<std::string> strings = Expander().Expand(query);
    if (!query.empty() && (strings.empty() || strings.front() != query)) abort();
    kst::TextMatcher matcher;
    matcher.Build(strings);
    CheckMatches(matcher, text);
    // The text read as a pattern: whatever it stands for matches itself.
    std::vector<std::string> expanded;
    if (kst::ExpandPattern(text, 64, expanded) != kst::ExpandResult::kMalformed && !expanded.empty()) {
        kst::TextMatcher own;
        own.Build(expanded);
        for (const std::string& s : expanded)
            if (!s.empty() && !own.Contains(s)) abort();
    }
}

void FuzzDictionary(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (!kst::IsSoundDictionary(bytes, size)) return;
    static const std::string path = "/tmp/kst-search-fuzz-" + std::to_string(getpid());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(bytes, 1, size, f);
    fclose(f);
    kst::QueryExpander expander;
    if (expander.LoadDictionary(path) != 1) abort(); // a sound file always loads
    for (const char* q : {"a", "ka", "kaigi", "n"}) expander.Expand(q);
    remove(path.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] & 0x80) FuzzDictionary(data + 1, size - 1);
    else FuzzQueryAndText(data + 1, size - 1);
    return 0;
}
