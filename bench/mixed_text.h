// Text of the kind users copy, for the benchmarks: random characters of
// code page 932 (hiragana, katakana, kanji of the first level), ASCII words,
// and a few sentences of Japanese, English, paths and addresses, each entry
// about three of them. One long line: no line ends.
#pragma once

#include <random>
#include <string>

namespace bench_text {

inline std::string MixedEntryText(std::mt19937& random, size_t bytes) {
    static const char* const sentences[] = {
        "本日の会議の資料をお送りします。", "東京駅の改札で待ち合わせましょう。", "クリップボードの履歴から貼り付けます、",
        "HTTP/1.1 200 OK ", "The quick brown fox jumps over the lazy dog. ", "C:\\Users\\data\\file.txt ",
        "「引用」や（括弧）を含む文章、", "ｈｔｔｐ：／／ｅｘａｍｐｌｅ ", "2026-12-08 10:00 ", "ﾊﾝｶｸｶﾀｶﾅ ",
    };
    static const char* const words[] = {"data ", "value ", "search ", "paste ", "entry ", "list "};
    const unsigned own[3] = {unsigned(random() % 10), unsigned(random() % 10), unsigned(random() % 10)};
    std::string text;
    text.reserve(bytes + 64);
    while (text.size() < bytes) {
        const unsigned kind = random() % 10;
        if (kind < 1) {
            text += sentences[own[random() % 3]];
        } else if (kind < 4) {
            text += static_cast<char>(0x82);
            text += static_cast<char>(0x9F + random() % 83); // hiragana
        } else if (kind < 5) {
            text += static_cast<char>(0x83);
            text += static_cast<char>(0x40 + random() % 63); // katakana
        } else if (kind < 8) {
            text += static_cast<char>(0x89 + random() % 8); // kanji of the first level
            text += static_cast<char>(0x40 + random() % 63);
        } else {
            text += words[random() % 6];
        }
    }
    // Cut on a character boundary.
    size_t end = 0;
    while (end < text.size()) {
        const auto b = static_cast<unsigned char>(text[end]);
        const size_t width = (b >= 0x81 && b <= 0x9F) || b >= 0xE0 ? 2 : 1;
        if (end + width > bytes) break;
        end += width;
    }
    text.resize(end);
    return text;
}

} // namespace bench_text
