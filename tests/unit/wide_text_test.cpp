// Text that code page 932 cannot hold: the stand-ins that carry it through
// the reformatter, the companion file that keeps it, and the history that
// binds the two.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "history/clip_history.h"
#include "history/file_io.h"
#include "history/history_file.h"
#include "history/wide_companion.h"
#include "reform/cp932_codec.h"
#include "reform/reform_flags.h"
#include "reform/reformatter.h"
#include "reform/wide_carrier.h"
#include "tests/unit/fake_history_host.h"
#include "tests/unit/history_test_folder.h"

namespace {

using namespace kst;
namespace fs = std::filesystem;

const Cp932Codec& codec = SystemCp932();
using StandIns = std::vector<std::u16string>;
constexpr size_t kRowBytes = 250;

const std::u16string kMixed = u"caf\u00E9 \U0001F600 \u301C \u2212 \uAC00 \u9AD9";
const std::u16string kJapanese = u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8\u3002"; // 日本語のテキスト。

TEST(Cp932Codec, WhatCodePage932HoldsExactly) {
    struct {
        std::u16string text;
        bool held;
    } const cases[] = {
        {u"abc", true},
        {kJapanese, true},
        {u"\uFF5E", true},        // FULLWIDTH TILDE: 81 60
        {u"\u301C", false},       // WAVE DASH comes back as U+FF5E
        {u"\u2212", false},       // MINUS SIGN
        {u"\u00E9", false},       // é
        {u"\U0001F600", false},   // a surrogate pair
        {u"\uAC00", false},       // Hangul
        {u"\u2460\u9AD9", true},  // ① 髙 (NEC and IBM extensions)
        {u"\uE000", true},        // the user-defined area round-trips
    };
    for (const auto& c : cases) EXPECT_EQ(c.held, codec.HoldsExactly(c.text)) << c.text.size();
}

TEST(WideCarrier, EveryStandInHasItsOwnDoubleByteCharacter) {
    for (size_t i = 0; i < kMaxStandIns; ++i) {
        const std::string b = StandInBytes(i);
        ASSERT_EQ(2u, b.size());
        EXPECT_EQ(static_cast<int>(i), StandInIndex(static_cast<unsigned char>(b[0]), static_cast<unsigned char>(b[1])));
        EXPECT_NE(0x7F, static_cast<unsigned char>(b[1]));
    }
    EXPECT_EQ(-1, StandInIndex(0xEF, 0x40));
    EXPECT_EQ(-1, StandInIndex(0xFA, 0x40));
    EXPECT_EQ(-1, StandInIndex(0xF0, 0x7F));
    EXPECT_EQ(-1, StandInIndex(0xF0, 0x3F));
}

// The oracle: the same text with each character code page 932 lacks
// replaced by one it holds and no conversion touches (■), reformatted as
// code page 932, then the characters put back in order.
std::u16string ByOracle(const std::u16string& text, const ReformParams& params) {
    std::u16string heldText, lacked;
    for (size_t i = 0; i < text.size();) {
        const size_t n = (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
        const std::u16string one = text.substr(i, n);
        i += n;
        if (codec.HoldsExactly(one)) {
            heldText += one;
        } else {
            heldText += u'\u25A0';
            lacked += one;
            lacked += u'\0';
        }
    }
    const std::string cp932 = codec.ToCp932(heldText);
    const std::u16string converted = codec.FromCp932(Reformat(cp932.data(), cp932.size(), params));
    std::u16string out;
    size_t next = 0;
    for (char16_t u : converted) {
        if (u != u'\u25A0') {
            out += u;
            continue;
        }
        const size_t end = lacked.find(u'\0', next);
        out += lacked.substr(next, end - next);
        next = end + 1;
    }
    return out;
}

ReformParams Params(int flags, int column = 60) {
    ReformParams p;
    p.flags = flags;
    p.columnWidth = column;
    return p;
}

TEST(WideCarrier, ConversionsTreatTheLackedCharactersAsDoubleByteAndKeepThemInPlace) {
    const std::u16string texts[] = {
        kMixed,
        u"\uFF21\uFF22\uFF23\U0001F600\uFF11\uFF12\uFF13",                 // ＡＢＣ😀１２３
        u"\u3042\u3044\U0001F600\u3046\u3048\u304A\u301C\u304B\u304D",     // あい😀うえお〜かき
        u"line one \uAC00\uAC01\r\nline two \u2212 end\u3002\u3001",       // 가각, −, 。、
        kJapanese + u"\u00E9\u00E8" + kJapanese,
        u"\uE000 private \uE001 use",
    };
    const ReformParams params[] = {
        Params(0),
        Params(REFORM_TO_HALFWIDTH),
        Params(REFORM_TO_FULLWIDTH | REFORM_TO_UPPER),
        Params(REFORM_WRAP, 6),
        Params(REFORM_WRAP | REFORM_KINSOKU, 8),
        Params(REFORM_WRAP | REFORM_QUOTE, 10),
        Params(REFORM_TOUTEN_TO_COMMA | REFORM_KUTEN_TO_PERIOD),
    };
    for (const auto& text : texts) {
        WideCarrier carrier;
        ASSERT_TRUE(BuildCarrier(text, codec, carrier));
        for (const auto& p : params) {
            const std::string converted = Reformat(carrier.text.data(), carrier.text.size(), p);
            const std::u16string restored = RestoreCarrier(converted, carrier, codec);
            EXPECT_EQ(ByOracle(text, p), restored) << "flags " << p.flags << ", " << text.size() << " units";
            if (p.flags == 0) {
                EXPECT_EQ(text, restored);
            }
        }
    }
}

TEST(WideCarrier, TagsGoWithWhatTheyHoldAndLoneSurrogatesSurvive) {
    const std::u16string text = u"<b>\U0001F600</b>\u2212<i x='\uAC00'>y</i>\xD800!";
    WideCarrier carrier;
    ASSERT_TRUE(BuildCarrier(text, codec, carrier));
    const ReformParams p = Params(REFORM_TAG_REMOVE);
    EXPECT_EQ(u"\U0001F600\u2212y\xD800!",
              RestoreCarrier(Reformat(carrier.text.data(), carrier.text.size(), p), carrier, codec));
}

TEST(WideCarrier, MoreDistinctCharactersThanStandInsIsRefused) {
    std::u16string many;
    for (char16_t u = 0xAC00; many.size() < kMaxStandIns; ++u) many += u;
    WideCarrier carrier;
    EXPECT_TRUE(BuildCarrier(many + many, codec, carrier)) << "repeats need no more";
    EXPECT_EQ(kMaxStandIns, carrier.held.size());
    EXPECT_FALSE(BuildCarrier(many + u"\uD7A3", codec, carrier));
}

// A version 1 companion, as written before companions named their history
// file: the same records behind a shorter header.
std::string VersionOneCompanion(const std::vector<WideRecord>& records) {
    std::string bound = EncodeWideCompanion(records, {});
    std::string old = "KSTW\x01" + bound.substr(5 + 12, bound.size() - 5 - 12 - 4);
    const uint32_t crc = Crc32(old.data(), old.size());
    for (int shift = 24; shift >= 0; shift -= 8) old += static_cast<char>(crc >> shift);
    return old;
}

TEST(WideCompanion, RecordsRoundTripAndAnyDamageLosesThemAll) {
    const std::vector<WideRecord> records = {
        {0, 3, Crc32("a?b", 3), u"a\u2212b"},
        {7, 0, Crc32("", 0), u""},
        {254, 5, 42, std::u16string(u"\U0001F600\u301C")},
    };
    const HistoryFileSum sum{0x123456789ull, 0xCAFEF00Du};
    const std::string file = EncodeWideCompanion(records, sum);
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    const WideCompanion back = DecodeWideCompanion(bytes, file.size());
    ASSERT_EQ(records.size(), back.records.size());
    for (size_t k = 0; k < records.size(); ++k) {
        EXPECT_EQ(records[k].index, back.records[k].index);
        EXPECT_EQ(records[k].cp932Length, back.records[k].cp932Length);
        EXPECT_EQ(records[k].cp932Crc, back.records[k].cp932Crc);
        EXPECT_EQ(records[k].text, back.records[k].text);
    }
    EXPECT_TRUE(back.boundToFile);
    EXPECT_TRUE(BelongsTo(back, sum));
    for (const HistoryFileSum other : {HistoryFileSum{sum.length, sum.crc ^ 1}, HistoryFileSum{sum.length + 1, sum.crc},
                                       HistoryFileSum{sum.length & 0xFFFFFFFFu, sum.crc}})
        EXPECT_FALSE(BelongsTo(back, other));
    for (size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_TRUE(DecodeWideCompanion(bytes, cut).records.empty()) << cut;
    for (size_t at = 0; at < file.size(); ++at) {
        std::string damaged = file;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        const auto* d = reinterpret_cast<const unsigned char*>(damaged.data());
        EXPECT_TRUE(DecodeWideCompanion(d, damaged.size()).records.empty()) << at;
    }
    EXPECT_TRUE(BindsTo(records[0], "a?b"));
    EXPECT_FALSE(BindsTo(records[0], "a?c"));
    EXPECT_FALSE(BindsTo(records[0], "a?bc"));

    const std::string old = VersionOneCompanion(records);
    const WideCompanion older = DecodeWideCompanion(reinterpret_cast<const unsigned char*>(old.data()), old.size());
    ASSERT_EQ(records.size(), older.records.size()) << "a companion from before still reads";
    EXPECT_FALSE(older.boundToFile);
    EXPECT_EQ(records[2].text, older.records[2].text);
}

class WideHistory : public HistoryTestFolder {
  protected:
    static void Add(ClipHistory& h, const std::u16string& text) { AddCopy(h, text); }
    static std::vector<bool> Kept(const ClipHistory& h) {
        std::vector<bool> kept;
        for (int k = 0; k < h.Count(); ++k) kept.push_back(h.Item(k)->HasWideText());
        return kept;
    }
};

TEST_F(WideHistory, TheUnicodeTextsSurviveARestartAndTheHistoryFileStaysAsItWas) {
    ClipHistory history(&host);
    for (const auto& t : {kJapanese, kMixed, std::u16string(u"plain"), std::u16string(u"\u2212 minus")}) Add(history, t);
    EXPECT_EQ((std::vector<bool>{false, true, false, true}), Kept(history)) << "only what code page 932 lacks";
    ASSERT_EQ(1, history.Save(path));
    ASSERT_TRUE(fs::exists(WideCompanionPath(path)));
    for (int k = 0; k < history.Count(); ++k)
        EXPECT_EQ(codec.ToCp932(Texts(history)[k]), history.GetItemText(k, 0)) << "the file holds the code page 932 forms";

    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path));
    EXPECT_EQ(Texts(history), Texts(loaded));
    EXPECT_EQ(Kept(history), Kept(loaded));

    ClipHistory plain(&host);
    Add(plain, u"only held text");
    ASSERT_EQ(1, plain.Save(path));
    EXPECT_FALSE(fs::exists(WideCompanionPath(path))) << "no companion without Unicode texts";
}

// Exact texts that cannot be kept make a failed save (the program then says
// so and tries the user's own folder); the history file is written all the
// same, and a history without such texts needs no companion.
TEST_F(WideHistory, ACompanionThatCannotBeWrittenFailsTheSave) {
    fs::create_directories(WideCompanionPath(path) + ".tmp");
    ClipHistory history(&host);
    Add(history, kMixed);
    EXPECT_EQ(0, history.Save(path));
    ClipHistory plain(&host);
    Add(plain, u"plain");
    EXPECT_EQ(1, plain.Save(path));
}

// A history file put back from before, or left by a save cut short between
// the two files: texts made only of characters code page 932 lacks share
// their code page 932 form ("??" for any emoji), so only the whole file
// tells whose companion it is.
TEST_F(WideHistory, ACompanionGivesNothingToAHistoryFileItWasNotWrittenWith) {
    const std::u16string grin = u"\U0001F600", beam = u"\U0001F601";
    ClipHistory history(&host);
    history.ApplyListSettings({0, 0, 1, 0, 3});
    for (const auto& t : {grin, beam, grin}) Add(history, t);
    ASSERT_EQ(1, history.Save(path));
    const std::string older = path + ".older";
    fs::copy_file(path, older);
    Add(history, u"abc"); // the oldest goes: [beam, grin, abc]
    ASSERT_EQ(1, history.Save(path));
    fs::remove(path); // copying over a file fails in some standard libraries
    fs::copy_file(older, path);

    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path));
    ASSERT_EQ(3, loaded.Count());
    EXPECT_EQ((std::vector<bool>{false, false, false}), Kept(loaded)) << "not one text of the newer history";

    // Every single-byte change of the file the companion was written with.
    ASSERT_EQ(1, history.Save(path));
    std::string file;
    ASSERT_TRUE(ReadWholeFile(path, file));
    for (size_t at = 0; at < file.size(); ++at) {
        std::string changed = file;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        ASSERT_TRUE(WriteFileReplacing(path, changed));
        ClipHistory damaged(&host);
        damaged.Load(path);
        for (int k = 0; k < damaged.Count(); ++k) EXPECT_FALSE(damaged.Item(k)->HasWideText()) << at;
    }
    ASSERT_TRUE(WriteFileReplacing(path, file));
    ClipHistory intact(&host);
    ASSERT_EQ(1, intact.Load(path));
    EXPECT_EQ((std::vector<std::u16string>{beam, grin, u"abc"}), Texts(intact)) << "its own file gets them all";

    fs::remove(WideCompanionPath(path));
    ClipHistory without(&host);
    ASSERT_EQ(1, without.Load(path));
    EXPECT_EQ(3, without.Count()) << "a missing companion loses no entry";
}

