// The keyboard stays the user's: the popup lets go when the user goes
// elsewhere, the program's own Ctrl+V never fires a hotkey, a program that
// cannot take its keys leaves them to the applications, and what was copied
// reaches the disk in time, somewhere that can be written.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win/app_fixture.h"
#include "hook/key_decision.h"

namespace {

using namespace fixture;

class KeyboardEndToEnd : public AppFixture {
  protected:
    static void Type(const char* letters) {
        for (const char* c = letters; *c; ++c) bench::SendKeys({{WORD(*c), false}, {WORD(*c), true}});
    }
    static std::vector<DWORD> StoredToggles() {
        std::vector<DWORD> values;
        for (const kst::Setting* toggle : kst::setting::kConversionOn) {
            DWORD v = 9;
            bench::GetDword(toggle->subkey, toggle->name, v);
            values.push_back(v);
        }
        return values;
    }
    // The sheet's last step puts the taskbar in front: only after it can the
    // editor be brought back for good.
    bool ReturnFromTheSheet() {
        bench::PumpUntil([] { return GetForegroundWindow() == FindWindowA("Shell_TrayWnd", nullptr); }, 3000);
        return bench::BringToFront(editorWindow_);
    }
};

TEST_F(KeyboardEndToEnd, ClickingAnotherApplicationClosesThePopupAndTheTypingArrivesThere) {
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    StartApp(HistoryOf({"A", "B"}));
    const std::vector<DWORD> before = StoredToggles();
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeAllKeys));

    // Notepad beside the editor, clear of the popup, and a click into it.
    SetWindowPos(notepad.Window(), nullptr, 600, 150, 380, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(bench::PumpUntil([&] {
        RECT r;
        return GetWindowRect(notepad.Window(), &r) && r.left == 600 && r.top == 150;
    }, 3000));
    Click(POINT{790, 300});
    ASSERT_TRUE(bench::PumpUntil([&] { return GetForegroundWindow() == notepad.Window(); }, 3000));
    Type("HELLO"); // H, L and E are toggles of the popup: none may reach it
    EXPECT_TRUE(notepad.WaitForText("hello")) << notepad.Text();
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));
    EXPECT_EQ(before, StoredToggles()) << "typing elsewhere changed no conversion";
    EXPECT_EQ("", EditorText()) << "nothing was pasted";
}

TEST_F(KeyboardEndToEnd, TheTargetWindowClosingClosesThePopup) {
    StartApp(HistoryOf({"A", "B"}));
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    PostMessageA(editorWindow_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));
}

// The sheet, the pause and the clear from the tray all close the popup first;
// the key mode follows the program's state, paused included.
TEST_F(KeyboardEndToEnd, TheSheetPauseAndClearCloseThePopupAndTheKeyModeFollows) {
    StartApp(HistoryOf({"A", "B"}));
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    PostGeneral(app_->MainWindow(), 5); // the settings sheet
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeNone)) << "the hotkeys rest while the sheet is open";
    HWND sheet = bench::WaitForVisibleWindowOf("#32770", app_->Id(), 5000);
    ASSERT_NE(nullptr, sheet);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(bench::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));
    ASSERT_TRUE(ReturnFromTheSheet());

    // Paused, a popup opened by command takes the keys, and closing it
    // returns to the stop key only.
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK);
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeStopOnly));
    PostGeneral(app_->MainWindow(), 3);
    ASSERT_NE(nullptr, WaitForPopup());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeAllKeys));
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeStopOnly)) << "still paused";
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK);
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));

    // A clear from the tray while the popup is open: the popup goes, Enter is
    // the editor's again, and the next copy is recorded.
    bench::Chord({VK_CONTROL}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    PostGeneral(app_->MainWindow(), 1);
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForKeyMode(kst::kKeyModeHotkeys));
    Ask(kEditorReset);
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForEditorText("\r\n")) << "Enter reached the editor";
    CopyInEditor("after the clear");
    // On a busy machine the capture can come after the copy's fixed wait.
    EXPECT_TRUE(WaitForDisk({"after the clear"}));
    EXPECT_EQ(std::vector<std::string>{"after the clear"}, SavedTexts());
}

