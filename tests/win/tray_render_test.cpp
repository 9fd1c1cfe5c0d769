// The tray's count icon, drawn for real with GDI and read back pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "resources/resource_ids.h"
#include "store/settings_model.h"
#include "ui/shared_gdi.h"
#include "shell/tray_icon.h"

namespace {

struct Pixels {
    std::vector<COLORREF> rgb; // 16 x 16, top row first
    COLORREF At(int x, int y) const { return rgb[y * 16 + x]; }
    int Count(COLORREF color, int fromX = 0) const {
        int n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = fromX; x < 16; ++x) n += At(x, y) == color;
        return n;
    }
};

// Draws the icon over a background colour, as the tray would, and reads it.
Pixels DrawOver(HICON icon, COLORREF background) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    Pixels p;
    for (int i = 0; i < 256; ++i) {
        const DWORD v = static_cast<const DWORD*>(bits)[i];
        p.rgb.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(dib);
    DeleteDC(dc);
    return p;
}

class TrayRender : public ::testing::Test {
  protected:
    void SetUp() override { kst::CreateSharedGdi(GetModuleHandleA(nullptr)); }
    void TearDown() override { kst::DeleteSharedGdi(); }
    HICON Base(int id) {
        return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    }
};

constexpr COLORREF kNavy = RGB(0, 0, 128), kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

TEST_F(TrayRender, DigitsInNavyWithAWhiteOutlineAtTheRightEdge) {
    HICON base = Base(IDI_TRAY_RUNNING);
    ASSERT_NE(nullptr, base);
    HDC screen = GetDC(nullptr);
    for (int count : {0, 7, 200}) {
        HICON icon = kst::RenderCountIcon(screen, base, count);
        ASSERT_NE(nullptr, icon);
        const Pixels p = DrawOver(icon, kMagenta);
        EXPECT_GT(p.Count(kNavy), 3) << count;
        EXPECT_GT(p.Count(kWhite), p.Count(kNavy)) << "the outline surrounds the digits: " << count;
        if (count < 10) {
            EXPECT_EQ(0, p.Count(kNavy) - p.Count(kNavy, 8)) << "right-aligned: " << count;
        }
        DestroyIcon(icon);
    }
    // Three digits reach further left than one.
    HICON one = kst::RenderCountIcon(screen, base, 7), three = kst::RenderCountIcon(screen, base, 200);
    auto leftmostNavy = [](const Pixels& p) {
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y)
                if (p.At(x, y) == kNavy) return x;
        return 16;
    };
    EXPECT_LT(leftmostNavy(DrawOver(three, kMagenta)), leftmostNavy(DrawOver(one, kMagenta)));
    DestroyIcon(one);
    DestroyIcon(three);
    ReleaseDC(nullptr, screen);
    DestroyIcon(base);
}

TEST_F(TrayRender, PausedImageDiffersAndTransparencyIsKept) {
    HDC screen = GetDC(nullptr);
    HICON running = kst::RenderCountIcon(screen, Base(IDI_TRAY_RUNNING), 1);
    HICON paused = kst::RenderCountIcon(screen, Base(IDI_TRAY_PAUSED), 1);
    const Pixels r = DrawOver(running, kMagenta), p = DrawOver(paused, kMagenta);
    EXPECT_NE(r.rgb, p.rgb);
    EXPECT_GT(r.Count(kMagenta), 0) << "the base image's transparent corners stay transparent";
    EXPECT_GT(p.Count(RGB(200, 30, 30)), 0) << "the pause bars";
    DestroyIcon(running);
    DestroyIcon(paused);
    ReleaseDC(nullptr, screen);
}

} // namespace

namespace {
// The shell keeps a copy made from the icon's bitmap bits, as Wine's does.
HICON CopyThroughBitmapBits(HICON icon) {
    ICONINFO info{};
    GetIconInfo(icon, &info);
    BITMAP mask{}, color{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    GetObjectA(info.hbmColor, sizeof color, &color);
    std::vector<BYTE> maskBits(mask.bmWidthBytes * mask.bmHeight), colorBits(color.bmWidthBytes * color.bmHeight);
    GetBitmapBits(info.hbmMask, (LONG)maskBits.size(), maskBits.data());
    GetBitmapBits(info.hbmColor, (LONG)colorBits.size(), colorBits.data());
    HICON copy = CreateIcon(nullptr, color.bmWidth, color.bmHeight, color.bmPlanes, color.bmBitsPixel,
                            maskBits.data(), colorBits.data());
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return copy;
}

TEST_F(TrayRender, ShellCopyKeepsTheDigits) {
    HDC screen = GetDC(nullptr);
    HICON icon = kst::RenderCountIcon(screen, Base(IDI_TRAY_RUNNING), 5);
    HICON copy = CopyThroughBitmapBits(icon);
    const Pixels p = DrawOver(copy, kMagenta);
    EXPECT_GT(p.Count(kNavy), 3);
    EXPECT_GT(p.Count(kMagenta), 0) << "still transparent around the image";
    DestroyIcon(icon);
    DestroyIcon(copy);
    ReleaseDC(nullptr, screen);
}
} // namespace

namespace {
HICON g_createdIcon;
HICON g_base;
LRESULT CALLBACK RenderOnCreate(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CREATE) {
        HDC dc = GetDC(w);
        g_createdIcon = kst::RenderCountIcon(dc, g_base, 0);
        ReleaseDC(w, dc);
    }
    return DefWindowProcA(w, m, wp, lp);
}
TEST_F(TrayRender, RenderedDuringWindowCreation) {
    g_base = Base(IDI_TRAY_RUNNING);
    WNDCLASSA wc{};
    wc.lpfnWndProc = RenderOnCreate;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)5;
    wc.lpszClassName = "KstRenderOnCreate";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "k", WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
    const Pixels p = DrawOver(g_createdIcon, kMagenta);
    EXPECT_GT(p.Count(kNavy), 3);
    DestroyWindow(w);
}
} // namespace