// A companion from before (version 1) still gives its records by their own
// binding, so that an update keeps the exact texts it finds.
TEST_F(WideHistory, ACompanionFromBeforeStillGivesItsTexts) {
    ClipHistory history(&host);
    for (const auto& t : {kMixed, std::u16string(u"plain"), std::u16string(u"\u2212 one")}) Add(history, t);
    ASSERT_EQ(1, history.Save(path));
    std::vector<WideRecord> records;
    for (int k : {0, 2}) {
        const std::string cp932 = history.GetItemText(k, 0);
        records.push_back({size_t(k), uint32_t(cp932.size()), Crc32(cp932.data(), cp932.size()),
                           history.Item(k)->GetWideText(0)});
    }
    ASSERT_TRUE(WriteFileReplacing(WideCompanionPath(path), VersionOneCompanion(records)));
    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path));
    EXPECT_EQ(Texts(history), Texts(loaded));
}

// The companion must follow the history: one that stays where it should be
// removed (the history has no exact texts left, or none at all) fails the save.
TEST_F(WideHistory, ACompanionThatCannotBeRemovedFailsTheSave) {
    ClipHistory history(&host);
    Add(history, u"plain");
    fs::create_directories(WideCompanionPath(path) + "/held"); // remove() cannot take it
    EXPECT_EQ(0, history.Save(path));
    ClipHistory empty(&host);
    EXPECT_EQ(0, empty.Save(path));
    fs::remove_all(WideCompanionPath(path));
    EXPECT_EQ(1, history.Save(path));
    EXPECT_EQ(1, empty.Save(path));
    EXPECT_FALSE(fs::exists(path));
}