// Simple paste on Ctrl+V, the popup on Alt+V, pasted entries deleted: the
// popup's own Ctrl+V pastes one entry and fires nothing else.
TEST_F(KeyboardEndToEnd, OurOwnCtrlVIsNeverTakenAsTheSimplePasteKey) {
    bench::SetDword(kMain, "HistoryKey", 'V');
    bench::SetDword(kMain, "HistoryKeyWith", 1);
    bench::SetDword(kMain, "AutoPasteKey", 'V');
    bench::SetDword(kMain, "AutoPasteKeyWith", 2);
    bench::SetDword(kClipText, "bPASTEDELETE", 1);
    StartApp(HistoryOf({"one", "two", "three", "four"}));
    bench::Chord({VK_MENU}, 'V');
    ASSERT_NE(nullptr, WaitForPopup());
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForEditorText("one")) << EditorText();
    // The save about a second after the paste: a chain of pastes started by
    // our own Ctrl+V would have taken more entries by then.
    ASSERT_TRUE(bench::PumpUntil([&] { return TextsIn(copy_.HistoryFile()).size() < 4; }, 5000));
    EXPECT_EQ((std::vector<std::string>{"two", "three", "four"}), TextsIn(copy_.HistoryFile()));
    EXPECT_EQ("one", EditorText());
    EXPECT_EQ((std::vector<std::string>{"two", "three", "four"}), SavedTexts());
}

// A viewer after us in the clipboard chain stops answering: our thread never
// waits for it, so the hotkeys work at once and nothing fires late.
TEST_F(KeyboardEndToEnd, AViewerThatStopsAnsweringNeverTakesTheKeyboard) {
    bench::Editor viewer;
    ASSERT_TRUE(viewer.Start("--viewer", "", true));
    StartApp(HistoryOf({"A", "B"}));
    ASSERT_TRUE(viewer.Freeze(4000));
    ASSERT_TRUE(bench::SetClipboardText("a copy the hung viewer is told of"));

    const DWORD start = GetTickCount();
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_NE(nullptr, WaitForPopup());
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(WaitForPopupGone());
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("A", 1500)) << "simple paste while the viewer hangs: " << EditorText();
    EXPECT_LT(GetTickCount() - start, 3500u) << "all of it before the viewer answers again";
    // The viewer answers again, and every key forwarded has been taken:
    // nothing was left queued to fire now.
    viewer.WaitUntilAnswering(10000);
    EXPECT_TRUE(bench::PumpUntil([&] { return block_.Exchange()->forwardsPosted == block_.Exchange()->forwardsTaken; }, 3000));
    EXPECT_EQ("A", EditorText());
    EXPECT_EQ(nullptr, Popup());
}

// A key the program cannot be told of is the application's: a refused post
// (as an elevated program's is) and a program that has stopped taking its
// keys both leave the hotkeys to the application.
TEST_F(KeyboardEndToEnd, KeysThatCannotReachTheProgramReachTheApplication) {
    StartApp(HistoryOf({"A", "B"}));
    const uint32_t forward = block_.Control()->keyboardForwardMsg;
    block_.Control()->keyboardForwardMsg = WM_SETTEXT; // the system refuses to post it
    Ask(kEditorReset);
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return Ask(kEditorKeyDowns, 'V') == 1; }, 3000)) << "refused post";
    block_.Control()->keyboardForwardMsg = forward;

    // Forwards waiting untaken for long: the program looks stuck.
    block_.Exchange()->forwardsPosted = block_.Exchange()->forwardsTaken + 3;
    block_.Exchange()->progressTick = GetTickCount() - 10000;
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return Ask(kEditorKeyDowns, 'V') == 2; }, 3000)) << "stuck program";
    EXPECT_EQ("", EditorText());

    // Once it takes keys again the hotkeys are its own again.
    block_.Exchange()->forwardsPosted = block_.Exchange()->forwardsTaken;
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("A")) << EditorText() << "; Ctrl presses seen: " << Ask(kEditorKeyDowns, VK_CONTROL);
    EXPECT_EQ(3, Ask(kEditorKeyDowns, 'V')) << "the third is the V of our own Ctrl+V";
}

// Copies every 0.6 s: the file follows within about a second of the first,
// never waiting for the copies to stop.
TEST_F(KeyboardEndToEnd, AStreamOfCopiesReachesTheDiskWithinASecondOrSo) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp("");
    DWORD firstCopy = 0, written = 0;
    for (int k = 0; k < 8 && !written; ++k) {
        const std::string text = "copy " + std::to_string(k);
        ASSERT_TRUE(bench::SetClipboardText(text.c_str()));
        if (!firstCopy) firstCopy = GetTickCount();
        bench::PumpUntil([&] { return !TextsIn(copy_.HistoryFile()).empty(); }, 600);
        if (!TextsIn(copy_.HistoryFile()).empty()) written = GetTickCount();
    }
    ASSERT_NE(0u, written) << "never written while the copies came";
    EXPECT_LT(written - firstCopy, 1800u);
}

std::string UserFolderFile() {
    char base[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base);
    return std::string(base) + "\\Kestrane\\clipbuf.dat";
}

