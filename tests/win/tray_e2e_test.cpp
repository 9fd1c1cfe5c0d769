// The tray icon and its menu, and the balloon, as a user meets them: the
// menu opened from the icon, pause chosen with its key, the icon and the tip
// changing, the balloon coming and going without taking the focus.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/app_bench.h"
#include "tests/win/editor.h"
#include "tests/win/balloon_bench.h"
#include "resources/resource_ids.h"

namespace {

constexpr char kPauseTitle[] = "Kestrane [動作]";
constexpr char kPausedText[] = "履歴管理を一時停止します";
constexpr char kResumedText[] = "履歴管理を再開します";

using bench::App;
using bench::AppCopy;

class TrayEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bench::DeleteVendorKey();
        s_copy = new AppCopy;
        s_app = new App(*s_copy);
        ASSERT_TRUE(s_app->Start());
        ASSERT_NE(nullptr, s_app->WaitForMainWindow());
        s_editor = new bench::Editor;
        ASSERT_TRUE(s_editor->Start());
        s_editorWindow = s_editor->Window();
        kst::CreateSharedGdi(GetModuleHandleA(nullptr));
    }
    static void TearDownTestSuite() {
        kst::DeleteSharedGdi();
        if (s_app) s_app->Close();
        delete s_editor;
        delete s_app;
        delete s_copy;
        bench::DeleteVendorKey();
    }

    static HWND Balloon() { return s_app->Find(bench::kBalloonClass); }

    // Opens the tray menu the way a right click on the icon does.
    static HWND OpenTrayMenu() {
        const UINT trayMessage = RegisterWindowMessageA("KESTRANE_TRAYNOTIFY");
        PostMessageA(s_app->MainWindow(), trayMessage, 1, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        bench::PumpUntil([&] {
            menu = FindWindowA("#32768", nullptr);
            return menu && IsWindowVisible(menu);
        }, 5000);
        return menu;
    }

    // The notification area at the right end of the taskbar, where our one
    // icon is the rightmost.
    static RECT IconArea() {
        RECT r{};
        GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &r);
        r.left = r.right - 20;
        return r;
    }

    // The tray icon as it is on the screen: its pixels of the pause bars.
    static int PauseBarPixelsInTray() {
        const RECT r = IconArea();
        int red = 0;
        HDC screen = GetDC(nullptr);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) red += GetPixel(screen, x, y) == RGB(200, 30, 30);
        ReleaseDC(nullptr, screen);
        return red;
    }

    static void MoveMouseTo(int x, int y) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    }

    // The tip the tray shows when the mouse rests on the icon.
    static std::string TrayTip() {
        const RECT r = IconArea();
        MoveMouseTo(r.left + 9, (r.top + r.bottom) / 2);
        bench::PumpFor(100);
        MoveMouseTo(r.left + 10, (r.top + r.bottom) / 2);
        std::string tip;
        bench::PumpUntil([&] {
            for (HWND t = nullptr; (t = FindWindowExA(nullptr, t, "tooltips_class32", nullptr)) != nullptr;)
                if (IsWindowVisible(t)) tip = bench::WindowText(t);
            return !tip.empty();
        }, 4000);
        MoveMouseTo(300, 300);
        bench::PumpFor(200);
        return tip;
    }

    static bool WaitBalloonOfSize(SIZE size, DWORD timeoutMs) {
        return bench::PumpUntil([&] {
            RECT r{};
            return Balloon() && IsWindowVisible(Balloon()) && GetWindowRect(Balloon(), &r) &&
                   r.right - r.left == size.cx && r.bottom - r.top == size.cy;
        }, timeoutMs);
    }

    static void ChooseWithKey(HWND menuWindow, WORD key) {
        bench::SendKeys({{key, false}, {key, true}});
        bench::PumpUntil([&] { return !IsWindowVisible(menuWindow); }, 5000);
    }

    static bool WaitBalloonVisible(bool visible, DWORD timeoutMs) {
        return bench::PumpUntil([&] { return Balloon() && IsWindowVisible(Balloon()) == visible; }, timeoutMs);
    }

    static AppCopy* s_copy;
    static App* s_app;
    static bench::Editor* s_editor;
    static HWND s_editorWindow;
};

AppCopy* TrayEndToEnd::s_copy;
App* TrayEndToEnd::s_app;
bench::Editor* TrayEndToEnd::s_editor;
HWND TrayEndToEnd::s_editorWindow;


TEST_F(TrayEndToEnd, PauseFromTheMenuShowsTheBalloonWithoutTakingTheFocus) {
    ASSERT_TRUE(bench::BringToFront(s_editorWindow));
    EXPECT_EQ(0, PauseBarPixelsInTray());
    EXPECT_EQ("kestrane : 現在0件 (最大20件)", TrayTip());
    HWND menu = OpenTrayMenu();
    ASSERT_NE(nullptr, menu);
    ChooseWithKey(menu, 'R');

    // The menu took the foreground for itself; give it back to the editor.
    ASSERT_TRUE(bench::BringToFront(s_editorWindow));
    const SIZE expected = bench::ExpectedBalloon(kPauseTitle, kPausedText, kst::kBaseDpi);
    ASSERT_TRUE(WaitBalloonOfSize(expected, 3000)) << "a balloon " << expected.cx << "x" << expected.cy;
    HWND balloon = Balloon();
    bench::PumpFor(300);
    EXPECT_EQ(s_editorWindow, GetForegroundWindow()) << "the balloon never takes the foreground";
    EXPECT_EQ(s_editor->Edit(), s_editor->FocusWindow());
    const LONG exStyle = GetWindowLongA(balloon, GWL_EXSTYLE);
    EXPECT_TRUE((exStyle & WS_EX_TOPMOST) && (exStyle & WS_EX_TOOLWINDOW));
    EXPECT_TRUE(GetWindowLongA(balloon, GWL_STYLE) & WS_DISABLED);

    EXPECT_GT(PauseBarPixelsInTray(), 0) << "the paused image";
    EXPECT_EQ("kestrane : 現在0件 (最大20件) - 停止", TrayTip());

    // Gone after its display time (4 s), which counts from its showing.
    EXPECT_TRUE(WaitBalloonVisible(false, 6000));
}

TEST_F(TrayEndToEnd, ASecondNoticeReplacesTheFirstAndRestartsTheDisplayTime) {
    // Still paused from the test before: resume, then pause again at once.
    HWND menu = OpenTrayMenu();
    ASSERT_NE(nullptr, menu);
    ChooseWithKey(menu, 'R');
    ASSERT_TRUE(WaitBalloonOfSize(bench::ExpectedBalloon(kPauseTitle, kResumedText, kst::kBaseDpi), 3000));
    EXPECT_EQ(0, PauseBarPixelsInTray());
    bench::PumpFor(1500);
    menu = OpenTrayMenu();
    ChooseWithKey(menu, 'R');
    ASSERT_TRUE(WaitBalloonOfSize(bench::ExpectedBalloon(kPauseTitle, kPausedText, kst::kBaseDpi), 3000));
    const DWORD secondShown = GetTickCount();
    EXPECT_TRUE(WaitBalloonVisible(false, 8000));
    EXPECT_GE(GetTickCount() - secondShown, 3500u) << "the display time starts again with the second notice";
    int balloons = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, bench::kBalloonClass, nullptr)) != nullptr;) ++balloons;
    EXPECT_EQ(1, balloons);
    EXPECT_GT(PauseBarPixelsInTray(), 0);
}

} // namespace
