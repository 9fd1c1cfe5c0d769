// The progress window for long conversions, in this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "history/clip_item.h"
#include "notify/progress_window.h"
#include "reform/reform_flags.h"
#include "ui/dpi_win.h"
#include "ui/shared_gdi.h"

namespace {

// Also run on a display scaled to 150 % (the test command sets the DPI
// before this process starts): the sizes are the scaled ones.
TEST(ProgressWindow, ShowsCentredWithoutActivationAndGoesAway) {
    kst::CreateSharedGdi(GetModuleHandleA(nullptr));
    kst::ProgressWindow progress;
    ASSERT_EQ(1, progress.Create(GetModuleHandleA(nullptr)));
    HWND window = progress.Window();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT r{};
    GetWindowRect(window, &r);
    const RECT& w = kst::g_gdi.workArea;
    const kst::DpiScale px{kst::SystemDpi()};
    const int width = px(kst::kProgressWidth), height = px(kst::kProgressHeight);
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ(height, r.bottom - r.top);
    EXPECT_EQ(w.left + (w.right - w.left - width) / 2, r.left);
    EXPECT_EQ(w.top + (w.bottom - w.top - height) / 2, r.top);
    RECT bar{};
    GetWindowRect(FindWindowExA(window, nullptr, "msctls_progress32", nullptr), &bar);
    EXPECT_EQ(px(270), bar.right - bar.left) << "the bar scaled with it";
    EXPECT_EQ(MA_NOACTIVATE, SendMessageA(window, WM_MOUSEACTIVATE, (WPARAM)window, 0));
    EXPECT_EQ(&progress, GetPropA(window, kst::kProgressProperty));
    progress.Init();
    progress.SetStep(40);
    EXPECT_EQ(40, progress.GetStep());
    EXPECT_EQ(40, SendMessageA(FindWindowExA(window, nullptr, "msctls_progress32", nullptr), PBM_GETPOS, 0, 0));
    progress.Destroy();
    EXPECT_FALSE(IsWindow(window));
    kst::DeleteSharedGdi();
}

TEST(ProgressWindow, ALongConversionShowsIt) {
    bool seen = false;
    struct Watching : kst::ProgressWindow {
        bool* seen;
        void SetStep(int position) override {
            *seen = *seen || (Window() && IsWindowVisible(Window()));
            ProgressWindow::SetStep(position);
        }
    };
    auto watching = std::make_unique<Watching>();
    watching->seen = &seen;
    kst::ClipItem item(std::move(watching));
    item.Clear();
    const std::string text(20000, 'a');
    item.SetText(text.data(), (int)text.size());
    item.SetReformFlag(kst::REFORM_TO_UPPER, 60, 4, 0, ">", "", "", GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(seen);
    EXPECT_EQ(std::string(20000, 'A'), item.GetText(1));
}

} // namespace
