// The glyph-by-glyph text routines, drawn into a memory bitmap and read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "reform/wide_carrier.h"
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
        SelectObject(dc_, kst::FontsForDpi(kst::kBaseDpi).ui);
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
    // Whether every pixel is the same as the other canvas's.
    bool SameAs(const Canvas& other) const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) != other.At(x, y)) return false;
        return true;
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
    EXPECT_EQ(1, kst::DrawRowText(canvas.Dc(), kst::DpiScale{}, "\t\r\n", &row, 0));
    EXPECT_EQ(mark, canvas.At(1, 4)) << "the tab mark at x 0";
    EXPECT_EQ(mark, canvas.At(13, 3)) << "the return mark at x 8";
    EXPECT_EQ(0, canvas.Count(mark, 15, 200)) << "one return mark; the line feed draws nothing";
    EXPECT_EQ(0, kst::DrawRowText(canvas.Dc(), kst::DpiScale{}, nullptr, &row, 0));
}

TEST_F(TextDrawing, LongRowIsCutWithAnEllipsis) {
    Canvas canvas;
    const RECT row{0, 0, 60, 16};
    EXPECT_EQ(1, kst::DrawRowText(canvas.Dc(), kst::DpiScale{}, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", &row, 0));
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_GT(canvas.Count(black, 0, 60), 0);
    EXPECT_EQ(0, canvas.Count(black, 90, 200)) << "nothing drawn far past the cut";
}

TEST_F(TextDrawing, WrappedTextWrapsAndMeasuresWhatItDraws) {
    Canvas canvas;
    const char* text = "一行目のテキスト\n二行目";
    const int height = kst::MeasureWrappedText(canvas.Dc(), kst::DpiScale{}, text, 200);
    EXPECT_EQ(22, height) << "two lines";
    const RECT box{0, 0, 200, 60};
    EXPECT_EQ(1, kst::DrawWrappedText(canvas.Dc(), kst::DpiScale{}, text, &box, 0, 0));
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
    EXPECT_EQ(1, kst::DrawWrappedText(canvas.Dc(), kst::DpiScale{}, "title", &band, 1, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), canvas.At(150, 7));
    EXPECT_GT(canvas.Count(RGB(255, 255, 255), 0, 40), 0) << "white text";
}

// A stand-in is drawn as the character it holds, with the wide-character
// functions: the row looks exactly as the text drawn by them directly.
TEST_F(TextDrawing, StandInsAreDrawnAsTheCharactersTheyHold) {
    const kst::StandIns held{u"\uAC00", u"\U0001F600"};
    const std::string text = "a" + kst::StandInBytes(0) + "b" + kst::StandInBytes(1);
    Canvas rows, wrapped, direct;
    const RECT row{0, 0, 200, 16};
    EXPECT_EQ(1, kst::DrawRowText(rows.Dc(), kst::DpiScale{}, text.c_str(), &row, 0, &held));
    const RECT box{0, 0, 200, 60};
    EXPECT_EQ(1, kst::DrawWrappedText(wrapped.Dc(), kst::DpiScale{}, text.c_str(), &box, 0, 0, &held));

    SIZE a{}, b{}, hangul{};
    GetTextExtentPoint32A(direct.Dc(), "a", 1, &a);
    GetTextExtentPoint32W(direct.Dc(), L"\uAC00", 1, &hangul);
    GetTextExtentPoint32A(direct.Dc(), "b", 1, &b);
    TextOutA(direct.Dc(), 0, 0, "a", 1);
    TextOutW(direct.Dc(), a.cx, 0, L"\uAC00", 1);
    TextOutA(direct.Dc(), a.cx + hangul.cx, 0, "b", 1);
    TextOutW(direct.Dc(), a.cx + hangul.cx + b.cx, 0, L"\U0001F600", 2);
    EXPECT_TRUE(rows.SameAs(direct)) << "the row";
    Canvas bytes; // what drawing the stand-ins' own bytes would show
    kst::DrawRowText(bytes.Dc(), kst::DpiScale{}, text.c_str(), &row, 0);
    EXPECT_FALSE(rows.SameAs(bytes)) << "the held characters, not the stand-ins";
    EXPECT_EQ(a.cx + hangul.cx + b.cx + [&] {
        SIZE e{};
        GetTextExtentPoint32W(direct.Dc(), L"\U0001F600", 2, &e);
        return e.cx;
    }(), kst::MeasureTextLine(direct.Dc(), text.c_str(), &held)) << "measured as drawn";
    Canvas shifted; // the wrapped text starts 5 pixels in and 2 down
    TextOutA(shifted.Dc(), 5, 2, "a", 1);
    TextOutW(shifted.Dc(), 5 + a.cx, 2, L"\uAC00", 1);
    TextOutA(shifted.Dc(), 5 + a.cx + hangul.cx, 2, "b", 1);
    TextOutW(shifted.Dc(), 5 + a.cx + hangul.cx + b.cx, 2, L"\U0001F600", 2);
    EXPECT_TRUE(wrapped.SameAs(shifted)) << "the wrapped text";
}

// The row marks (the pin, the kept formats) stay inside their boxes at every
// DPI, in the one colour they are given (a system colour in high contrast),
// and grow with the DPI.
TEST(RowMarks, DrawnInsideTheirBoxesInTheirColourAtEveryDpi) {
    const struct {
        const char* name;
        void (*draw)(HDC, kst::DpiScale, POINT, COLORREF);
        int size;
    } marks[] = {{"pin", kst::DrawPinMark, kst::kPinMarkSize}, {"formats", kst::DrawFormatsMark, kst::kFormatsMarkSize}};
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255)};
    for (const auto& mark : marks) {
        int previous = 0;
        for (int dpi : {96, 120, 144, 192}) {
            for (COLORREF colour : colours) {
                Canvas canvas;
                const kst::DpiScale px{dpi};
                const POINT at{20, 10};
                mark.draw(canvas.Dc(), px, at, colour);
                const int size = px(mark.size);
                int inside = 0, outside = 0, other = 0;
                for (int y = 0; y < Canvas::kHeight; ++y)
                    for (int x = 0; x < Canvas::kWidth; ++x) {
                        const COLORREF c = canvas.At(x, y);
                        if (c == RGB(255, 255, 255)) continue;
                        const bool in = x >= at.x && x <= at.x + size && y >= at.y && y <= at.y + size;
                        (c != colour ? other : in ? inside : outside) += 1;
                    }
                EXPECT_EQ(0, outside) << mark.name << " " << dpi;
                EXPECT_EQ(0, other) << mark.name << " " << dpi << " only its own colour";
                EXPECT_GT(inside, size * 2) << mark.name << " " << dpi;
                if (colour == colours[0]) {
                    EXPECT_GT(inside, previous) << mark.name << " " << dpi;
                    previous = inside;
                }
            }
        }
    }
}

