#include "search/text_matcher.h"

#include <algorithm>

#include "search/text_fold.h"

namespace kst {
namespace {

std::vector<uint16_t> FoldString(const std::string& s) {
    std::vector<uint16_t> codes;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t at = 0; at < s.size();) {
        const FoldedChar c = FoldAt(p + at, s.size() - at);
        codes.push_back(c.code);
        at += c.bytes;
    }
    return codes;
}

} // namespace

// The strings folded and sorted make the trie in one pass: each shares the
// path of its common start with the one before, and every node's children
// arrive in order.
void TextMatcher::Build(const std::vector<std::string>& strings) {
    nodes.clear();
    edges.clear();
    literals.clear();
    firstCodes.assign(65536 / 64, 0);
    for (const std::string& s : strings)
        if (!s.empty()) literals.push_back(FoldString(s));
    std::sort(literals.begin(), literals.end());
    literals.erase(std::unique(literals.begin(), literals.end()), literals.end());
    std::vector<BuildNode> built(1);
    std::vector<uint32_t> path{0}; // the nodes of the previous string
    const std::vector<uint16_t>* previous = nullptr;
    for (const auto& codes : literals) {
        size_t common = 0;
        if (previous)
            while (common < previous->size() && common < codes.size() && (*previous)[common] == codes[common]) ++common;
        path.resize(common + 1);
        for (size_t k = common; k < codes.size(); ++k) {
            const uint32_t next = static_cast<uint32_t>(built.size());
            built[path.back()].children.emplace_back(codes[k], next);
            built.emplace_back();
            path.push_back(next);
        }
        built[path.back()].terminal = true;
        firstCodes[codes[0] >> 6] |= uint64_t(1) << (codes[0] & 63);
        previous = &codes;
    }
    nodes.resize(built.size());
    for (size_t n = 0; n < built.size(); ++n) {
        nodes[n].firstEdge = static_cast<uint32_t>(edges.size());
        nodes[n].edgeCount = static_cast<uint32_t>(built[n].children.size());
        nodes[n].terminal = built[n].terminal;
        for (const auto& c : built[n].children) edges.push_back({c.first, c.second});
    }
}

int32_t TextMatcher::Child(uint32_t node, uint16_t code) const {
    const Node& n = nodes[node];
    const Edge* first = edges.data() + n.firstEdge;
    const Edge* last = first + n.edgeCount;
    const Edge* e = std::lower_bound(first, last, code, [](const Edge& a, uint16_t c) { return a.code < c; });
    return e != last && e->code == code ? static_cast<int32_t>(e->child) : -1;
}

size_t TextMatcher::MatchAt(const unsigned char* text, size_t left, bool shortest) const {
    uint32_t node = 0;
    size_t at = 0, matched = 0;
    while (at < left) {
        const FoldedChar c = FoldAt(text + at, left - at);
        const int32_t next = Child(node, c.code);
        if (next < 0) break;
        node = static_cast<uint32_t>(next);
        at += c.bytes;
        if (nodes[node].terminal) {
            matched = at;
            if (shortest) break;
        }
    }
    return matched;
}

bool TextMatcher::Contains(const char* text, size_t length) const {
    if (literals.empty()) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const uint64_t* first = firstCodes.data();
    for (size_t at = 0; at < length;) {
        const FoldedChar c = FoldAt(p + at, length - at);
        if ((first[c.code >> 6] >> (c.code & 63)) & 1)
            if (MatchAt(p + at, length - at, true)) return true;
        at += c.bytes;
    }
    return false;
}

std::vector<MatchRange> TextMatcher::Find(const char* text, size_t length, size_t maxRanges) const {
    std::vector<MatchRange> found;
    if (literals.empty()) return found;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t at = 0; at < length && found.size() < maxRanges;) {
        const FoldedChar c = FoldAt(p + at, length - at);
        const size_t n = (firstCodes[c.code >> 6] >> (c.code & 63)) & 1 ? MatchAt(p + at, length - at, false) : 0;
        if (n) {
            found.push_back({at, at + n});
            at += n;
        } else {
            at += c.bytes;
        }
    }
    return found;
}

bool TextMatcher::HasPrefixOf(const std::vector<uint16_t>& codes) const {
    uint32_t node = 0;
    for (uint16_t code : codes) {
        const int32_t next = Child(node, code);
        if (next < 0) return false;
        node = static_cast<uint32_t>(next);
        if (nodes[node].terminal) return true;
    }
    return false;
}

bool TextMatcher::Narrows(const TextMatcher& older) const {
    if (older.literals.empty()) return false;
    for (const auto& codes : literals)
        if (!older.HasPrefixOf(codes)) return false;
    return true;
}

} // namespace kst
