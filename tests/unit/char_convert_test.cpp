#include <gtest/gtest.h>

#include <string>

#include "reform/char_convert.h"
#include "reform/reform_flags.h"

namespace {

using namespace kst;

// The code of the first character of a code page 932 literal.
unsigned Code(const char* s) {
    const auto* b = reinterpret_cast<const unsigned char*>(s);
    return IsLeadByte(b[0]) ? (b[0] << 8 | b[1]) : b[0];
}

TEST(CharConvert, ClassifyHalfWidth) {
    struct {
        const char* pair;
        int kind;
    } const cases[] = {
        {"A", 1}, {" ", 1}, {"~", 1}, {"\x7F", 0}, {"\x1F", 0}, {"\x80", 0}, {"\xA0", 0}, {"\xE0", 0},
        {"ｶﾞ", 2}, {"ｶﾟ", 1}, {"ﾊﾟ", 2}, {"ﾊﾞ", 2}, {"ﾎﾟ", 2}, {"ｳﾞ", 2}, {"ｱﾞ", 1}, {"ﾄﾞ", 2},
        {"ﾅﾞ", 1}, {"ﾏﾟ", 1}, {"ｶa", 1}, {"ﾞﾞ", 1},
    };
    for (const auto& c : cases) {
        const auto* b = reinterpret_cast<const unsigned char*>(c.pair);
        EXPECT_EQ(c.kind, ClassifyHalfWidth(b[0], b[1])) << c.pair;
    }
}

TEST(CharConvert, SingleCharacterTables) {
    struct {
        const char* from;
        const char* to;
    } const fullWidth[] = {
        {"ﾜ", "ワ"}, {"ｳ", "ウ"}, {"ｶ", "カ"}, {"ｲ", "イ"}, {"ｧ", "ァ"}, {"ｯ", "ッ"}, {"ｬ", "ャ"},
        {"ｦ", "ヲ"}, {"ﾝ", "ン"}, {"｡", "。"}, {"｢", "「"}, {"｣", "」"}, {"､", "、"}, {"･", "・"},
        {"ｰ", "ー"}, {"ﾞ", "゛"}, {"ﾟ", "゜"}, {" ", "　"}, {"\\", "￥"}, {"~", "￣"}, {"\"", "”"},
        {"'", "’"}, {"`", "‘"}, {"A", "Ａ"}, {"z", "ｚ"}, {"0", "０"}, {"@", "＠"}, {"|", "｜"},
    };
    for (const auto& c : fullWidth) EXPECT_EQ(Code(c.to), ToFullWidth(Code(c.from))) << c.from;
    EXPECT_EQ(0x80u, ToFullWidth(0x80)) << "anything else unchanged";

    struct {
        const char* pair;
        const char* to;
    } const voiced[] = {{"ｳﾞ", "ヴ"}, {"ｶﾞ", "ガ"}, {"ﾄﾞ", "ド"}, {"ﾊﾞ", "バ"}, {"ﾎﾞ", "ボ"},
                        {"ﾊﾟ", "パ"}, {"ﾎﾟ", "ポ"}, {"ｻﾞ", "ザ"}, {"ﾂﾞ", "ヅ"}};
    for (const auto& c : voiced) {
        const auto* b = reinterpret_cast<const unsigned char*>(c.pair);
        EXPECT_EQ(Code(c.to), VoicedToFullWidth(b[0], b[1])) << c.pair;
    }
    EXPECT_EQ(0x8394u, VoicedToFullWidth(0xB3, 0xDE));

    struct {
        const char* from;
        unsigned to;
    } const halfWidth[] = {{"「", 0xA2}, {"」", 0xA3}, {"Ａ", 'A'}, {"ｚ", 'z'}, {"９", '9'},
                           {"”", '"'}, {"’", '\''}, {"‘", '`'}, {"￣", '~'}, {"￥", '\\'},
                           {"－", '-'}, {"　", ' '}, {"～", '~'}};
    for (const auto& c : halfWidth) {
        EXPECT_TRUE(IsHalfWidthConvertible(Code(c.from))) << c.from;
        EXPECT_EQ(c.to, ToHalfWidth(Code(c.from))) << c.from;
    }
    for (const char* kept : {"ア", "あ", "、", "。", "・", "ー", "漢"})
        EXPECT_FALSE(IsHalfWidthConvertible(Code(kept))) << kept;
}

TEST(CharConvert, HalfWidthSetIsExactlyTheInverseOfTheAsciiTableAndThreeMore) {
    int convertible = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned ch = lead << 8 | trail;
            if (!IsHalfWidthConvertible(ch)) continue;
            ++convertible;
            const unsigned half = ToHalfWidth(ch);
            // Every convertible character comes back, but for ～ (our choice: ~,
            // whose full-width form is ￣).
            if (ch != 0x8160) {
                EXPECT_EQ(ch, ToFullWidth(half)) << std::hex << ch;
            }
        }
    }
    EXPECT_EQ(10 + 26 + 26 + 36, convertible);
    for (unsigned b = 0x20; b <= 0x7E; ++b) EXPECT_EQ(b, ToHalfWidth(ToFullWidth(b))) << b;
}

