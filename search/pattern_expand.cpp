#include "search/pattern_expand.h"

namespace kst {
namespace {

constexpr int kMaxNesting = 64;

// One character of a choice as the library wrote it: two bytes only for the
// double-byte characters it reads as such.
size_t ChoiceCharLength(const std::string& p, size_t at) {
    const unsigned char b = static_cast<unsigned char>(p[at]);
    if (at + 1 >= p.size()) return 1;
    const unsigned char t = static_cast<unsigned char>(p[at + 1]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xF0);
    const bool trail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
    return lead && trail ? 2 : 1;
}

bool IsOperator(char c) { return c >= 0x01 && c <= 0x05; }

class Reader {
  public:
    Reader(const std::string& pattern, size_t limit) : p(pattern), limit(limit) {}

    // alternatives := sequence (OR sequence)*
    bool Alternatives(std::vector<std::string>& out, int depth) {
        if (depth > kMaxNesting) return false;
        for (;;) {
            std::vector<std::string> one{std::string()};
            if (!Sequence(one, depth)) return false;
            for (std::string& s : one) Add(out, std::move(s));
            if (at < p.size() && p[at] == kPatternOr[0]) {
                ++at;
                continue;
            }
            return true;
        }
    }
    bool AtEnd() const { return at == p.size(); }
    bool cut = false;

  private:
    void Add(std::vector<std::string>& out, std::string s) {
        if (out.size() >= limit) {
            cut = true;
            return;
        }
        out.push_back(std::move(s));
    }
    // Every string so far followed by each of the choices.
    void Extend(std::vector<std::string>& now, const std::vector<std::string>& choices) {
        std::vector<std::string> next;
        for (const std::string& head : now)
            for (const std::string& tail : choices) Add(next, head + tail);
        now.swap(next);
    }
    bool Sequence(std::vector<std::string>& now, int depth) {
        while (at < p.size()) {
            const char c = p[at];
            if (c == kPatternOr[0] || c == kPatternNestOut[0]) return true;
            if (c == kPatternNestIn[0]) {
                ++at;
                std::vector<std::string> inner;
                if (!Alternatives(inner, depth + 1)) return false;
                if (at >= p.size() || p[at] != kPatternNestOut[0]) return false;
                ++at;
                Extend(now, inner);
            } else if (c == kPatternSelectIn[0]) {
                ++at;
                std::vector<std::string> choices;
                while (at < p.size() && p[at] != kPatternSelectOut[0]) {
                    if (IsOperator(p[at])) return false;
                    const size_t n = ChoiceCharLength(p, at);
                    choices.push_back(p.substr(at, n));
                    at += n;
                }
                if (at >= p.size() || choices.empty()) return false;
                ++at;
                Extend(now, choices);
            } else if (c == kPatternSelectOut[0]) {
                return false;
            } else {
                const size_t from = at;
                while (at < p.size() && !IsOperator(p[at])) ++at;
                for (std::string& s : now) s.append(p, from, at - from);
            }
        }
        return true;
    }

    const std::string& p;
    size_t limit;
    size_t at = 0;
};

} // namespace

ExpandResult ExpandPattern(const std::string& pattern, size_t limit, std::vector<std::string>& out) {
    Reader reader(pattern, limit);
    std::vector<std::string> found;
    if (!reader.Alternatives(found, 0) || !reader.AtEnd()) return ExpandResult::kMalformed;
    for (std::string& s : found) out.push_back(std::move(s));
    return reader.cut ? ExpandResult::kCut : ExpandResult::kWhole;
}

} // namespace kst
