// The hook library inside real applications: this test plays the main
// program (a window that receives the forwarded keys), starts the test
// editor in its own process and types into it with SendInput.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/bench.h"
#include "tests/win/editor.h"
#include "hook/hook_shared.h"
#include "hook/key_decision.h"
#include "hook/ksthook.h"
#include "tests/apps/testeditor_protocol.h"

namespace {

struct Forwarded {
    WPARAM code;
    LPARAM lParam;
};

UINT g_keyboardForward;
std::vector<Forwarded> g_forwarded;

LRESULT CALLBACK MainStandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_keyboardForward && g_keyboardForward) {
        // Taken, as the program tells the hooks: forwards left untaken would
        // make it look stuck.
        MSG queued;
        NoteKeyForwardTaken(PeekMessageA(&queued, window, message, message, PM_NOREMOVE) ? 0 : 1);
        g_forwarded.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateMainStandIn() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainStandInProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KstHookBenchMain";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "hook bench", WS_POPUP | WS_VISIBLE, 600, 500, 80,
                           40, nullptr, nullptr, wc.hInstance, nullptr);
}

class HookEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_main = CreateMainStandIn();
        ASSERT_NE(nullptr, s_main);
        ASSERT_EQ(1, InitDLLStatus(s_main));
        g_keyboardForward = RegisterWindowMessageA(KST_MSG_KEYBOARD_FORWARD);
        InstallHook();
        s_editor = new bench::Editor;
        ASSERT_TRUE(s_editor->Start());
    }

    static void TearDownTestSuite() {
        UnInstallHook();
        if (s_editor) s_editor->Stop();
        delete s_editor;
        s_editor = nullptr;
        DestroyWindow(s_main);
    }

    void SetUp() override {
        // The first-run keys, as the main program hands them over.
        SetHistoryKeyCode('V', 2);
        SetClearKeyCode(VK_BACK, 2);
        SetStopKeyCode(VK_BACK, 3);
        SetPasteKeyCode('V', 1);
        SetAllKeyMessageSnatch(0);
        ASSERT_TRUE(bench::BringToFront(s_editor->Window()));
        Ask(kEditorReset);
        Settle();
    }

    void TearDown() override {
        SetAllKeyMessageSnatch(0);
        SetPopupKeyThread(0, nullptr);
    }

    static LRESULT Ask(EditorQuery question, LPARAM lParam = 0) { return s_editor->Ask(question, lParam); }

    // Lets the editor take its input and the hook's posts arrive, then
    // starts the record afresh.
    static void Settle() {
        bench::PumpFor(300);
        g_forwarded.clear();
    }

    static std::vector<WPARAM> ForwardedCodes() {
        std::vector<WPARAM> codes;
        for (const Forwarded& f : g_forwarded) codes.push_back(f.code);
        return codes;
    }

    static std::string EditorText() { return s_editor->Text(); }

    static HWND s_main;
    static bench::Editor* s_editor;
};

HWND HookEndToEnd::s_main;
bench::Editor* HookEndToEnd::s_editor;

constexpr WPARAM kPopupCode = 0x256;

TEST_F(HookEndToEnd, PopupKeyIsSwallowedAndReported) {
    ASSERT_TRUE(bench::SetClipboardText("paste"));
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(400);
    // Press and release are both taken: the editor sees neither.
    EXPECT_EQ((std::vector<WPARAM>{kPopupCode, kPopupCode}), ForwardedCodes());
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'V'));
    EXPECT_EQ(0, Ask(kEditorKeyUps, 'V'));
    EXPECT_EQ("", EditorText());
}

// The key the program types after its own keystrokes comes back from inside
// the application, in every mode, and never reaches it.
TEST_F(HookEndToEnd, TheKeyAfterOurOwnKeystrokesIsReportedAndTaken) {
    for (int mode : {0, 1, 3}) {
        SetAllKeyMessageSnatch(mode);
        Settle();
        bench::SendKeys({{static_cast<WORD>(kst::kOwnKeysDoneVk), false}, {static_cast<WORD>(kst::kOwnKeysDoneVk), true}});
        bench::PumpFor(300);
        EXPECT_EQ(std::vector<WPARAM>{kst::kOwnKeysDoneCode}, ForwardedCodes()) << "mode " << mode;
        EXPECT_EQ(0, Ask(kEditorAnyKeys)) << "mode " << mode;
    }
}