// What the popup's rows and balloons show: a cut that never splits a
// character, a surrogate pair or a stand-in, and the stand-ins' characters.
TEST_F(WideHistory, TheDisplayTextIsCutAtWholeCharactersAndSaysWhatItsStandInsHold) {
    ClipHistory history(&host);
    Add(history, u"ab\u3042\u3044");               // abあい: code page 932 alone
    Add(history, u"a\U0001F600\u3042\uAC00\U0001F600"); // a😀あ가😀
    StandIns standIns;
    const ClipItem& plain = *history.Item(0);
    EXPECT_EQ(codec.ToCp932(std::u16string(u"ab")), plain.DisplayText(3, standIns)) << "before a split あ";
    EXPECT_TRUE(standIns.empty());
    EXPECT_EQ(codec.ToCp932(std::u16string(u"ab\u3042")), plain.DisplayText(4, standIns));
    EXPECT_EQ(codec.ToCp932(std::u16string(u"ab\u3042\u3044")), plain.DisplayText(250, standIns));

    const ClipItem& wide = *history.Item(1);
    const struct {
        size_t maxBytes;
        std::u16string shown;
    } cuts[] = {{1, u"a"}, {2, u"a"}, {3, u"a\U0001F600"}, {5, u"a\U0001F600\u3042"}, {250, u"a\U0001F600\u3042\uAC00\U0001F600"}};
    for (const auto& c : cuts) {
        const std::string text = wide.DisplayText(c.maxBytes, standIns);
        EXPECT_LE(text.size(), c.maxBytes);
        EXPECT_EQ(c.shown, RestoreCarrier(text, WideCarrier{text, standIns}, codec)) << c.maxBytes;
    }
    EXPECT_EQ((StandIns{u"\U0001F600", u"\uAC00"}), standIns) << "each lacked character once";
}

