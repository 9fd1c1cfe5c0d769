// Finds any of a set of strings in a code page 932 text in one pass, with
// case and width folded (search/text_fold.h). A match starts and ends on
// character boundaries: the text is read a character at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kst {

struct MatchRange {
    size_t begin;
    size_t end;
    bool operator==(const MatchRange& o) const { return begin == o.begin && end == o.end; }
};

class TextMatcher {
  public:
    // Code page 932 strings; empty ones match nothing.
    void Build(const std::vector<std::string>& strings);
    bool Empty() const { return literals.empty(); }
    bool Contains(const char* text, size_t length) const;
    bool Contains(const std::string& text) const { return Contains(text.data(), text.size()); }
    // The longest match at each place, left to right, not overlapping; at
    // most maxRanges of them.
    std::vector<MatchRange> Find(const char* text, size_t length, size_t maxRanges) const;
    // Whatever this matches, older matches too (each of its strings starts
    // with one of older's): a search may then look only among older's matches.
    bool Narrows(const TextMatcher& older) const;
    size_t StringCount() const { return literals.size(); }

  private:
    struct Node {
        uint32_t firstEdge = 0;
        uint32_t edgeCount = 0;
        bool terminal = false;
    };
    struct Edge {
        uint16_t code;
        uint32_t child;
    };
    struct BuildNode {
        std::vector<std::pair<uint16_t, uint32_t>> children;
        bool terminal = false;
    };
    int32_t Child(uint32_t node, uint16_t code) const;
    // Bytes of the longest match at text (0: none); stops at the first with shortest.
    size_t MatchAt(const unsigned char* text, size_t left, bool shortest) const;
    bool HasPrefixOf(const std::vector<uint16_t>& codes) const;

    std::vector<Node> nodes;
    std::vector<Edge> edges;
    void MarkRawStarts();
    bool MayStartAt(const unsigned char* text, size_t left) const;

    std::vector<uint64_t> firstCodes; // a bit for each code that starts a string
    // The same for the text's own bytes, before folding: a single byte, or a
    // double-byte character as lead * 256 + trail. Most characters of a text
    // are passed over with one look at these.
    std::vector<uint64_t> rawDoubleStarts;
    bool rawSingleStarts[256] = {};
    std::vector<std::vector<uint16_t>> literals; // folded
};

} // namespace kst