TEST(CharConvert, CaseAndPunctuation) {
    struct {
        const char* from;
        int flags;
        const char* to;
    } const cases[] = {
        {"、", 0x14, "，"}, {",", 0x20, "､"}, {"ａ", 0x0C, "ａ"}, {"ａ", 0x04, "Ａ"}, {"Ａ", 0x08, "ａ"},
        {"a", 0x04, "A"},   {"Z", 0x08, "z"}, {"α", 0x04, "Α"}, {"Ω", 0x08, "ω"}, {"ж", 0x04, "Ж"},
        {"Ё", 0x08, "ё"},   {"я", 0x04, "Я"}, {"Н", 0x08, "н"}, {"О", 0x08, "о"}, {"。", 0x40, "．"},
        {"．", 0x80, "。"}, {"｡", 0x40, "."}, {".", 0x80, "｡"}, {"，", 0x20, "、"}, {"､", 0x10, ","},
        {"ⅰ", 0x04, "ⅰ"},  {"あ", 0x0C, "あ"}, {"ａ", 0x00, "ａ"}
    };
    for (const auto& c : cases) {
        const unsigned from = Code(c.from);
        EXPECT_EQ(Code(c.to), ConvertCaseAndPunctuation(from, c.flags, from > 0xFF)) << c.from;
    }
    // Both swaps of a pair test the character as passed in, not the result.
    EXPECT_EQ(Code("，"), ConvertCaseAndPunctuation(Code("、"), 0x30, 1));
    EXPECT_EQ(Code("、"), ConvertCaseAndPunctuation(Code("，"), 0x30, 1));
}

TEST(CharConvert, CaseMappingIsABijectionOverTheWholeCodePage) {
    int upper = 0, lower = 0;
    for (unsigned ch = 0x8140; ch <= 0xFCFC; ++ch) {
        if (!IsLeadByte(static_cast<unsigned char>(ch >> 8)) || (ch & 0xFF) < 0x40 || (ch & 0xFF) == 0x7F ||
            (ch & 0xFF) > 0xFC)
            continue;
        const unsigned up = ConvertCaseAndPunctuation(ch, REFORM_TO_UPPER, 1);
        const unsigned down = ConvertCaseAndPunctuation(ch, REFORM_TO_LOWER, 1);
        if (up != ch) {
            ++lower;
            EXPECT_EQ(ch, ConvertCaseAndPunctuation(up, REFORM_TO_LOWER, 1)) << std::hex << ch;
            EXPECT_NE(0x7Fu, up & 0xFF);
        }
        if (down != ch) {
            ++upper;
            EXPECT_EQ(ch, ConvertCaseAndPunctuation(down, REFORM_TO_UPPER, 1)) << std::hex << ch;
        }
    }
    EXPECT_EQ(26 + 24 + 33, upper) << "Latin, Greek and Cyrillic capitals";
    EXPECT_EQ(26 + 24 + 33, lower);
}

} // namespace
