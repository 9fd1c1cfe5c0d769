#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reform/char_convert.h"
#include "tests/unit/recording_progress.h"
#include "reform/reform_flags.h"
#include "reform/reformatter.h"

namespace {

using namespace kst;

std::string Reform(const std::string& source, int flags, int columnWidth = 60, int tabWidth = 4,
                   int tabReplace = 0, const char* quote = ">") {
    ReformParams p;
    p.flags = flags;
    p.columnWidth = columnWidth;
    p.tabWidth = tabWidth;
    p.tabReplace = tabReplace;
    p.quoteText = quote;
    p.correctFront = kDefaultCorrectFront;
    p.correctEnd = kDefaultCorrectEnd;
    return Reformat(source.data(), source.size(), p);
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

struct Case {
    const char* name;
    std::string source;
    int flags;
    int columnWidth;
    int tabWidth;
    int tabReplace;
    std::string expected;
};

constexpr int W = REFORM_WRAP, K = REFORM_KINSOKU, Q = REFORM_QUOTE, T = REFORM_TAG_REMOVE;

const Case kCases[] = {
    {"nothing", "abc\tあ", 0, 60, 4, 0, "abc\tあ"},
    {"full width + upper", "abc", REFORM_TO_FULLWIDTH | REFORM_TO_UPPER, 60, 4, 0, "ＡＢＣ"},
    {"half width + lower", "ＡＢＣ", REFORM_TO_HALFWIDTH | REFORM_TO_LOWER, 60, 4, 0, "abc"},
    {"voiced ka", "ｶﾞ", REFORM_TO_FULLWIDTH, 60, 4, 0, "ガ"},
    {"voiced u", "ｳﾞ", REFORM_TO_FULLWIDTH, 60, 4, 0, "ヴ"},
    {"semi-voiced ka is two", "ｶﾟ", REFORM_TO_FULLWIDTH, 60, 4, 0, "カ゜"},
    {"width then swap", ",", REFORM_TO_FULLWIDTH | REFORM_COMMA_TO_TOUTEN, 60, 4, 0, "、"},
    {"half width keeps kana", "アいう漢「Ａ」～", REFORM_TO_HALFWIDTH, 60, 4, 0, "アいう漢｢A｣~"},
    {"full width keeps controls", "a\r\nb\x7F", REFORM_TO_FULLWIDTH, 60, 4, 0, "ａ\r\nｂ\x7F"},
    {"tab replaced", "a\tb", 0, 60, 4, 1, "a   b"},
    {"tab at start after prefix", "\tx", Q, 60, 4, 1, ">   x"},
    {"tab on a stop is a whole stop", "abcd\te", 0, 60, 4, 1, "abcd    e"},
    {"tab width below 1 acts as 1", "a\tb", 0, 60, 0, 1, "a b"},
    {"negative tab width acts as 1", "a\t\tb", 0, 60, -3, 1, "a  b"},
    {"wrap 10", "abcdefghijkl", W, 10, 4, 0, "abcdefghi\r\njkl"},
    {"last line one short", "abcdefghi", W, 10, 4, 0, "abcdefghi"},
    {"exactly full line breaks", "abcdefghij", W, 10, 4, 0, "abcdefghi\r\nj"},
    {"wrap never splits a double-byte", "aあいう", W, 4, 4, 0, "aあ\r\nい\r\nう"},
    {"kinsoku before opening bracket", Repeat("あ", 8) + "「い", W | K, 20, 4, 0,
     Repeat("あ", 8) + "\r\n「い"},
    {"kinsoku carries the last kana", Repeat("あ", 9) + "。", W | K, 20, 4, 0,
     Repeat("あ", 8) + "\r\nあ。"},
    {"kinsoku reach of 2 bytes", "ああああ。", W | K, 10, 4, 0, "ああああ\r\n。"},
    {"kinsoku with single bytes", "abcdefghi)", W | K, 10, 4, 0, "abcdefgh\r\ni)"},
    {"no kinsoku without the flag", Repeat("あ", 9) + "。", W, 20, 4, 0, Repeat("あ", 9) + "\r\n。"},
    {"kinsoku off when not wrapping", Repeat("あ", 9) + "。", K, 20, 4, 0, Repeat("あ", 9) + "。"},
    {"column 0 does not wrap", "abcdef", W, 0, 4, 0, "abcdef"},
    {"negative column does not wrap", "abcdef", W, -7, 4, 0, "abcdef"},
    {"column -1 does not wrap", "abcdef", W, -1, 4, 0, "abcdef"},
    {"quote every line", "x\ny\n", Q, 60, 4, 0, ">x\n>y\n"},
    {"quote on wrapped lines", "abcdefgh", W | Q, 5, 4, 0, ">abc\r\n>def\r\n>gh"},
    {"no prefix after a final wrap", "abcd", W | Q, 5, 4, 0, ">abc\r\nd"},
    {"tag br", "a<br>b", T, 60, 4, 0, "a\r\nb"},
    {"tag BR upper case", "a<BR>b", T, 60, 4, 0, "a\r\nb"},
    {"bold pair", "<b>x</b>", T, 60, 4, 0, "x"},
    {"line breaks vanish", "a\r\nb", T, 60, 4, 0, "ab"},
    {"unclosed tag eats the rest", "a<b c d", T, 60, 4, 0, "a"},
    {"p with attributes: no break", "<p class=x>y", T, 60, 4, 0, "y"},
    {"p breaks", "x<P>y", T, 60, 4, 0, "x\r\ny"},
    {"table row end breaks", "x</tr>y", T, 60, 4, 0, "x\r\ny"},
    {"tag break gets the prefix", "x<br>y", T | Q, 60, 4, 0, ">x\r\n>y"},
    {"lone lead byte at the end", "a\x82", REFORM_TO_FULLWIDTH, 60, 4, 0, "ａ\x82"},
    {"kana lead byte never a tag", "ソ<br>", T, 60, 4, 0, "ソ\r\n"},
};

TEST(Reformat, Conversions) {
    for (const Case& c : kCases)
        EXPECT_EQ(c.expected, Reform(c.source, c.flags, c.columnWidth, c.tabWidth, c.tabReplace)) << c.name;
}

TEST(Reformat, ProgressOnlyAboveTenThousandBytesInWholePercentSteps) {
    for (size_t length : {size_t{10000}, size_t{10001}, size_t{250000}}) {
        RecordingProgress progress;
        const std::string text(length, 'a');
        ReformParams p;
        p.flags = REFORM_TO_UPPER;
        EXPECT_EQ(std::string(length, 'A'), Reformat(text.data(), text.size(), p, &progress));
        const int shown = length > 10000 ? 1 : 0;
        EXPECT_EQ(shown, progress.created) << length;
        EXPECT_EQ(shown, progress.inits) << length;
        EXPECT_EQ(shown, progress.destroyed) << length;
        if (!shown) continue;
        ASSERT_EQ(99u, progress.steps.size()) << "1 to 99, each once";
        for (size_t k = 0; k < progress.steps.size(); ++k) EXPECT_EQ(int(k) + 1, progress.steps[k]);
    }
}

TEST(Reformat, ProgressCountsBytesOfDoubleByteText) {
    RecordingProgress progress;
    const std::string text = Repeat("あ", 6000); // 12000 bytes
    ReformParams p;
    Reformat(text.data(), text.size(), p, &progress);
    ASSERT_FALSE(progress.steps.empty());
    for (size_t k = 1; k < progress.steps.size(); ++k) EXPECT_LT(progress.steps[k - 1], progress.steps[k]);
    EXPECT_EQ(99, progress.steps.back());
}

// Random text of single- and double-byte characters, kinsoku characters
// among them, without line breaks.
std::string RandomText(std::mt19937& random, size_t characters) {
    static const char* const pieces[] = {"a", "Z", " ", ")", "(", "あ", "「", "」", "。", "、", "ー",
                                         "ｱ", "ﾞ", "漢", "！", "｢"};
    std::string text;
    std::uniform_int_distribution<size_t> pick(0, sizeof pieces / sizeof *pieces - 1);
    while (characters--) text += pieces[pick(random)];
    return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

int Columns(const std::string& line) {
    int columns = 0;
    for (size_t i = 0; i < line.size(); i += IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1)
        columns += IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
    return columns;
}

TEST(Reformat, WrappingOnlyInsertsBreaksAndPrefixesAtCharacterBoundaries) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const std::string source = RandomText(random, 1 + random() % 120);
        const int column = 2 + static_cast<int>(random() % 40);
        const bool kinsoku = round % 2;
        const char* quote = round % 3 == 0 ? ">>>>>>>>" : ">";
        const std::string out = Reform(source, W | Q | (kinsoku ? K : 0), column, 4, 0, quote);
        std::string rebuilt;
        const auto lines = SplitLines(out);
        size_t offset = 0;
        for (size_t k = 0; k < lines.size(); ++k) {
            const std::string& line = lines[k];
            // The prefix opens every line; only a break before the very last
            // character of the source leaves it off the last line.
            const bool prefixed = line.rfind(quote, 0) == 0;
            if (k + 1 < lines.size()) {
                ASSERT_TRUE(prefixed) << "line " << k << " of " << out;
            }
            const std::string piece = prefixed ? line.substr(strlen(quote)) : line;
            if (!kinsoku && strlen(quote) == 1 && column > 3) {
                EXPECT_LE(Columns(line), column - 1) << out;
            }
            // Each piece starts on a character of the source.
            size_t i = 0;
            while (i < offset) i += IsLeadByte(static_cast<unsigned char>(source[i])) ? 2 : 1;
            EXPECT_EQ(offset, i) << "a break inside a double-byte character: " << out;
            offset += piece.size();
            rebuilt += piece;
        }
        EXPECT_EQ(source, rebuilt) << "column " << column;
    }
}

} // namespace
