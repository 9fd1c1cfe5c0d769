#include "reform/wide_carrier.h"

#include <unordered_map>

#include "reform/char_convert.h"

namespace kst {
namespace {

constexpr unsigned char kFirstStandInLead = 0xF0;
constexpr size_t kStandInsPerLead = 188; // trails 40-7E and 80-FC

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool IsPrivateUse(char16_t u) { return u >= 0xE000 && u <= 0xF8FF; }

// One character at i: a surrogate pair, or one unit (a lone surrogate too).
size_t CharacterLength(const std::u16string& text, size_t i) {
    return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

} // namespace

std::string StandInBytes(size_t index) {
    const size_t trail = index % kStandInsPerLead;
    std::string bytes(2, '\0');
    bytes[0] = static_cast<char>(kFirstStandInLead + index / kStandInsPerLead);
    bytes[1] = static_cast<char>(trail < 0x3F ? 0x40 + trail : 0x41 + trail);
    return bytes;
}

int StandInIndex(unsigned char lead, unsigned char trail) {
    if (lead < kFirstStandInLead || lead > 0xF9 || trail < 0x40 || trail == 0x7F || trail > 0xFC) return -1;
    const size_t inLead = trail < 0x7F ? trail - 0x40u : trail - 0x41u;
    return static_cast<int>((lead - kFirstStandInLead) * kStandInsPerLead + inLead);
}

// Each distinct character is tried once: a long text repeats few of them.
bool BuildCarrier(const std::u16string& text, const Cp932Codec& codec, WideCarrier& carrier) {
    carrier = WideCarrier{};
    std::unordered_map<std::u16string, std::string> bytesOf;
    for (size_t i = 0; i < text.size();) {
        const size_t n = CharacterLength(text, i);
        const std::u16string one = text.substr(i, n);
        i += n;
        auto known = bytesOf.find(one);
        if (known == bytesOf.end()) {
            std::string bytes = IsPrivateUse(one[0]) ? std::string() : codec.ToCp932(one);
            if (bytes.empty() || codec.FromCp932(bytes) != one) {
                if (carrier.held.size() == kMaxStandIns) return false;
                bytes = StandInBytes(carrier.held.size());
                carrier.held.push_back(one);
            }
            known = bytesOf.emplace(one, bytes).first;
        }
        carrier.text += known->second;
    }
    return true;
}

std::u16string RestoreCarrier(const std::string& converted, const WideCarrier& carrier, const Cp932Codec& codec) {
    std::u16string out;
    size_t runStart = 0, i = 0;
    auto flush = [&](size_t end) {
        if (end > runStart) out += codec.FromCp932(converted.data() + runStart, end - runStart);
    };
    while (i < converted.size()) {
        const auto lead = static_cast<unsigned char>(converted[i]);
        if (!IsLeadByte(lead) || i + 1 >= converted.size()) {
            ++i;
            continue;
        }
        const int index = StandInIndex(lead, static_cast<unsigned char>(converted[i + 1]));
        if (index >= 0 && static_cast<size_t>(index) < carrier.held.size()) {
            flush(i);
            out += carrier.held[static_cast<size_t>(index)];
            runStart = i + 2;
        }
        i += 2;
    }
    flush(converted.size());
    return out;
}

} // namespace kst
