#include "reform/char_convert.h"

#include <array>

#include "reform/reform_flags.h"

namespace kst {
namespace {

// Full-width forms of printable ASCII 0x20-0x7E.
constexpr uint16_t kAsciiToFull[95] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x8165, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,
};

// Full-width forms of the half-width katakana and punctuation 0xA1-0xDF.
constexpr uint16_t kKanaToFull[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

// ｶﾞ-ﾄﾞ, ﾊﾞ-ﾎﾞ and ﾊﾟ-ﾎﾟ composed.
constexpr uint16_t kVoicedKaToTo[15] = {0x834B, 0x834D, 0x834F, 0x8351, 0x8353, 0x8355, 0x8357, 0x8359,
                                        0x835B, 0x835D, 0x835F, 0x8361, 0x8364, 0x8366, 0x8368};
constexpr uint16_t kVoicedHaToHo[5] = {0x836F, 0x8372, 0x8375, 0x8378, 0x837B};
constexpr uint16_t kSemiVoicedHaToHo[5] = {0x8370, 0x8373, 0x8376, 0x8379, 0x837C};
constexpr uint16_t kFullVu = 0x8394;

constexpr unsigned char kVoicedMark = 0xDE, kSemiVoicedMark = 0xDF;

using detail::kHalfBase;
using detail::kHalfEnd;
constexpr unsigned char kWaveDashHalf = '~'; // ～ has no table entry: our choice

// The single-byte form of each convertible double-byte code 0x8140-0x829A
// (0 = not convertible): the inverse of the tables above, plus 「 」 and ～.
constexpr std::array<unsigned char, kHalfEnd - kHalfBase> BuildHalfTable() {
    std::array<unsigned char, kHalfEnd - kHalfBase> table{};
    for (unsigned b = 0x20; b <= 0x7E; ++b) table[kAsciiToFull[b - 0x20] - kHalfBase] = (unsigned char)b;
    table[0x8175 - kHalfBase] = 0xA2; // 「
    table[0x8176 - kHalfBase] = 0xA3; // 」
    table[0x8160 - kHalfBase] = kWaveDashHalf;
    return table;
}

bool IsVoiceable(unsigned char b) { return b == 0xB3 || (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool IsSemiVoiceable(unsigned char b) { return b >= 0xCA && b <= 0xCE; }

// Case pairs of code page 932: the full-width Latin, Greek and Cyrillic
// letters. The Cyrillic lower case skips 0x847F, which is no trail byte.
unsigned ToUpperDouble(unsigned ch) {
    if (ch >= 0x8281 && ch <= 0x829A) return ch - 0x21;
    if (ch >= 0x83BF && ch <= 0x83D6) return ch - 0x20;
    if (ch >= 0x8470 && ch <= 0x847E) return ch - 0x30;
    if (ch >= 0x8480 && ch <= 0x8491) return ch - 0x31;
    return ch;
}

unsigned ToLowerDouble(unsigned ch) {
    if (ch >= 0x8260 && ch <= 0x8279) return ch + 0x21;
    if (ch >= 0x839F && ch <= 0x83B6) return ch + 0x20;
    if (ch >= 0x8440 && ch <= 0x844E) return ch + 0x30;
    if (ch >= 0x844F && ch <= 0x8460) return ch + 0x31;
    return ch;
}

unsigned ToUpperSingle(unsigned ch) { return (ch >= 'a' && ch <= 'z') ? ch - 0x20 : ch; }
unsigned ToLowerSingle(unsigned ch) { return (ch >= 'A' && ch <= 'Z') ? ch + 0x20 : ch; }

struct PunctuationSwap {
    int flag;
    unsigned fromDouble, toDouble;
    unsigned fromSingle, toSingle;
};
constexpr PunctuationSwap kSwaps[] = {
    {REFORM_TOUTEN_TO_COMMA, 0x8141, 0x8143, 0xA4, 0x2C},
    {REFORM_COMMA_TO_TOUTEN, 0x8143, 0x8141, 0x2C, 0xA4},
    {REFORM_KUTEN_TO_PERIOD, 0x8142, 0x8144, 0xA1, 0x2E},
    {REFORM_PERIOD_TO_KUTEN, 0x8144, 0x8142, 0x2E, 0xA1},
};

} // namespace

int ClassifyHalfWidth(unsigned char b, unsigned char n) {
    if (b >= 0x20 && b <= 0x7E) return 1;
    if (b < 0xA1 || b > 0xDF) return 0;
    if (IsVoiceable(b) && n == kVoicedMark) return 2;
    if (IsSemiVoiceable(b) && n == kSemiVoicedMark) return 2;
    return 1;
}

unsigned ToFullWidth(unsigned ch) {
    if (ch >= 0x20 && ch <= 0x7E) return kAsciiToFull[ch - 0x20];
    if (ch >= 0xA1 && ch <= 0xDF) return kKanaToFull[ch - 0xA1];
    return ch;
}

unsigned VoicedToFullWidth(unsigned char b, unsigned char n) {
    if (n == kVoicedMark) {
        if (b == 0xB3) return kFullVu;
        if (b >= 0xB6 && b <= 0xC4) return kVoicedKaToTo[b - 0xB6];
        if (b >= 0xCA && b <= 0xCE) return kVoicedHaToHo[b - 0xCA];
    }
    if (n == kSemiVoicedMark && IsSemiVoiceable(b)) return kSemiVoicedHaToHo[b - 0xCA];
    return ToFullWidth(b); // not a voiced pair: the kana alone
}

const std::array<unsigned char, detail::kHalfEnd - detail::kHalfBase> detail::kFullToHalf = BuildHalfTable();

unsigned ConvertCaseAndPunctuation(unsigned ch, int flags, int isDoubleByte) {
    unsigned r = ch;
    if (flags & REFORM_TO_UPPER) r = isDoubleByte ? ToUpperDouble(ch) : ToUpperSingle(ch);
    if (flags & REFORM_TO_LOWER) r = isDoubleByte ? ToLowerDouble(ch) : ToLowerSingle(ch);
    for (const PunctuationSwap& s : kSwaps) {
        if (!(flags & s.flag)) continue;
        if (isDoubleByte ? ch == s.fromDouble : ch == s.fromSingle) r = isDoubleByte ? s.toDouble : s.toSingle;
    }
    return r;
}

} // namespace kst
