// The hotkeys as people press them: modifiers held across several taps,
// auto-repeat, quick taps, restarts, odd settings and a busy clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

// Busy threads beside the program, as on a loaded machine.
class CpuHog {
  public:
    explicit CpuHog(int threads) {
        for (int k = 0; k < threads; ++k) threads_.push_back(CreateThread(nullptr, 0, Spin, const_cast<LONG*>(&stop_), 0, nullptr));
    }
    ~CpuHog() {
        stop_ = 1;
        for (HANDLE t : threads_) {
            WaitForSingleObject(t, INFINITE);
            CloseHandle(t);
        }
    }
    CpuHog(const CpuHog&) = delete;
    CpuHog& operator=(const CpuHog&) = delete;

  private:
    static DWORD WINAPI Spin(LPVOID stop) {
        while (!*static_cast<volatile LONG*>(stop)) {
        }
        return 0;
    }
    std::vector<HANDLE> threads_;
    volatile LONG stop_ = 0;
};

class HandsEndToEnd : public AppFixture {
  protected:
    // Lets the clipboard's quiet period pass so the program knows it.
    void PutOnClipboard(const char* text) {
        ASSERT_TRUE(bench::SetClipboardText(text));
        bench::PumpFor(700);
    }
};

TEST_F(HandsEndToEnd, HeldCtrlAndTwoTapsOnAnEmptyHistoryPasteTwice) {
    StartApp();
    PutOnClipboard("p");
    Ask(kEditorReset);
    bench::SendKeys({{VK_CONTROL, false}});
    for (const char* expected : {"p", "pp"}) {
        bench::SendKeys({{'V', false}, {'V', true}});
        EXPECT_TRUE(WaitForEditorText(expected)) << EditorText();
        bench::PumpFor(300);
    }
    bench::SendKeys({{VK_CONTROL, true}});
    bench::PumpFor(300);
    EXPECT_EQ("pp", EditorText());
}

TEST_F(HandsEndToEnd, HeldCtrlVWithAutoRepeatPastesOnce) {
    StartApp();
    PutOnClipboard("p");
    Ask(kEditorReset);
    bench::SendKeys({{VK_CONTROL, false}, {'V', false}});
    for (int k = 0; k < 30; ++k) { // a second of auto-repeat
        bench::PumpFor(33);
        bench::SendKeys({{'V', false}});
    }
    bench::SendKeys({{'V', true}});
    bench::PumpFor(500);
    bench::SendKeys({{VK_CONTROL, true}});
    bench::PumpFor(300);
    EXPECT_EQ("p", EditorText());
}

TEST_F(HandsEndToEnd, AltHeldAndVTappedThreeTimesPastesThreeEntries) {
    StartApp(HistoryOf({"A", "B", "C"}));
    bench::SendKeys({{VK_MENU, false}});
    for (const char* expected : {"A", "AB", "ABC"}) {
        bench::SendKeys({{'V', false}, {'V', true}});
        EXPECT_TRUE(WaitForEditorText(expected)) << EditorText();
        bench::PumpFor(300);
    }
    bench::SendKeys({{VK_MENU, true}});
    bench::PumpFor(300);
    EXPECT_EQ("ABC", EditorText());
}

TEST_F(HandsEndToEnd, HeldCtrlAndTwoTapsInNotepad) {
    StartApp();
    PutOnClipboard("n");
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    bench::PumpFor(300);
    bench::SendKeys({{VK_CONTROL, false}});
    for (const char* expected : {"n", "nn"}) {
        bench::SendKeys({{'V', false}, {'V', true}});
        EXPECT_TRUE(notepad.WaitForText(expected)) << notepad.Text();
        bench::PumpFor(300);
    }
    bench::SendKeys({{VK_CONTROL, true}});
    bench::PumpFor(300);
    EXPECT_EQ("nn", notepad.Text());
}

// Alt let go a few milliseconds after V went down, before V came up: the
// application must not see a lone Alt press and release (its menu bar).
TEST_F(HandsEndToEnd, AQuickAltVTapInNotepadPastesAndOpensNoMenu) {
    StartApp(HistoryOf({"entry", "next"}));
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    bench::PumpFor(300);
    bench::SendKeys({{VK_MENU, false}, {'V', false}});
    Sleep(5);
    bench::SendKeys({{VK_MENU, true}, {'V', true}});
    notepad.WaitForText("entry");
    bench::PumpFor(300);
    EXPECT_FALSE(notepad.InMenuMode()) << "the menu bar is active";
    EXPECT_EQ("entry", notepad.Text());
    // A lone Alt tap of the user's own still reaches notepad.
    bench::SendKeys({{VK_MENU, false}, {VK_MENU, true}});
    EXPECT_TRUE(bench::PumpUntil([&] { return notepad.InMenuMode(); }, 2000));
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    bench::PumpFor(200);
}

// The program's own Ctrl+V is let through exactly when the hook would take
// it as the popup key, whichever key started the paste.
TEST_F(HandsEndToEnd, OnceThroughFollowsTheChordTheProgramTypes) {
    bench::SetDword(kMain, "AutoPasteKey", 'B');
    StartApp(HistoryOf({"by Alt+B"}));
    bench::Chord({VK_MENU}, 'B');
    EXPECT_TRUE(WaitForEditorText("by Alt+B")) << "our Ctrl+V is not swallowed as the popup key: " << EditorText();
    app_->Close();
    app_.reset();

    bench::SetDword(kMain, "AutoPasteKey", 'V');
    bench::SetDword(kMain, "HistoryKey", 'Q');
    Ask(kEditorReset);
    StartApp(HistoryOf({"x"}));
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("x"));
    bench::PumpFor(300);
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'Q');
    bench::PumpFor(600);
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'Q')) << "no once-through flag was left over";
}

