// Copies entering the history and the hotkeys acting, with the real program,
// the real clipboard and keys typed into the test editor.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

class CaptureEndToEnd : public AppFixture {};

TEST_F(CaptureEndToEnd, CtrlCRecordsTheTextAndAltVPastesItBack) {
    StartApp();
    CopyInEditor("コピーした文");
    ClearEditor();
    bench::Chord({VK_MENU}, 'V');
    bench::PumpUntil([&] { return EditorText() == "コピーした文"; }, 3000);
    EXPECT_EQ("コピーした文", EditorText());
    bench::PumpFor(1000); // our own paste must not come back as a copy
    EXPECT_EQ((std::vector<std::string>{"コピーした文"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, ABurstOfCopiesIsOneEntryAndTheSameTextTwiceIsTwo) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp();
    for (const char* text : {"one", "two", "three"}) {
        ASSERT_TRUE(bench::SetClipboardText(text));
        bench::PumpFor(30);
    }
    bench::PumpFor(700);
    ASSERT_TRUE(bench::SetClipboardText("same"));
    bench::PumpFor(700);
    ASSERT_TRUE(bench::SetClipboardText("same"));
    bench::PumpFor(700);
    EXPECT_EQ((std::vector<std::string>{"three", "same", "same"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, WithCopyKeysOnlyAnotherProgramsCopyIsNotRecorded) {
    StartApp(); // first-run settings: copy keys only
    ASSERT_TRUE(bench::SetClipboardText("set by a program"));
    bench::PumpFor(700);
    CopyInEditor("typed copy");
    EXPECT_EQ((std::vector<std::string>{"typed copy"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, CopiedFilesBecomeTheirPaths) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    const std::vector<std::string> plain = {"C:\\data\\first.txt", "C:\\data\\second.txt"};
    // Names whose last byte is 0x5C, the separator's byte: 表 and ソ.
    const std::vector<std::string> japanese = {"C:\\data\\予定表.txt", "C:\\data\\ソース.txt"};
    struct {
        DWORD filePath;
        const std::vector<std::string>& files;
        const char* expected;
        bool textOnClipboard;
    } const cases[] = {
        {1, plain, "C:\\data\\first.txt\r\nC:\\data\\second.txt", false},
        {5, plain, "first.txt\r\nsecond.txt", false},
        {3, plain, "C:\\data\\first.txt\r\nC:\\data\\second.txt", true},
        {5, japanese, "予定表.txt\r\nソース.txt", false},
        {7, japanese, "予定表.txt\r\nソース.txt", true},
    };
    for (const auto& c : cases) {
        bench::SetDword(kMain, "FilePath", c.filePath);
        EmptyTheClipboard();
        StartApp();
        ASSERT_TRUE(SetClipboardFiles(c.files));
        bench::PumpFor(1500);
        EXPECT_EQ(c.textOnClipboard, ClipboardText() == c.expected) << c.filePath;
        EXPECT_EQ((std::vector<std::string>{c.expected}), SavedTexts()) << "once, not again: " << c.filePath;
        DeleteFileA(copy_.HistoryFile().c_str());
    }
}

TEST_F(CaptureEndToEnd, ABitmapHandleAloneBecomesAPictureEntry) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"kept"}));
    ASSERT_TRUE(SetClipboardPicture());
    EXPECT_TRUE(WaitForDisk({"kept", "[画像 8×8]"}));
}

TEST_F(CaptureEndToEnd, AltVPastesTheHistoryInDisplayOrder) {
    StartApp(HistoryOf({"A", "B", "C"})); // first run: FIFO, move back
    for (int k = 0; k < 3; ++k) {
        bench::Chord({VK_MENU}, 'V');
        bench::PumpFor(600);
    }
    EXPECT_EQ("ABC", EditorText());
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, AltVWithPasteDeleteEmptiesTheHistory) {
    bench::SetDword(kClipText, "bPASTEDELETE", 1);
    StartApp(HistoryOf({"only"}));
    bench::Chord({VK_MENU}, 'V');
    bench::PumpUntil([&] { return EditorText() == "only"; }, 3000);
    EXPECT_EQ("only", EditorText());
    EXPECT_TRUE(SavedTexts().empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(copy_.HistoryFile().c_str()));
}

TEST_F(CaptureEndToEnd, EmptyHistoryCtrlVPastesOnceAndItsReleaseStaysAway) {
    StartApp();
    ASSERT_TRUE(bench::SetClipboardText("plain"));
    bench::PumpFor(700);
    Ask(kEditorReset);
    // A person holds Ctrl a moment longer than V: Ctrl goes up once the
    // paste has landed (a V typed after Ctrl is let go is an ordinary key).
    bench::SendKeys({{VK_CONTROL, false}, {'V', false}, {'V', true}});
    bench::PumpUntil([&] { return EditorText() == "plain"; }, 3000);
    bench::PumpFor(300);
    bench::SendKeys({{VK_CONTROL, true}});
    bench::PumpFor(500);
    EXPECT_EQ("plain", EditorText());
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'V'));
    EXPECT_EQ(0, Ask(kEditorKeyUps, 'V'));
}

TEST_F(CaptureEndToEnd, OtherPopupKeyOnAnEmptyHistoryDoesNothing) {
    bench::SetDword(kMain, "HistoryKey", 'Q');
    StartApp();
    ASSERT_TRUE(bench::SetClipboardText("plain"));
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'Q');
    bench::PumpFor(800);
    EXPECT_EQ("", EditorText());
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'Q'));
    EXPECT_EQ(0, Ask(kEditorKeyUps, 'Q'));
}

