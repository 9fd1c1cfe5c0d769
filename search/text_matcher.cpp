#include "search/text_matcher.h"

#include <algorithm>

#include "reform/char_convert.h"
#include "search/text_fold.h"

namespace kst {

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
    MarkRawStarts();
    nodes.resize(built.size());
    for (size_t n = 0; n < built.size(); ++n) {
        nodes[n].firstEdge = static_cast<uint32_t>(edges.size());
        nodes[n].edgeCount = static_cast<uint32_t>(built[n].children.size());
        nodes[n].terminal = built[n].terminal;
        for (const auto& c : built[n].children) edges.push_back({c.first, c.second});
    }
}

// Every character a text can hold, folded once: which raw forms start a string.
void TextMatcher::MarkRawStarts() {
    auto starts = [&](uint16_t code) { return (firstCodes[code >> 6] >> (code & 63)) & 1; };
    rawDoubleStarts.assign(65536 / 64, 0);
    for (unsigned b = 0; b < 256; ++b) {
        const auto lead = static_cast<unsigned char>(b);
        if (IsLeadByte(lead)) {
            for (unsigned t = 0; t < 256; ++t) {
                const unsigned char pair[2] = {lead, static_cast<unsigned char>(t)};
                if (starts(FoldAt(pair, 2).code)) rawDoubleStarts[(b << 8 | t) >> 6] |= uint64_t(1) << (t & 63);
            }
            rawSingleStarts[b] = starts(FoldAt(&lead, 1).code); // a lead byte at the end
            continue;
        }
        // A half-width kana alone or with either voicing mark.
        bool any = false;
        for (unsigned char next : {static_cast<unsigned char>(0), static_cast<unsigned char>(0xDE),
                                   static_cast<unsigned char>(0xDF)}) {
            const unsigned char pair[2] = {lead, next};
            any = any || starts(FoldAt(pair, next ? 2 : 1).code);
        }
        rawSingleStarts[b] = any;
    }
}

bool TextMatcher::MayStartAt(const unsigned char* text, size_t left) const {
    const unsigned b = text[0];
    if (IsLeadByte(text[0]) && left >= 2) {
        const unsigned code = b << 8 | text[1];
        return (rawDoubleStarts[code >> 6] >> (code & 63)) & 1;
    }
    return rawSingleStarts[b];
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
    for (size_t at = 0; at < length;) {
        const size_t left = length - at;
        const unsigned char b = p[at];
        if (MayStartAt(p + at, left) && MatchAt(p + at, left, true)) return true;
        // As FoldAt steps: a half-width kana with its voicing mark is one character.
        if (b < 0x80) ++at;
        else if (IsLeadByte(b) && left >= 2) at += 2;
        else at += b >= 0xA1 && b <= 0xDF && left >= 2 && ClassifyHalfWidth(b, p[at + 1]) == 2 ? 2 : 1;
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
