// The glyph-by-glyph text routines, drawn into a memory bitmap and read back.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/shared_gdi.h"

namespace {

// A white 200 x 60 canvas in a memory device context.
class Canvas {
  public:
    Canvas() {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, kWidth, kHeight};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc_, TRANSPARENT);
        SelectObject(dc_, kst::g_gdi.uiFont);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const DWORD v = bits_[y * kWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int Count(COLORREF color, int fromX, int toX) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = fromX; x < toX; ++x) n += At(x, y) == color;
        return n;
    }
    static constexpr int kWidth = 200, kHeight = 60;

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

class TextDrawing : public ::testing::Test {
  protected:
    void SetUp() override { kst::CreateSharedGdi(GetModuleHandleA(nullptr)); }
    void TearDown() override { kst::DeleteSharedGdi(); }
};

TEST_F(TextDrawing, RowShowsTabAndReturnMarksAndNothingForLineFeed) {
    Canvas canvas;
    const RECT row{0, 0, 200, 16};
    const COLORREF mark = GetSysColor(COLOR_HIGHLIGHT); // not selected
    EXPECT_EQ(1, kst::DrawRowText(canvas.Dc(), "\t\r\n", &row, 0));
    EXPECT_EQ(mark, canvas.At(1, 4)) << "the tab mark at x 0";
    EXPECT_EQ(mark, canvas.At(13, 3)) << "the return mark at x 8";
    EXPECT_EQ(0, canvas.Count(mark, 15, 200)) << "one return mark; the line feed draws nothing";
    EXPECT_EQ(0, kst::DrawRowText(canvas.Dc(), nullptr, &row, 0));
}

TEST_F(TextDrawing, LongRowIsCutWithAnEllipsis) {
    Canvas canvas;
    const RECT row{0, 0, 60, 16};
    EXPECT_EQ(1, kst::DrawRowText(canvas.Dc(), "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", &row, 0));
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_GT(canvas.Count(black, 0, 60), 0);
    EXPECT_EQ(0, canvas.Count(black, 90, 200)) << "nothing drawn far past the cut";
}

TEST_F(TextDrawing, WrappedTextWrapsAndMeasuresWhatItDraws) {
    Canvas canvas;
    const char* text = "一行目のテキスト\n二行目";
    const int height = kst::MeasureWrappedText(canvas.Dc(), text, 200);
    EXPECT_EQ(22, height) << "two lines";
    const RECT box{0, 0, 200, 60};
    EXPECT_EQ(1, kst::DrawWrappedText(canvas.Dc(), text, &box, 0, 0));
    auto inkInRows = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 200; ++x) n += canvas.At(x, y) != RGB(255, 255, 255);
        return n;
    };
    EXPECT_GT(inkInRows(2, 16), 0) << "the first line";
    EXPECT_GT(inkInRows(16, 30), 0) << "the second line, 14 pixels lower";
    EXPECT_EQ(0, inkInRows(32, 60));
}

TEST_F(TextDrawing, SelectedWrappedTextFillsWithTheHighlight) {
    Canvas canvas;
    const RECT band{0, 0, 200, 15};
    EXPECT_EQ(1, kst::DrawWrappedText(canvas.Dc(), "title", &band, 1, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), canvas.At(150, 7));
    EXPECT_GT(canvas.Count(RGB(255, 255, 255), 0, 40), 0) << "white text";
}

} // namespace