TEST_F(CaptureEndToEnd, NoPopupForOneEntryPastesItDirectly) {
    bench::SetDword(kMain, "NoUseKestrane", 1);
    StartApp(HistoryOf({"direct"}));
    ASSERT_TRUE(bench::SetClipboardText("other"));
    bench::PumpFor(700);
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpUntil([&] { return EditorText() == "direct"; }, 3000);
    EXPECT_EQ("direct", EditorText());
}

TEST_F(CaptureEndToEnd, ClearKeyEmptiesTheHistoryAndTheClipboard) {
    StartApp(HistoryOf({"x", "y"}));
    ASSERT_TRUE(bench::SetClipboardText("on the clipboard"));
    bench::PumpFor(700);
    bench::Chord({VK_CONTROL}, VK_BACK);
    EXPECT_TRUE(bench::PumpUntil([] { return ClipboardText().empty(); }, 3000)) << ClipboardText();
    EXPECT_TRUE(SavedTexts().empty());
}

TEST_F(CaptureEndToEnd, PausedKestraneStaysOutOfTheWayUntilResumed) {
    StartApp(HistoryOf({"entry"}));
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK); // pause
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeStopOnly));
    ASSERT_TRUE(bench::SetClipboardText("paused clip"));
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return EditorText() == "paused clip" && Ask(kEditorKeyUps, 'V') == 1; }, 3000))
        << "Ctrl+V as if Kestrane were not there: " << EditorText();
    CopyInEditor("not recorded");
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK); // resume
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));
    CopyInEditor("recorded");
    EXPECT_EQ((std::vector<std::string>{"entry", "recorded"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, AnExcludedApplicationIsLeftAlone) {
    std::string path = bench::ExeDirectory() + "TESTEDITOR.EXE";
    for (char& c : path)
        if (c >= 'a' && c <= 'z') c -= 0x20; // another case than the module name
    bench::SetDword(kst::kExceptKey, "count", 1);
    bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_SZ, path.c_str(), (DWORD)path.size() + 1);
    StartApp(HistoryOf({"entry"}));
    CopyInEditor("excluded copy");
    bench::Chord({VK_CONTROL}, VK_BACK);
    bench::PumpFor(700);
    ASSERT_TRUE(bench::SetClipboardText("clip"));
    ClearEditor();
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(WaitForEditorText("clip")) << "Ctrl+V reaches it unchanged: " << EditorText();
    EXPECT_EQ((std::vector<std::string>{"entry"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, AnApplicationThatStoppedAnsweringGetsNothingAndAnError) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    bench::SetDword(kst::kExceptKey, "count", 1);
    bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_SZ, "C:\\none.exe", 12);
    StartApp(HistoryOf({"a", "b"}));
    ASSERT_TRUE(editor_.Freeze(3000));
    // A copy while the frozen editor is in front: the program asks the
    // editor which program it is, gets no answer, records nothing.
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench::SetClipboardText("while frozen"));
    EXPECT_NE(nullptr, WaitForBalloon())
        << "the error balloon";
    EXPECT_GE(GetTickCount() - start, 600u) << "a quiet period and half a second of waiting";
    EXPECT_TRUE(editor_.WaitUntilAnswering(5000));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), SavedTexts());
}