// The program's folder cannot take the file (its temporary name is taken by
// a folder): the history goes to the user's folder, is said so once, and is
// there after a restart.
TEST_F(KeyboardEndToEnd, AFolderThatCannotBeWrittenKeepsTheHistoryInTheUsersFolder) {
    const std::string blocker = copy_.HistoryFile() + ".tmp";
    DeleteFileA(UserFolderFile().c_str());
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    StartApp("");
    EXPECT_NE(nullptr, WaitForBalloon(3000)) << "where the history goes is said";
    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    CopyInEditor("kept elsewhere");
    EXPECT_TRUE(bench::PumpUntil([&] { return TextsIn(UserFolderFile()).size() == 1; }, 4000));
    app_->Close();
    app_.reset();
    EXPECT_EQ(std::vector<std::string>{"kept elsewhere"}, TextsIn(UserFolderFile()));

    StartApp("");
    CopyInEditor("and more");
    app_->Close();
    app_.reset();
    EXPECT_EQ((std::vector<std::string>{"kept elsewhere", "and more"}), TextsIn(UserFolderFile()));
    EXPECT_EQ("", bench::ReadFileBytes(copy_.HistoryFile()));
    RemoveDirectoryA(blocker.c_str());
    DeleteFileA(UserFolderFile().c_str());
}

// OK on the sheet applies automatic capture at once, both ways.
TEST_F(KeyboardEndToEnd, TheSheetsCaptureSwitchAppliesAtOnce) {
    StartApp("");
    for (bool on : {false, true}) {
        SCOPED_TRACE(on);
        PostGeneral(app_->MainWindow(), 5);
        HWND sheet = bench::WaitForVisibleWindowOf("#32770", app_->Id(), 5000);
        ASSERT_NE(nullptr, sheet);
        HWND page = nullptr;
        ASSERT_TRUE(bench::PumpUntil([&] {
            return (page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))) != nullptr;
        }, 3000));
        SendDlgItemMessageA(page, IDC_KEYS_AUTO_CAPTURE, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(bench::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
        ASSERT_TRUE(ReturnFromTheSheet());
        CopyInEditor(on ? "recorded" : "not recorded");
        if (!on) EmptyTheClipboard(); // joining the chain again would show it to us
    }
    EXPECT_EQ(std::vector<std::string>{"recorded"}, SavedTexts());
}

// A forward that says it comes from below the program's level (any process
// can post one) does nothing while a window at the program's level is in
// front; under Wine every process runs at one level, the editor too. The
// forward the program's own hooks send afterwards shows that it was handled.
TEST_F(KeyboardEndToEnd, AForwardFromBelowNeverTypesIntoAWindowAtTheProgramsLevel) {
    StartApp(HistoryOf({"secret"}));
    ClearEditor();
    const UINT lower = RegisterWindowMessageA("KESTRANE_KEYBOARD_FORWARD_LOWER");
    constexpr WPARAM kSimplePasteCode = 0x356; // Alt+V
    ASSERT_TRUE(PostMessageA(app_->MainWindow(), lower, kSimplePasteCode, 0x002F0001));
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText("secret")) << EditorText();
    bench::PumpFor(500); // a second paste has no sign but its text: time for it to come
    EXPECT_EQ("secret", EditorText()) << "pasted once, by the real key";
}

// The hooks' control block (whom they forward keys to, and which keys) lies
// in a mapping whose label denies writes from below the program's level; a
// view that may only read still reads it.
TEST_F(KeyboardEndToEnd, TheHooksControlBlockIsLabelledAgainstWritesFromBelow) {
    StartApp();
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), GetSecurityInfo(block_.Mapping(), SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION,
                                                    nullptr, nullptr, nullptr, &sacl, &descriptor));
    ASSERT_NE(nullptr, sacl);
    bool labelled = false;
    for (WORD k = 0; k < sacl->AceCount; ++k) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(sacl, k, &ace));
        const auto* label = static_cast<const SYSTEM_MANDATORY_LABEL_ACE*>(ace);
        if (label->Header.AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) continue;
        const PSID sid = const_cast<DWORD*>(&label->SidStart);
        const DWORD level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
        EXPECT_TRUE(label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP);
        EXPECT_GE(level, DWORD(SECURITY_MANDATORY_MEDIUM_RID)) << "the program's own level";
        labelled = true;
    }
    LocalFree(descriptor);
    EXPECT_TRUE(labelled);

    HANDLE readOnly = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), block_.Mapping(), GetCurrentProcess(), &readOnly, FILE_MAP_READ,
                                FALSE, 0));
    const auto* control = static_cast<const kst::HookControlBlock*>(MapViewOfFile(readOnly, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(app_->MainWindow())), control->mainWindow);
    EXPECT_EQ(nullptr, MapViewOfFile(readOnly, FILE_MAP_WRITE, 0, 0, 0)) << "a read-only handle gets no write view";
    UnmapViewOfFile(control);
    CloseHandle(readOnly);
}

} // namespace
