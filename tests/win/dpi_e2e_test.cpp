// The program on a display scaled to 150 % and 200 %: the popup, its list
// and its balloon are as large as the scale makes them, placed by scaled
// offsets from the caret, their text not cut. Measured from the window
// rectangles and read back from the screen.
#include <gtest/gtest.h>

#include "tests/win/app_fixture.h"
#include "tests/win/balloon_bench.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"

namespace {

using namespace fixture;

class DpiEndToEnd : public AppFixture, public ::testing::WithParamInterface<int> {
  protected:
    static RECT WindowRect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
    // The rows of the band [top, bottom) of the window's client area in
    // which some pixel on the screen differs from the background: where the
    // text's ink is.
    static void InkRows(HWND window, int left, int right, int top, int bottom, COLORREF background, int& first,
                        int& last) {
        first = last = -1;
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        HDC screen = GetDC(nullptr);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (GetPixel(screen, origin.x + x, origin.y + y) != background) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
        ReleaseDC(nullptr, screen);
    }
};

TEST_P(DpiEndToEnd, ThePopupItsRowsAndItsBalloonScaleWithTheDisplay) {
    const int dpi = GetParam();
    const kst::DpiScale px{dpi};
    // Everything started at this DPI, as after the user set the scale.
    bench::DisplayDpi display(static_cast<DWORD>(dpi));
    ASSERT_NO_FATAL_FAILURE(StartEditor());
    StartApp(HistoryOf({"first entry", "second entry"}));
    SetEditorText("caret here");
    const POINT caret = editor_.CaretAt(10);
    bench::Chord({VK_CONTROL}, 'V');
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);

    const RECT r = WindowRect(popup);
    const bool unfolded = SendMessageA(GetDlgItem(popup, kst::kFoldButton), BM_GETCHECK, 0, 0) == BST_CHECKED;
    EXPECT_EQ(px(kst::kPopupWidth), r.right - r.left);
    EXPECT_EQ(px(unfolded ? kst::kExpandedHeight : kst::kFoldedHeight), r.bottom - r.top);
    EXPECT_EQ(caret.x - px(kst::kCaretLeftGap), r.left) << "left of the caret by the scaled 20";
    EXPECT_EQ(caret.y + px(kst::kRowHeight), r.top) << "below the caret line by the scaled 17";

    HWND list = GetDlgItem(popup, kst::kHistoryList);
    const RECT l = WindowRect(list);
    EXPECT_EQ(px(311), l.right - l.left);
    EXPECT_EQ(px(85), l.bottom - l.top);
    const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(px(kst::kRowHeight), rowHeight);

    // The second row (not selected): its text is drawn in the scaled font,
    // whole inside its row.
    int inkTop = -1, inkBottom = -1;
    const bool drawn = bench::PumpUntil([&] {
        InkRows(list, px(31), px(200), rowHeight, 2 * rowHeight, GetSysColor(COLOR_BTNFACE), inkTop, inkBottom);
        return inkTop >= rowHeight;
    }, 3000);
    ASSERT_TRUE(drawn) << "the row's text is on the screen";
    EXPECT_GE(inkBottom - inkTop + 1, px(8)) << "as tall as the scaled font";
    EXPECT_LT(inkBottom, 2 * rowHeight - 1) << "not cut at the row's foot";

    // The selected entry's balloon: as wide and tall as its texts measure
    // in the font of this DPI.
    HWND balloon = WaitForBalloon();
    ASSERT_NE(nullptr, balloon);
    const std::string title = bench::WindowText(balloon);
    const SIZE expected = bench::ExpectedBalloon(title.c_str(), "first entry", dpi);
    ASSERT_TRUE(bench::PumpUntil([&] {
        const RECT b = WindowRect(balloon);
        return b.right - b.left == expected.cx && b.bottom - b.top == expected.cy;
    }, 3000)) << "balloon " << WindowRect(balloon).right - WindowRect(balloon).left << " x "
              << WindowRect(balloon).bottom - WindowRect(balloon).top << ", wanted " << expected.cx << " x "
              << expected.cy;
    EXPECT_GT(expected.cx, kst::kBalloonMinWidth * dpi / kst::kBaseDpi);

    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(WaitForPopupGone());
}

// A picture row at this DPI: its thumbnail as high as the row allows, not
// the size it has at 96 DPI.
TEST_P(DpiEndToEnd, APictureRowsThumbnailIsAsHighAsTheRowAllows) {
    const int dpi = GetParam();
    const kst::DpiScale px{dpi};
    bench::DisplayDpi display(static_cast<DWORD>(dpi));
    ASSERT_NO_FATAL_FAILURE(StartEditor());
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"text"}));
    ASSERT_TRUE(SetClipboardParts({{CF_DIB, DibOf(PatternPicture(320, 200))}}));
    ASSERT_TRUE(WaitForDisk({"text", "[画像 320×200]"}));
    ASSERT_TRUE(bench::SetClipboardText("other"));
    ASSERT_TRUE(WaitForDisk({"text", "[画像 320×200]", "other"}));
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    HWND list = GetDlgItem(popup, kst::kHistoryList);
    const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    int row = -1;
    for (int k = 0; k < 3; ++k)
        if (SendMessageA(list, LB_GETITEMDATA, k, 0) == 1) row = k;
    ASSERT_GE(row, 0);
    // The thumbnail's red half: the rows it covers at the thumbnail's left.
    int first = -1, last = -1;
    ASSERT_TRUE(bench::PumpUntil([&] {
        POINT origin{0, 0};
        ClientToScreen(list, &origin);
        HDC screen = GetDC(nullptr);
        first = last = -1;
        for (int y = row * rowHeight; y < (row + 1) * rowHeight; ++y) {
            const COLORREF c = GetPixel(screen, origin.x + px(31) + 2, origin.y + y);
            if (GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80) {
                if (first < 0) first = y;
                last = y;
            }
        }
        ReleaseDC(nullptr, screen);
        return first >= 0;
    }, 3000)) << "the thumbnail is on the screen";
    // 320 x 200 in a box of the row's height less two (scaled) and 48 wide
    // (scaled): as high as the box, red at its top and its foot.
    const int box = rowHeight - px(2);
    EXPECT_GE(last - first + 1, box - 1) << "rows " << first << " to " << last;
    EXPECT_LE(last - first + 1, box);
    EXPECT_GE(first, row * rowHeight) << "inside its row";
    EXPECT_LT(last, (row + 1) * rowHeight);
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(WaitForPopupGone());
}

INSTANTIATE_TEST_SUITE_P(Scaled, DpiEndToEnd, ::testing::Values(144, 192));

} // namespace
