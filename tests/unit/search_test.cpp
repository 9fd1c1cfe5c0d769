#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <atomic>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "reform/char_convert.h"
#include "reform/cp932_codec.h"
#include "search/dictionary_check.h"
#include "search/entry_search.h"
#include "search/migemo_access.h"
#include "search/pattern_expand.h"
#include "search/query_expander.h"
#include "search/text_fold.h"
#include "search/text_matcher.h"

namespace {

using namespace kst;

const char* DictionaryPath() { return KST_TEST_MIGEMO_DICT; }

std::vector<uint16_t> Folded(const std::string& s) { return FoldString(s); }

TEST(Search, FoldingMakesCaseAndWidthOne) {
    struct {
        const char* a;
        const char* b;
        bool same;
    } const cases[] = {
        {"http", "HTTP", true}, {"http", "ｈｔｔｐ", true}, {"http", "ＨＴＴＰ", true}, {"123", "１２３", true},
        {"://", "：／／", true}, {"カタカナ", "ｶﾀｶﾅ", true}, {"ガギグ", "ｶﾞｷﾞｸﾞ", true}, {"パ", "ﾊﾟ", true},
        {"。「」", "｡｢｣", true}, {"ヴ", "ｳﾞ", true},
        // Kana stay kana: hiragana and katakana are told apart (romaji gives both).
        {"かな", "カナ", false}, {"カ", "ガ", false}, {"a", "あ", false}, {"ソ", "ｿ", true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, Folded(c.a) == Folded(c.b)) << c.a << " / " << c.b;
    // A double-byte character whose trail byte is a letter or 0x5C stays one character.
    EXPECT_EQ(1u, Folded("ソ").size());
    EXPECT_EQ(1u, Folded("表").size());
    EXPECT_EQ(std::vector<uint16_t>{0x81}, Folded("\x81")); // a lead byte at the end
}

std::set<std::string> Expanded(const std::string& pattern, size_t limit = 1000, ExpandResult* result = nullptr) {
    std::vector<std::string> out;
    const ExpandResult r = ExpandPattern(pattern, limit, out);
    if (result) *result = r;
    return std::set<std::string>(out.begin(), out.end());
}

TEST(Search, PatternsExpandToTheirStrings) {
    // Operators: 1 or, 2 ( , 3 ), 4 [ , 5 ].
    struct {
        const char* pattern;
        std::set<std::string> strings;
    } const cases[] = {
        {"abc", {"abc"}},
        {"\x02" "a\x01" "b\x03", {"a", "b"}},
        {"\x02会\x04合議\x05\x01かい\x03", {"会合", "会議", "かい"}},
        {"x\x02" "1\x01" "2\x03y", {"x1y", "x2y"}},
        {"\x02\x02" "a\x01" "b\x03\x02" "c\x01" "d\x03\x03", {"ac", "ad", "bc", "bd"}},
        {"\x04ソ表a\x05", {"ソ", "表", "a"}}, // trail bytes 0x5C never split a choice
        {"", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.strings, Expanded(c.pattern)) << c.pattern;
    for (const char* bad : {"\x02" "a", "a\x03", "\x04" "ab", "\x04\x05", "a\x05", "\x04\x02\x05"}) {
        ExpandResult r;
        EXPECT_TRUE(Expanded(bad, 1000, &r).empty()) << bad;
        EXPECT_EQ(ExpandResult::kMalformed, r) << bad;
    }
    std::string deep;
    for (int k = 0; k < 100; ++k) deep += "\x02";
    deep += "a";
    for (int k = 0; k < 100; ++k) deep += "\x03";
    ExpandResult r;
    Expanded(deep, 1000, &r);
    EXPECT_EQ(ExpandResult::kMalformed, r);
    EXPECT_EQ(3u, Expanded("\x04" "abcdef\x05", 3, &r).size());
    EXPECT_EQ(ExpandResult::kCut, r);
}

// The matcher against a plain reading of its promise: a string matches at a
// character boundary where the folded characters are the same.
struct Oracle {
    std::vector<std::vector<uint16_t>> strings;
    std::vector<size_t> Starts(const std::string& text) const {
        std::vector<size_t> starts;
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        for (size_t at = 0; at < text.size(); at += FoldAt(p + at, text.size() - at).bytes) starts.push_back(at);
        return starts;
    }
    // Bytes of the longest string at at (0: none).
    size_t LongestAt(const std::string& text, size_t at) const {
        size_t best = 0;
        for (const auto& s : strings) {
            size_t pos = at, k = 0;
            const auto* p = reinterpret_cast<const unsigned char*>(text.data());
            while (k < s.size() && pos < text.size()) {
                const FoldedChar c = FoldAt(p + pos, text.size() - pos);
                if (c.code != s[k]) break;
                pos += c.bytes;
                ++k;
            }
            if (k == s.size() && !s.empty()) best = std::max(best, pos - at);
        }
        return best;
    }
    std::vector<MatchRange> Find(const std::string& text) const {
        std::vector<MatchRange> found;
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        for (size_t at = 0; at < text.size();) {
            const size_t n = LongestAt(text, at);
            if (n) {
                found.push_back({at, at + n});
                at += n;
            } else {
                at += FoldAt(p + at, text.size() - at).bytes;
            }
        }
        return found;
    }
};

TEST(Search, MatcherFindsWhatThePlainReadingFinds) {
    // Characters chosen to trip a byte-wise search: trail bytes that are
    // letters, 0x5C, half-width kana with voicing marks, full-width letters.
    const char* pieces[] = {"a", "A", "b", "\\", "ソ", "表", "ア", "ｱ", "ｶ", "ﾞ", "ｶﾞ", "ガ", "カ", "ａ", "Ｂ",
                            "\x83", "@", "\x81", "会", "議", "か", "い", "ぎ", " "};
    std::mt19937 random(7);
    auto pick = [&](int n) {
        std::string s;
        for (int k = 0; k < n; ++k) s += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        return s;
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> strings;
        for (int k = 0; k < 1 + int(random() % 4); ++k) strings.push_back(pick(1 + random() % 3));
        TextMatcher matcher;
        matcher.Build(strings);
        Oracle oracle;
        for (const auto& s : strings) oracle.strings.push_back(Folded(s));
        const std::string text = pick(random() % 30);
        const auto expected = oracle.Find(text);
        EXPECT_EQ(expected, matcher.Find(text.data(), text.size(), 1000)) << text;
        EXPECT_EQ(!expected.empty(), matcher.Contains(text)) << text;
    }
    // No match begins on a trail byte: "A" is in the bytes of "ア" (0x8341).
    TextMatcher a;
    a.Build({"A", "\\"});
    EXPECT_FALSE(a.Contains(std::string("アソ表")));
    EXPECT_TRUE(a.Contains(std::string("アａ")));
}

TEST(Search, NarrowingHoldsOnlyForStringsThatStartWithOlderOnes) {
    TextMatcher older, longer, other;
    older.Build({"かい", "kai"});
    longer.Build({"かいぎ", "kaigi", "KAI"});
    other.Build({"かいぎ", "議"});
    EXPECT_TRUE(longer.Narrows(older));
    EXPECT_FALSE(other.Narrows(older));
    EXPECT_FALSE(older.Narrows(TextMatcher{}));
}

std::set<std::string> ExpandSet(const QueryExpander& x, const std::string& query) {
    const auto v = x.Expand(query);
    return std::set<std::string>(v.begin(), v.end());
}

bool Has(const std::set<std::string>& s, const std::string& word) { return s.count(word) != 0; }

// The library as it loads itself from the folder of files, to compare with
// the tables the program carries.
struct LibraryFromFiles {
    migemo* object;
    explicit LibraryFromFiles(const char* dictionary) : object(migemo_open(dictionary)) {
        kst_migemo_set_plain_operators(object);
    }
    ~LibraryFromFiles() { migemo_close(object); }
    // The strings the library's pattern stands for, escapes taken out.
    std::set<std::string> Expand(const std::string& query) const {
        unsigned char* p = migemo_query(object, reinterpret_cast<const unsigned char*>(query.c_str()));
        std::string pattern(reinterpret_cast<const char*>(p));
        migemo_release(object, p);
        std::string plain;
        for (size_t k = 0; k < pattern.size(); ++k) {
            if (IsLeadByte(static_cast<unsigned char>(pattern[k])) && k + 1 < pattern.size()) {
                plain += pattern.substr(k++, 2);
                continue;
            }
            if (pattern[k] == '\\' && k + 1 < pattern.size()) ++k;
            plain += pattern[k];
        }
        std::vector<std::string> out;
        ExpandPattern(plain, kMaxQueryStrings, out);
        return std::set<std::string>(out.begin(), out.end());
    }
};

TEST(Search, TheProgramsTablesExpandAsTheLibraryLoadingItsFiles) {
    QueryExpander ours;
    ASSERT_TRUE(ours.Ready());
    ASSERT_EQ(1, ours.LoadDictionary(DictionaryPath()));
    const LibraryFromFiles library(DictionaryPath());
    ASSERT_TRUE(migemo_is_enable(library.object));
    // The operators the library writes are the ones the pattern is read with.
    const struct {
        int index;
        const char* op;
    } operators[] = {{MIGEMO_OPINDEX_OR, kPatternOr},           {MIGEMO_OPINDEX_NEST_IN, kPatternNestIn},
                     {MIGEMO_OPINDEX_NEST_OUT, kPatternNestOut}, {MIGEMO_OPINDEX_SELECT_IN, kPatternSelectIn},
                     {MIGEMO_OPINDEX_SELECT_OUT, kPatternSelectOut}, {MIGEMO_OPINDEX_NEWLINE, ""}};
    for (const auto& o : operators)
        EXPECT_STREQ(o.op, reinterpret_cast<const char*>(migemo_get_operator(library.object, o.index))) << o.index;
    for (const char* query : {"kaigi", "kaig", "toukyou", "katakana", "http", "n", "kan", "kann", "tsu", "xtu",
                              "shi", "kyo", "a", "1.1", "ka-do"})
        EXPECT_EQ(library.Expand(query), ExpandSet(ours, query)) << query;
}

TEST(Search, QueriesExpandIntoKanaAndWords) {
    QueryExpander plain, withWords;
    ASSERT_EQ(1, withWords.LoadDictionary(DictionaryPath()));
    EXPECT_TRUE(withWords.HasDictionary());
    EXPECT_FALSE(plain.HasDictionary());
    struct {
        const char* query;
        std::vector<const char*> kana;  // with or without the dictionary
        std::vector<const char*> words; // only with it
    } const cases[] = {
        {"kaigi", {"kaigi", "かいぎ", "カイギ"}, {"会議", "回議", "懐疑"}},
        {"kaig", {"かいご", "カイゴ", "かいぎ", "カイギ"}, {"会議", "介護"}},
        {"toukyou", {"とうきょう", "トウキョウ"}, {"東京"}},
        {"katakana", {"かたかな", "カタカナ"}, {"片仮名"}},
        {"KaiGi", {"KaiGi", "かいぎ"}, {"会議"}},
    };
    for (const auto& c : cases) {
        const auto a = ExpandSet(plain, c.query), b = ExpandSet(withWords, c.query);
        for (const char* k : c.kana) {
            EXPECT_TRUE(Has(a, k)) << c.query << " " << k;
            EXPECT_TRUE(Has(b, k)) << c.query << " " << k;
        }
        for (const char* w : c.words) {
            EXPECT_FALSE(Has(a, w)) << c.query << " " << w;
            EXPECT_TRUE(Has(b, w)) << c.query << " " << w;
        }
    }
    EXPECT_TRUE(plain.Expand("").empty());
    EXPECT_EQ("/:?", plain.Expand("/:?").front());
}

TEST(Search, DamagedDictionariesAreRefused) {
    std::string sound;
    {
        FILE* f = fopen(DictionaryPath(), "rb");
        ASSERT_TRUE(f);
        char buffer[65536];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) sound.append(buffer, n);
        fclose(f);
    }
    EXPECT_TRUE(IsSoundDictionary(sound.data(), sound.size()));
    const size_t middle = sound.find('\n', sound.size() / 2) - 3; // inside a line
    struct {
        const char* what;
        std::string text;
    } const damaged[] = {
        {"cut in a line", sound.substr(0, middle)},
        {"empty", ""},
        {"a control byte", std::string(sound).replace(middle, 1, "\x01")},
        {"a lead byte without its trail", "かい\tX\x81\n"},
        {"no words", "かいぎ\n"},
        {"an empty reading", "\t会議\n"},
        {"an empty word", "かいぎ\t会議\t\n"},
        {"only comments", ";a\n;b\n"},
        {"UTF-8", "\xE3\x81\x8B\t\xE4\xBC\x9A\n"},
    };
    for (const auto& d : damaged) EXPECT_FALSE(IsSoundDictionary(d.text.data(), d.text.size())) << d.what;
    const char* small = "; c\nかいぎ\t会議\t回議\r\n";
    EXPECT_TRUE(IsSoundDictionary(small, strlen(small)));

    // Refused, the expander goes on without words.
    const std::string path = testing::TempDir() + "kst-damaged-dict";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    fwrite(sound.data(), 1, middle, f);
    fclose(f);
    QueryExpander x;
    EXPECT_EQ(0, x.LoadDictionary(path));
    EXPECT_EQ(0, x.LoadDictionary(path + ".missing"));
    EXPECT_FALSE(x.HasDictionary());
    EXPECT_TRUE(Has(ExpandSet(x, "kaigi"), "かいぎ"));
    remove(path.c_str());
}

std::vector<SearchText> Texts(const std::vector<std::string>& texts) {
    std::vector<SearchText> out;
    for (size_t k = 0; k < texts.size(); ++k)
        out.push_back({int(k), std::make_shared<const std::string>(texts[k]), nullptr});
    return out;
}

TEST(Search, EntriesFoundByRomajiKanaWordsAndWidth) {
    const std::vector<SearchText> texts =
        Texts({"会議の資料", "かいぎ", "カイギ室", "ｈｔｔｐ：／／ｅｘａｍｐｌｅ", "HTTP/1.1", "東京駅"});
    QueryExpander plain, words;
    ASSERT_EQ(1, words.LoadDictionary(DictionaryPath()));
    std::atomic<int> cancel{0};
    struct {
        const char* query;
        std::vector<int> withWords, withoutWords;
    } const cases[] = {
        {"kaigi", {0, 1, 2}, {1, 2}},   {"kaig", {0, 1, 2}, {1, 2}}, {"http", {3, 4}, {3, 4}},
        {"toukyou", {5}, {}},            {"HTTP:/", {3}, {3}},        {"資料", {0}, {0}},
        {"1.1", {4}, {4}},               {"zzz", {}, {}},             {"ｶｲｷﾞ", {2}, {2}},
    };
    for (const auto& c : cases) {
        EntrySearch a(SystemCp932()), b(SystemCp932());
        SearchOutcome withWords, withoutWords;
        ASSERT_TRUE(a.Run(words, c.query, texts, cancel, withWords));
        ASSERT_TRUE(b.Run(plain, c.query, texts, cancel, withoutWords));
        EXPECT_EQ(c.withWords, withWords.entries) << c.query;
        EXPECT_EQ(c.withoutWords, withoutWords.entries) << c.query;
    }
}

TEST(Search, NarrowedSearchesFindWhatWholeOnesFind) {
    std::mt19937 random(3);
    const char* words[] = {"会議", "かいぎ", "カイゴ", "介護", "kaigo", "KAI", "貝", "東京", "とうきょう", "x", " "};
    std::vector<std::string> bodies;
    for (int k = 0; k < 60; ++k) {
        std::string s;
        for (int w = 0; w < 6; ++w) s += words[random() % (sizeof words / sizeof words[0])];
        bodies.push_back(s);
    }
    const auto texts = Texts(bodies);
    QueryExpander x;
    ASSERT_EQ(1, x.LoadDictionary(DictionaryPath()));
    std::atomic<int> cancel{0};
    EntrySearch typing(SystemCp932());
    std::string query;
    for (char c : std::string("kaigo")) {
        query += c;
        SearchOutcome step, whole;
        ASSERT_TRUE(typing.Run(x, query, texts, cancel, step));
        EntrySearch fresh(SystemCp932());
        ASSERT_TRUE(fresh.Run(x, query, texts, cancel, whole));
        EXPECT_EQ(whole.entries, step.entries) << query;
    }
    cancel = 1;
    SearchOutcome untouched;
    EXPECT_FALSE(typing.Run(x, "k", texts, cancel, untouched));
    EXPECT_TRUE(untouched.entries.empty());
}

TEST(Search, ExactTextsAreSearchedAsTheyAre) {
    // The entries' code page 932 texts hold '?' where the copy had Hangul.
    const std::u16string hangul = u"\uAC00\uAC01 ok";
    const std::u16string question = u"why? ok";
    std::vector<SearchText> texts;
    texts.push_back({0, std::make_shared<const std::string>(SystemCp932().ToCp932(hangul)),
                     std::make_shared<const std::u16string>(hangul)});
    texts.push_back({1, std::make_shared<const std::string>("why? ok"), nullptr});
    texts.push_back({2, std::make_shared<const std::string>(SystemCp932().ToCp932(question)),
                     std::make_shared<const std::u16string>(question)});
    QueryExpander x;
    std::atomic<int> cancel{0};
    EntrySearch search(SystemCp932());
    SearchOutcome out;
    ASSERT_TRUE(search.Run(x, "?", texts, cancel, out));
    EXPECT_EQ((std::vector<int>{1, 2}), out.entries);
    ASSERT_TRUE(search.Run(x, "ok", texts, cancel, out));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), out.entries);
}

} // namespace
