// The build stores narrow literals as code page 932: the system's texts must
// reach the Windows API as exactly these bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/app_texts.h"
#include "reform/reform_flags.h"

namespace {

std::vector<unsigned char> Bytes(const char* s) { return {s, s + std::char_traits<char>::length(s)}; }

TEST(Cp932Literals, StoredAsShiftJisBytes) {
    struct {
        const char* text;
        std::vector<unsigned char> bytes;
    } const cases[] = {
        {kst::kAlreadyRunningText,
         {0x6B, 0x65, 0x73, 0x74, 0x72, 0x61, 0x6E, 0x65, 0x82, 0xCD, 0x8A, 0xF9, 0x82, 0xC9,
          0x8B, 0x4E, 0x93, 0xAE, 0x82, 0xB5, 0x82, 0xC4, 0x82, 0xA2, 0x82, 0xDC, 0x82, 0xB7}},
        {"履歴リストに追加しました",
         {0x97, 0x9A, 0x97, 0xF0, 0x83, 0x8A, 0x83, 0x58, 0x83, 0x67, 0x82, 0xC9, 0x92, 0xC7,
          0x89, 0xC1, 0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD}},
        {"～", {0x81, 0x60}},
        {"ｶﾞ", {0xB6, 0xDE}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.bytes, Bytes(c.text));
}

// The reformatter's default sets are byte escapes, the same in every build;
// this build's compiler turns the readable texts into the same bytes.
TEST(Cp932Literals, DefaultLineBreakingSetsAreTheTextsAsCodePage932) {
    EXPECT_STREQ("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ", kst::kDefaultCorrectFront);
    EXPECT_STREQ("（［｛「『([{｢", kst::kDefaultCorrectEnd);
}

} // namespace