// A row shows the start of an entry, made from a prefix of its exact text:
// a huge text with one character code page 932 lacks, and a text with more
// distinct such characters than there are stand-ins, both show theirs.
TEST_F(WideHistory, ARowIsMadeFromTheStartOfTheTextAlone) {
    std::u16string huge(20u << 20, u'a'); // 40 MB
    huge[1] = u'\u301C';
    std::u16string hangul;
    for (char16_t c = 0xAC00; c < 0xAC00 + 3000; ++c) hangul += c;
    ASSERT_FALSE(codec.HoldsExactly(huge));
    ASSERT_FALSE(codec.HoldsExactly(hangul));
    ClipHistory history(&host);
    Add(history, huge);
    Add(history, hangul);
    StandIns standIns;
    const std::string row = history.Item(0)->DisplayText(kRowBytes, standIns);
    EXPECT_EQ(u"a\u301C" + std::u16string(kRowBytes - 3, u'a'), RestoreCarrier(row, WideCarrier{row, standIns}, codec));
    const std::string many = history.Item(1)->DisplayText(kRowBytes, standIns);
    EXPECT_EQ(hangul.substr(0, kRowBytes / 2), RestoreCarrier(many, WideCarrier{many, standIns}, codec))
        << "the row's own characters, not question marks";
}