TEST_F(HandsEndToEnd, ARestartAfterAnExitWhilePausedStartsClean) {
    StartApp(HistoryOf({"after restart"}));
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK); // pause
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeStopOnly));
    app_->Close();
    app_.reset();
    StartApp();
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("after restart")) << "the hotkeys act again: " << EditorText();
}

TEST_F(HandsEndToEnd, BadModifierValuesNeverMakeABareKeyAHotkey) {
    bench::SetDword(kMain, "ClearKeyWith", 0);
    bench::SetDword(kMain, "HistoryKeyWith", 0);
    bench::SetDword(kMain, "AutoPasteKeyWith", 7);
    StartApp(HistoryOf({"kept"}));
    SetEditorText("ab");
    SendMessageA(edit_, EM_SETSEL, 2, 2);
    bench::SendKeys({{VK_BACK, false}, {VK_BACK, true}, {'V', false}, {'V', true}});
    EXPECT_TRUE(WaitForEditorText("av")) << "Backspace and V are ordinary keys: " << EditorText();
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("avkept")) << "the simple-paste key took its default, Alt+V";
    EXPECT_EQ((std::vector<std::string>{"kept"}), SavedTexts());
}

TEST_F(HandsEndToEnd, OddLimitsAndTabWidthsAreHeldToBounds) {
    bench::SetDword(kClipText, "nTab", 200000000);
    bench::SetDword(kClipText, "bTABREPLACE", 1);
    bench::SetDword(kClipText, "BUFFERLIMIT", 0);
    StartApp(HistoryOf({"a\tb"}));
    bench::Chord({VK_MENU}, 'V');
    bench::PumpUntil([&] { return EditorText().size() > 2; }, 3000);
    EXPECT_EQ("a" + std::string(31, ' ') + "b", ClipboardText()) << "a tab is at most 32 columns";
    CopyInEditor("one");
    CopyInEditor("two");
    EXPECT_EQ((std::vector<std::string>{"two"}), SavedTexts()) << "a limit below 1 holds one entry";
}

// Another program holds the clipboard open: the simple paste cannot put its
// entry there, so it types nothing, says so, and the next copy still counts.
TEST_F(HandsEndToEnd, AClipboardHeldElsewhereMeansNoPasteAndTheNextCopyCounts) {
    bench::SetDword(kClipText, "bPASTEDELETE", 1); // a paste that counted would remove the entry
    StartApp(HistoryOf({"entry"}));
    SetEditorText("");
    ASSERT_TRUE(OpenClipboard(nullptr));
    bench::Chord({VK_MENU}, 'V');
    const bool said = WaitForBalloon() != nullptr;
    bench::PumpFor(1500);
    CloseClipboard();
    EXPECT_TRUE(said) << "a balloon tells the user";
    EXPECT_EQ("", EditorText()) << "no Ctrl+V typed";
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'V'));
    CopyInEditor("copied after");
    EXPECT_EQ((std::vector<std::string>{"entry", "copied after"}), SavedTexts());
}

// The clear key, which here is also the stop key, in an excluded application:
// it ends there, neither clearing nor pausing.
TEST_F(HandsEndToEnd, TheClearKeyInAnExcludedApplicationEndsThere) {
    std::string path = bench::ExeDirectory() + "testeditor.exe";
    bench::SetDword(kst::kExceptKey, "count", 1);
    bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_SZ, path.c_str(), (DWORD)path.size() + 1);
    bench::SetDword(kMain, "StopKeyWith", 2);
    StartApp(HistoryOf({"still here"}));
    bench::Chord({VK_CONTROL}, VK_BACK);
    bench::PumpFor(800);
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("still here")) << "not paused, not cleared: " << EditorText();
}

// The path text the program itself puts on the clipboard is its own write,
// however late or often its change notices come on a busy machine.
TEST_F(HandsEndToEnd, OwnPathTextIsNeverRecordedAgainUnderLoad) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    bench::SetDword(kMain, "FilePath", 3);
    StartApp();
    CpuHog hog(4);
    ASSERT_TRUE(SetClipboardFiles({"C:\\data\\first.txt", "C:\\data\\second.txt"}));
    bench::PumpFor(2500);
    EXPECT_EQ("C:\\data\\first.txt\r\nC:\\data\\second.txt", ClipboardText());
    EXPECT_EQ((std::vector<std::string>{"C:\\data\\first.txt\r\nC:\\data\\second.txt"}), SavedTexts());
}

int VisibleWithoutOwner(DWORD processId) {
    int count = 0;
    for (HWND window : bench::VisibleWindowsOf(processId)) count += GetWindow(window, GW_OWNER) == nullptr;
    return count;
}

// A window of the program that shows without an owner gets a taskbar button:
// none of them may, the balloon and the popup included.
TEST_F(HandsEndToEnd, NoWindowOfTheProgramWouldGetATaskbarButton) {
    StartApp(HistoryOf({"a", "b"}));
    CopyInEditor("copied");
    ASSERT_NE(nullptr, WaitForBalloon(3000));
    EXPECT_EQ(0, VisibleWithoutOwner(app_->Id())) << "with the balloon showing";
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup(3000));
    EXPECT_EQ(0, VisibleWithoutOwner(app_->Id())) << "with the popup and its balloon showing";
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    bench::PumpFor(300);
}

} // namespace