TEST_F(CaptureEndToEnd, GeneralCommands) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"a"}));
    PostGeneral(app_->MainWindow(), 4);
    PostGeneral(app_->MainWindow(), 77);
    bench::PumpFor(300);
    ASSERT_TRUE(IsWindow(app_->MainWindow()));
    SetEditorText("copied by command");
    PostGeneral(app_->MainWindow(), 2); // the copy keys, typed into the editor
    EXPECT_TRUE(bench::PumpUntil([] { return ClipboardText() == "copied by command"; }, 3000)) << ClipboardText();
    PostGeneral(app_->MainWindow(), 6); // capture now
    bench::PumpFor(500);
    PostGeneral(app_->MainWindow(), 1); // clear history and clipboard
    EXPECT_TRUE(bench::PumpUntil([] { return ClipboardText().empty(); }, 3000)) << ClipboardText();
    EXPECT_TRUE(SavedTexts().empty());
}

// A big copy: captured whole, converted with the progress window showing,
// put back on the clipboard whole and saved whole.
TEST_F(CaptureEndToEnd, FiftyMegabytesSurviveCaptureConversionPasteAndSave) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    bench::SetDword(kClipText, "MaxEntryKB", 0); // above the default bound on purpose
    bench::SetDword(kClipText, "bUPPER", 1);
    bench::SetDword(kClipText, "toUPPER", 1);
    StartApp();
    std::string big;
    big.reserve(50u << 20);
    const char* line = "kestrane の大きなコピー 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
    while (big.size() < (50u << 20)) big += line;
    ASSERT_TRUE(bench::SetClipboardText(big.c_str()));
    bench::PumpFor(3000);
    // Paste into our own window: the editor need not hold 50 MB.
    HWND own = CreateWindowExA(0, "STATIC", "paste target", WS_POPUP | WS_VISIBLE, 10, 10, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_TRUE(bench::BringToFront(own));
    const DWORD before = GetClipboardSequenceNumber();
    bench::Chord({VK_MENU}, 'V');
    // The converted text is on the clipboard once the progress window has
    // been seen and gone and the clipboard has changed.
    bool progressShown = false;
    EXPECT_TRUE(bench::PumpUntil([&] {
        HWND progress = app_->Find(bench::kProgressClass);
        const bool showing = progress && IsWindowVisible(progress);
        progressShown = progressShown || showing;
        return progressShown && !showing && GetClipboardSequenceNumber() != before;
    }, 15000));
    EXPECT_TRUE(progressShown) << "the progress window during the conversion";
    // Upper case for the single-byte letters only: trail bytes stay.
    std::string upper = big;
    for (size_t i = 0; i < upper.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(upper[i]))) ++i;
        else if (upper[i] >= 'a' && upper[i] <= 'z') upper[i] -= 0x20;
    }
    const std::string pasted = ClipboardText();
    EXPECT_EQ(upper.size(), pasted.size());
    EXPECT_TRUE(upper == pasted) << "the converted text, whole";
    DestroyWindow(own);
    const std::vector<std::string> saved = SavedTexts();
    ASSERT_EQ(1u, saved.size());
    EXPECT_TRUE(saved[0] == big) << "the source text, whole, in the history file";
}