// Exactness is judged a piece at a time: a character code page 932 lacks
// anywhere, a surrogate pair across a piece's end, are found.
TEST(Cp932Codec, ExactnessIsFoundAcrossPieces) {
    const size_t piece = 1u << 16;
    for (size_t at : {size_t{0}, piece - 1, piece, 3 * piece + 5}) {
        std::u16string text(4 * piece, u'\u3042');
        EXPECT_TRUE(codec.HoldsExactly(text));
        text[at] = u'\u2212';
        EXPECT_FALSE(codec.HoldsExactly(text)) << at;
        text[at] = 0xD83D; // 😀 split across the piece's end
        text[at + 1] = 0xDE00;
        EXPECT_FALSE(codec.HoldsExactly(text)) << at;
    }
}

TEST_F(WideHistory, AnEntryWithAUnicodeTextPastesItExactlyAndConvertsAroundIt) {
    ClipHistory history(&host);
    Add(history, u"\uFF21\U0001F600\uFF22");
    ClipItem& item = *history.Item(0);
    item.SetReformFlag(0, 60, 4, 0, ">", nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(u"\uFF21\U0001F600\uFF22", item.GetWideText(1));
    item.SetReformFlag(REFORM_TO_HALFWIDTH, 60, 4, 0, ">", nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(u"A\U0001F600B", item.GetWideText(1));
    EXPECT_EQ(codec.ToCp932(std::u16string(u"A\U0001F600B")), item.GetText(1)) << "what an ANSI program gets";
}

} // namespace
