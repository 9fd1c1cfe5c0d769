// Text that code page 932 cannot hold, copied in Unicode programs and pasted
// back: exactly, through the simple paste and the popup, with conversions
// around it, and after a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

const std::u16string kMixed = u"caf\u00E9 \U0001F600 \u301C \u2212 \uAC00 \u9AD9";
const std::u16string kLine = u"\u65E5\u672C\u8A9E\u3068\U0001F600\u3068\u301C\u306E\u884C"; // 日本語と😀と〜の行

// For failure messages: the text as UTF-8.
std::string Utf8(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

class UnicodeEndToEnd : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartEditor("--unicode"));
    }
    void Tap(WORD vk) { bench::SendKeys({{vk, false}, {vk, true}}); }
    // The popup gone and our own keys let go before the next key.
    void Settle() {
        WaitForPopupGone();
        bench::PumpFor(400);
    }
    bool PasteWithAltV(const std::u16string& expected) {
        ClearEditor();
        bench::Chord({VK_MENU}, 'V');
        return editor_.WaitForWideText(expected);
    }
};

TEST_F(UnicodeEndToEnd, ACopyComesBackExactlyByAltVThePopupAndAfterARestart) {
    StartApp();
    CopyInEditor(kMixed);
    EXPECT_TRUE(PasteWithAltV(kMixed)) << "simple paste: " << Utf8(editor_.WideText());
    Settle();
    ClearEditor();
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    Tap(VK_RETURN);
    EXPECT_TRUE(editor_.WaitForWideText(kMixed)) << "through the popup: " << Utf8(editor_.WideText());
    Settle();
    CopyInEditor(kLine);
    app_->Close();
    app_.reset();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((copy_.HistoryFile() + ".utf16").c_str()))
        << "the Unicode texts beside the history file";

    // After a restart: the two entries, each exactly, in the popup's rows.
    StartApp();
    std::vector<std::u16string> pasted;
    for (WORD down : {0, 1}) {
        ClearEditor();
        bench::Chord({VK_CONTROL}, 'V');
        ASSERT_NE(nullptr, WaitForPopup());
        if (down) Tap(VK_DOWN);
        Tap(VK_RETURN);
        EXPECT_TRUE(bench::PumpUntil([&] { return !editor_.WideText().empty(); }, 3000));
        pasted.push_back(editor_.WideText());
        Settle();
    }
    std::sort(pasted.begin(), pasted.end());
    std::vector<std::u16string> expected{kMixed, kLine};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, pasted) << Utf8(pasted[0]) << " / " << Utf8(pasted[1]);
}

// Each popup starts with the conversions off (they are not kept), and each
// applies to the code page 932 part as always, with the rest in place and
// counted as two columns.
TEST_F(UnicodeEndToEnd, ConversionsWorkAroundWhatCodePage932Lacks) {
    bench::SetDword(kClipText, "ColumnWidth", 8);
    bench::SetDword(kClipText, "bSAVE", 0);
    StartApp();
    CopyInEditor(u"\uFF21\uFF22\U0001F600\uFF23\uFF24\u301C\uFF25\uFF26"); // ＡＢ😀ＣＤ〜ＥＦ
    const struct {
        WORD key;
        std::u16string expected;
    } rounds[] = {
        {'H', u"AB\U0001F600CD\u301CEF"},                                   // width
        {'R', u"\uFF21\uFF22\U0001F600\r\n\uFF23\uFF24\u301C\r\n\uFF25\uFF26"}, // wrap at 8, as for ＡＢＣ
        {'Q', u">\uFF21\uFF22\U0001F600\uFF23\uFF24\u301C\uFF25\uFF26"},     // quotation
    };
    for (const auto& r : rounds) {
        ClearEditor();
        bench::Chord({VK_CONTROL}, 'V');
        ASSERT_NE(nullptr, WaitForPopup());
        Tap(r.key);
        Tap(VK_RETURN);
        EXPECT_TRUE(editor_.WaitForWideText(r.expected)) << char(r.key) << ": " << Utf8(editor_.WideText());
        Settle();
    }
}

// A history file put back from before while the program was not running:
// no entry gets a Unicode text that is not its own.
TEST_F(UnicodeEndToEnd, AHistoryFileReplacedWhileNotRunningGetsNoWrongText) {
    StartApp();
    CopyInEditor(u"\u2212 one");
    app_->Close();
    app_.reset();
    bench::WriteFileBytes(copy_.HistoryFile(), HistoryOf({"- two"}));
    StartApp();
    EXPECT_TRUE(PasteWithAltV(u"- two"));
}

// An older history file beside a newer companion (a backup put back, or a
// save cut short between the two files): its entries have the same code page
// 932 forms as the newer ones ("??" for any emoji), and still none of them
// gets another entry's text.
TEST_F(UnicodeEndToEnd, AnOlderHistoryFileBesideANewerCompanionPastesItsOwnTexts) {
    bench::SetDword(kClipText, "BUFFERLIMIT", 3);
    StartApp();
    for (const char16_t* emoji : {u"\U0001F600", u"\U0001F601", u"\U0001F600"}) CopyInEditor(emoji);
    app_->Close();
    app_.reset();
    const std::string older = bench::ReadFileBytes(copy_.HistoryFile());
    ASSERT_FALSE(older.empty());
    StartApp();
    CopyInEditor(u"abc"); // the oldest goes
    app_->Close();
    app_.reset();
    bench::WriteFileBytes(copy_.HistoryFile(), older);

    StartApp();
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(PasteWithAltV(u"??")) << "entry " << k << ": " << Utf8(editor_.WideText());
        Settle();
    }
}

// The history file holds code page 932 whatever the ANSI code page (the
// test suite also runs under an English locale, code page 1252).
TEST_F(UnicodeEndToEnd, TheHistoryFileHoldsCodePage932WhateverTheAnsiCodePage) {
    StartApp();
    CopyInEditor(u"\u65E5\u672C\u8A9E\u30C6\u30AD\u30B9\u30C8"); // 日本語テキスト
    CopyInEditor(kMixed);
    const std::vector<std::string> saved = SavedTexts();
    ASSERT_EQ(2u, saved.size());
    EXPECT_EQ("\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x4C\x83\x58\x83\x67", saved[0]) << "ANSI code page " << GetACP();
    EXPECT_EQ(0u, saved[1].find("caf")) << "the code page 932 form of the rest";
}

TEST_F(UnicodeEndToEnd, NotepadCopiesAndGetsBackExactly) {
    StartApp();
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    notepad.SetWideText(kMixed);
    CopyWithCtrlC();
    notepad.Clear();
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(notepad.WaitForWideText(kMixed));
}

} // namespace