// A picture lands pixel for pixel where it is put; its transparent parts
// show the background through in proportion.
TEST(Pictures, DrawnPixelForPixelTransparencyOverTheBackground) {
    kst::Image image;
    ASSERT_TRUE(kst::AllocateImage(image, 6, 4));
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 6; ++x) {
            uint8_t* p = image.Pixel(x, y);
            p[0] = static_cast<uint8_t>(x * 40), p[1] = static_cast<uint8_t>(y * 60), p[2] = 200, p[3] = 255;
        }
    for (bool translucent : {false, true}) {
        if (translucent) {
            image.hasAlpha = true;
            image.Pixel(1, 1)[3] = 0;
            image.Pixel(2, 1)[3] = 128;
        }
        Canvas canvas;
        kst::DrawImage(canvas.Dc(), image, 30, 12, RGB(0, 0, 0));
        for (uint32_t y = 0; y < 4; ++y)
            for (uint32_t x = 0; x < 6; ++x) {
                const uint8_t* p = image.Pixel(x, y);
                const int a = p[3];
                const COLORREF want = RGB((p[2] * a + 127) / 255, (p[1] * a + 127) / 255, (p[0] * a + 127) / 255);
                EXPECT_EQ(want, canvas.At(30 + x, 12 + y)) << x << "," << y << (translucent ? " translucent" : "");
            }
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(29, 12)) << "nothing beside it";
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(36, 12));
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(30, 16));
    }
}

// A search's match is drawn in the selection's colours, its reverse on a
// selected row, over just the matched characters, at every DPI.
TEST_F(TextDrawing, MarkedSpansFillJustTheirCharacters) {
    const char text[] = "abc会議def";
    const std::vector<kst::TextSpan> marked{{3, 7}};
    for (int dpi : {96, 144, 192}) {
        for (int selected : {0, 1}) {
            Canvas canvas;
            SelectObject(canvas.Dc(), kst::FontsForDpi(dpi).ui);
            const COLORREF ground = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
            const COLORREF fill = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT);
            HBRUSH groundBrush = CreateSolidBrush(ground);
            const RECT all{0, 0, Canvas::kWidth, Canvas::kHeight};
            FillRect(canvas.Dc(), &all, groundBrush);
            DeleteObject(groundBrush);
            SetTextColor(canvas.Dc(), RGB(0, 0, 0));
            SIZE before{}, through{};
            GetTextExtentPoint32A(canvas.Dc(), text, 3, &before);
            GetTextExtentPoint32A(canvas.Dc(), text, 7, &through);
            const RECT row{0, 0, Canvas::kWidth, Canvas::kHeight};
            ASSERT_EQ(1, kst::DrawRowText(canvas.Dc(), kst::DpiScale{dpi}, text, &row, selected, nullptr, &marked));
            const int inside = canvas.Count(fill, before.cx, through.cx);
            EXPECT_GT(inside, (through.cx - before.cx) * before.cy / 3) << dpi << " selected " << selected;
            EXPECT_EQ(0, canvas.Count(fill, 0, before.cx)) << dpi << " selected " << selected;
            EXPECT_EQ(0, canvas.Count(fill, through.cx, Canvas::kWidth)) << dpi << " selected " << selected;
        }
    }
}

} // namespace