// Another program keeps the clipboard open: the program gives up after its
// retries and stays responsive.
TEST_F(CaptureEndToEnd, AClipboardHeldOpenElsewhereIsGivenUpOn) {
    StartApp(HistoryOf({"entry"}));
    ASSERT_TRUE(OpenClipboard(nullptr));
    bench::Chord({VK_MENU}, 'V'); // simple paste: cannot put the entry on the clipboard
    bench::PumpFor(300);
    const DWORD start = GetTickCount();
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutA(app_->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    const DWORD waited = GetTickCount() - start;
    CloseClipboard();
    EXPECT_TRUE(answered);
    EXPECT_LT(waited, 3000u) << "about a second of retries, no hang";
    EXPECT_EQ((std::vector<std::string>{"entry"}), SavedTexts());
}

// The shared memory for the module question cannot be made (the name is
// taken by an object of another kind): the program refuses, as for an
// application that does not answer.
// The shared memory of the hook's answer taken by another object: the
// system still names the application, so the copy is recorded.
TEST_F(CaptureEndToEnd, WithoutTheSharedMemoryTheSystemStillAnswers) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    bench::SetDword(kst::kExceptKey, "count", 1);
    bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_SZ, "C:\\none.exe", 12);
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, "KESTRANE_PROCESSMODULEFILENAMEMAP");
    ASSERT_NE(nullptr, squatter);
    StartApp();
    ASSERT_TRUE(bench::SetClipboardText("recorded"));
    bench::PumpFor(1000);
    CloseHandle(squatter);
    EXPECT_EQ((std::vector<std::string>{"recorded"}), SavedTexts());
}

// Wine's own notepad, an application nobody here wrote.
TEST_F(CaptureEndToEnd, NotepadCopiesAndPastesThroughKestrane) {
    StartApp();
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    notepad.SetText("メモ帳の文");
    bench::Chord({VK_CONTROL}, 'C');
    bench::PumpFor(800);
    notepad.Clear();
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(notepad.WaitForText("メモ帳の文")) << notepad.Text();
    notepad.Stop();
    EXPECT_EQ((std::vector<std::string>{"メモ帳の文"}), SavedTexts());
}

// A copy made by an X application (xclip) reaches Wine's clipboard and,
// when any copy counts, the history.
TEST_F(CaptureEndToEnd, AnXApplicationsCopyEntersTheHistory) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp();
    bench::WriteFileBytes("Z:\\tmp\\kst-xclip.txt", "copied in X");
    bench::ChildProcess xclip;
    ASSERT_TRUE(xclip.Start("Z:\\usr\\bin\\xclip -selection clipboard -i /tmp/kst-xclip.txt", true));
    bench::PumpUntil([&] { return ClipboardText() == "copied in X"; }, 5000);
    bench::PumpFor(1000);
    DeleteFileA("Z:\\tmp\\kst-xclip.txt");
    EmptyTheClipboard(); // xclip loses the selection and ends
    xclip.WaitExitCode(3000);
    EXPECT_EQ((std::vector<std::string>{"copied in X"}), SavedTexts());
}

// A program renamed and kept in a folder whose names end in the byte 0x5C
// (表, 能, ソ): its history file is clipbuf.dat beside it, nothing else.
TEST_F(CaptureEndToEnd, AProgramUnderAJapaneseNameKeepsItsHistoryBesideIt) {
    bench::AppCopy renamed("kst-能力-ソ表", "予定表.exe");
    bench::WriteFileBytes(renamed.HistoryFile(), HistoryOf({"前から"}));
    bench::App app(renamed);
    ASSERT_TRUE(app.Start());
    ASSERT_NE(nullptr, app.WaitForMainWindow());
    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    bench::PumpFor(300);
    CopyInEditor("新しい");
    EXPECT_EQ(0u, app.Close());
    EXPECT_EQ((std::vector<std::string>{"前から", "新しい"}), TextsIn(renamed.HistoryFile()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((renamed.Folder() + "予定表clipbuf.dat").c_str()));
}

} // namespace