TEST_F(HookEndToEnd, OnceThroughLetsExactlyOnePressReachTheEditor) {
    ASSERT_TRUE(bench::SetClipboardText("once"));
    // A mark for another thread (a paste into an application no hook saw)
    // lets nothing through here.
    SetOnceThroughPaste(GetCurrentThreadId());
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(bench::PumpUntil([] { return ForwardedCodes() == std::vector<WPARAM>{kPopupCode, kPopupCode}; }, 3000))
        << "press and release taken";
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'V')) << "taken: the mark is another thread's";
    Settle();
    SetOnceThroughPaste(GetWindowThreadProcessId(s_editor->Window(), nullptr));
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(400);
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'V'));
    EXPECT_EQ(0, Ask(kEditorKeyUps, 'V'));
    EXPECT_EQ("once", EditorText());
    ASSERT_EQ(1u, g_forwarded.size());
    EXPECT_EQ(kPopupCode, g_forwarded[0].code);
    EXPECT_NE(0u, (DWORD)g_forwarded[0].lParam & 0x80000000u) << "the release is reported";

    // The flag was used up: the next Ctrl+V is taken again.
    Settle();
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(400);
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'V'));
    EXPECT_EQ("once", EditorText());
}

TEST_F(HookEndToEnd, HeldClearKeyIsReportedOnceAndRepeatsPass) {
    bench::SendKeys({{VK_CONTROL, false}, {VK_BACK, false}, {VK_BACK, false}, {VK_BACK, false},
                     {VK_BACK, true}, {VK_CONTROL, true}});
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{0x208}), ForwardedCodes());
    EXPECT_EQ(2, Ask(kEditorKeyDowns, VK_BACK)) << "the two auto-repeats reach the editor";
    EXPECT_EQ(1, Ask(kEditorKeyUps, VK_BACK));
}

TEST_F(HookEndToEnd, CopyKeysReachTheEditorAndAreReported) {
    bench::Chord({VK_CONTROL}, 'C');
    bench::Chord({VK_CONTROL}, 'X');
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{0x243, 0x258}), ForwardedCodes());
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'C'));
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'X'));

    Settle();
    bench::Chord({VK_CONTROL, VK_MENU}, 'C');
    bench::PumpFor(400);
    EXPECT_TRUE(g_forwarded.empty()) << "Ctrl+Alt+C is no copy";
    EXPECT_EQ(2, Ask(kEditorKeyDowns, 'C'));
}

TEST_F(HookEndToEnd, ShiftCtrlVMatchesCtrlV) {
    bench::Chord({VK_SHIFT, VK_CONTROL}, 'V');
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{kPopupCode, kPopupCode}), ForwardedCodes());
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'V'));
}

TEST_F(HookEndToEnd, StopOnlyModeTakesOnlyTheStopKey) {
    ASSERT_TRUE(bench::SetClipboardText("paused"));
    SetAllKeyMessageSnatch(3);
    bench::Chord({VK_CONTROL}, 'V');
    bench::Chord({VK_CONTROL}, 'C');
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK);
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{0x308}), ForwardedCodes());
    EXPECT_EQ("paused", EditorText());
    EXPECT_EQ(0, Ask(kEditorKeyDowns, VK_BACK));
}

TEST_F(HookEndToEnd, AllKeysModeForwardsEveryTransitionAndTheEditorGetsNothing) {
    // The popup's keys are those typed in its application: another's pass.
    SetPopupKeyThread(GetCurrentThreadId(), nullptr);
    SetAllKeyMessageSnatch(1);
    bench::SendKeys({{'B', false}, {'B', true}});
    EXPECT_TRUE(bench::PumpUntil([] { return Ask(kEditorKeyUps, 'B') == 1; }, 3000)) << "not the popup's thread";
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'B'));
    EXPECT_TRUE(g_forwarded.empty());
    Ask(kEditorReset);

    SetPopupKeyThread(GetWindowThreadProcessId(s_editor->Window(), nullptr), nullptr);
    bench::SendKeys({{'A', false}, {'A', true}, {VK_DOWN, false}, {VK_DOWN, true}});
    bench::PumpFor(400);
    ASSERT_EQ(4u, g_forwarded.size());
    const WPARAM codes[] = {'A', 'A', VK_DOWN, VK_DOWN};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(codes[i], g_forwarded[i].code) << i;
        EXPECT_EQ(i % 2 == 1, ((DWORD)g_forwarded[i].lParam & 0x80000000u) != 0) << i;
    }
    EXPECT_EQ(0, Ask(kEditorAnyKeys));
    EXPECT_EQ("", EditorText());
}

TEST_F(HookEndToEnd, NoneModeTakesNothing) {
    ASSERT_TRUE(bench::SetClipboardText("free"));
    SetAllKeyMessageSnatch(2);
    bench::Chord({VK_CONTROL}, 'V');
    bench::Chord({VK_CONTROL}, 'C');
    bench::PumpFor(400);
    EXPECT_TRUE(g_forwarded.empty());
    EXPECT_EQ("free", EditorText());
}

TEST_F(HookEndToEnd, HookInTheEditorReadsKeysWrittenHere) {
    SetHistoryKeyCode('Q', 2);
    ASSERT_TRUE(bench::SetClipboardText("v"));
    bench::Chord({VK_CONTROL}, 'Q');
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{0x251, 0x251}), ForwardedCodes());
    EXPECT_EQ("v", EditorText()) << "Ctrl+V is an ordinary key now";
}

TEST_F(HookEndToEnd, CaretQueryAnswersFromInsideTheEditor) {
    SetWindowTextA(s_editor->Edit(), "");
    bench::SendKeys({{'K', false}, {'K', true}, {'S', false}, {'S', true}});
    bench::PumpFor(300);
    const LRESULT own = Ask(kEditorCaret);
    ASSERT_NE(-1, own);
    EXPECT_EQ((UINT32)own, GetForegroundProcessCaretPos());
}

TEST_F(HookEndToEnd, CaretQueryTimesOutWhenOurOwnWindowIsInFront) {
    ASSERT_TRUE(bench::BringToFront(s_main));
    const DWORD start = GetTickCount();
    EXPECT_EQ(0u, GetForegroundProcessCaretPos());
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 180u);
    EXPECT_LT(elapsed, 5000u);
}

class ModuleNameMap {
  public:
    ModuleNameMap() {
        map_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512,
                                  KST_MAP_MODULE_FILE_NAME);
        view_ = map_ ? static_cast<char*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
        if (view_) view_[0] = '\0';
    }
    ~ModuleNameMap() {
        if (view_) UnmapViewOfFile(view_);
        if (map_) CloseHandle(map_);
    }
    std::string Text() const { return view_ ? std::string(view_, strnlen(view_, 512)) : ""; }

  private:
    HANDLE map_ = nullptr;
    char* view_ = nullptr;
};

// The system runs the hook for an application of the other bitness in the
// main program's own thread. This process plays the main program: its
// thread's key state shows Ctrl up while the hands (injected input, the
// asynchronous state) hold it down, and the popup key must still match.
TEST_F(HookEndToEnd, InTheMainProcessTheHookReadsTheAsynchronousKeyState) {
    bench::SendKeys({{VK_CONTROL, false}});
    const bool held = bench::PumpUntil([] { return GetAsyncKeyState(VK_CONTROL) < 0; }, 2000);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_RCONTROL] = 0;
    SetKeyboardState(state);
    const bool threadSeesCtrl = GetKeyState(VK_CONTROL) < 0;
    const LRESULT pressTaken = KeyboardProc(HC_ACTION, 'V', 0x002F0001);
    const LRESULT releaseTaken = KeyboardProc(HC_ACTION, 'V', 0xC02F0001);
    bench::SendKeys({{VK_CONTROL, true}});
    ASSERT_TRUE(held);
    ASSERT_FALSE(threadSeesCtrl) << "this thread's own state must show Ctrl up";
    EXPECT_EQ(1, pressTaken);
    EXPECT_EQ(1, releaseTaken);
    bench::PumpFor(300);
    EXPECT_EQ((std::vector<WPARAM>{kPopupCode, kPopupCode}), ForwardedCodes());
    EXPECT_EQ(0, Ask(kEditorKeyDowns, 'V'));
}

TEST_F(HookEndToEnd, ModuleQueryWritesTheEditorsExecutablePath) {
    ModuleNameMap map;
    EXPECT_EQ(1, GetForegroundProcessModuleFileName(s_editor->Window()));
    const std::string expected = bench::ExeDirectory() + "testeditor.exe";
    EXPECT_EQ(0, lstrcmpiA(expected.c_str(), map.Text().c_str())) << map.Text();
}

TEST_F(HookEndToEnd, ModuleQueryTimesOutForAnApplicationThatStoppedPumping) {
    ModuleNameMap map;
    ASSERT_TRUE(s_editor->Freeze(2000));
    const DWORD start = GetTickCount();
    EXPECT_EQ(0, GetForegroundProcessModuleFileName(s_editor->Window()));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 480u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ("", map.Text());
    EXPECT_TRUE(s_editor->WaitUntilAnswering(5000)); // awake for the next test
}

// Wine's own notepad: a real application that nobody here wrote.
class HookInNotepad : public HookEndToEnd {};

TEST_F(HookInNotepad, PopupKeyTakenCopyReportedAndQueriesAnswered) {
    bench::Editor notepad;
    ASSERT_TRUE(notepad.StartNotepad());
    ASSERT_TRUE(bench::SetClipboardText("notepad"));
    Settle();
    bench::Chord({VK_CONTROL}, 'V');
    bench::Chord({VK_CONTROL}, 'C');
    bench::PumpFor(400);
    EXPECT_EQ((std::vector<WPARAM>{kPopupCode, kPopupCode, 0x243}), ForwardedCodes());
    EXPECT_EQ("", notepad.Text());

    SetOnceThroughPaste(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    bench::Chord({VK_CONTROL}, 'V');
    bench::PumpFor(400);
    EXPECT_EQ("notepad", notepad.Text());

    EXPECT_NE(0u, GetForegroundProcessCaretPos());
    ModuleNameMap map;
    EXPECT_EQ(1, GetForegroundProcessModuleFileName(notepad.Window()));
    const std::string name = map.Text();
    ASSERT_GE(name.size(), 11u);
    EXPECT_EQ(0, lstrcmpiA("notepad.exe", name.c_str() + name.size() - 11)) << name;
}

} // namespace
