#include "ui/shared_gdi.h"

#include <cstring>
#include <new>
#include <vector>

#include "reform/wide_carrier.h"
#include "ui/text_measure.h"

namespace kst {

SharedGdi g_gdi;

namespace {

HFONT CreateUiFont(int height, BYTE charset, const char* face) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

const std::u16string* HeldBy(const char* ch, int length, const StandIns* standIns) {
    if (!standIns || length != 2) return nullptr;
    const int index = StandInIndex(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]));
    return index >= 0 && static_cast<size_t>(index) < standIns->size() ? &(*standIns)[static_cast<size_t>(index)]
                                                                       : nullptr;
}

LPCWSTR Wide(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

int GlyphWidth(HDC dc, const char* ch, int length, const StandIns* standIns = nullptr) {
    SIZE size{};
    if (const std::u16string* held = HeldBy(ch, length, standIns))
        GetTextExtentPoint32W(dc, Wide(*held), static_cast<int>(held->size()), &size);
    else
        GetTextExtentPoint32A(dc, ch, length, &size);
    return size.cx;
}

void DrawGlyph(HDC dc, int x, int y, const char* ch, int length, const StandIns* standIns) {
    if (const std::u16string* held = HeldBy(ch, length, standIns))
        TextOutW(dc, x, y, Wide(*held), static_cast<int>(held->size()));
    else
        TextOutA(dc, x, y, ch, length);
}

void DrawTabMark(HDC dc, DpiScale px, int x, int y) {
    const POINT mark[] = {{x + px(1), y + px(4)}, {x + px(2), y + px(5)}, {x, y + px(7)}};
    Polyline(dc, mark, 3);
}

void DrawReturnMark(HDC dc, DpiScale px, int x, int y) {
    const POINT mark[] = {{x + px(3), y + px(5)}, {x + px(1), y + px(7)}, {x + px(3), y + px(9)},
                          {x + px(1), y + px(7)}, {x + px(5), y + px(7)}, {x + px(5), y + px(1)}};
    Polyline(dc, mark, 6);
}

} // namespace

void DrawLine(HDC dc, HPEN pen, int x1, int y1, int x2, int y2) {
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
}

namespace {
// A mark's pen and brush of one colour, the device context as it was after.
class MarkColour {
  public:
    MarkColour(HDC dc, COLORREF color) : dc_(dc), saved_(SaveDC(dc)) {
        SelectObject(dc, GetStockObject(DC_PEN));
        SelectObject(dc, GetStockObject(DC_BRUSH));
        SetDCPenColor(dc, color);
        SetDCBrushColor(dc, color);
    }
    ~MarkColour() { RestoreDC(dc_, saved_); }
    MarkColour(const MarkColour&) = delete;
    MarkColour& operator=(const MarkColour&) = delete;

  private:
    HDC dc_;
    int saved_;
};
} // namespace

void DrawPinMark(HDC dc, DpiScale px, POINT at, COLORREF color) {
    const MarkColour colour(dc, color);
    const int size = px(kPinMarkSize), head = px(6), needle = px(2) > 1 ? px(2) : 1;
    Ellipse(dc, at.x + size - head, at.y, at.x + size, at.y + head);
    // The needle as a band of lines, as thick at every DPI as the head is large.
    for (int k = 0; k < needle; ++k) {
        MoveToEx(dc, at.x + size - head / 2 + k, at.y + head / 2, nullptr);
        LineTo(dc, at.x + k, at.y + size);
    }
}

// A page: its outline, a bold first line and two thin ones, each as thick
// as the DPI makes a pixel.
void DrawFormatsMark(HDC dc, DpiScale px, POINT at, COLORREF color) {
    const MarkColour colour(dc, color);
    SelectObject(dc, GetStockObject(NULL_BRUSH)); // the outline's inside stays
    const int size = px(kFormatsMarkSize), line = px(1) > 1 ? px(1) : 1;
    const int left = at.x + px(1), right = at.x + size - px(1);
    for (int k = 0; k < line; ++k) Rectangle(dc, left + k, at.y + k, right - k, at.y + size - k);
    const int inset = px(3);
    const RECT bold{left + inset, at.y + px(3), right - inset, at.y + px(3) + 2 * line};
    FillRect(dc, &bold, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    for (int row = 0; row < 2; ++row) {
        const int y = at.y + px(6) + row * px(2);
        const RECT thin{left + inset, y, right - inset - (row ? px(2) : 0), y + line};
        FillRect(dc, &thin, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}

// Pixels given to the device as a bitmap from the top down; a picture with
// transparency is first laid over the background, a copy at a time.
void DrawImage(HDC dc, const Image& image, int x, int y, COLORREF background) {
    if (image.Empty() || image.width > 0x7FFF || image.height > 0x7FFF) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(image.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(image.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const uint8_t* pixels = image.bgra.data();
    std::vector<uint8_t> laid;
    if (image.hasAlpha) {
        try {
            laid = image.bgra;
        } catch (const std::bad_alloc&) {
            return;
        }
        const int under[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
        for (size_t k = 0; k < laid.size(); k += 4)
            for (int c = 0; c < 3; ++c)
                laid[k + c] = static_cast<uint8_t>((laid[k + c] * laid[k + 3] + under[c] * (255 - laid[k + 3]) + 127) / 255);
        pixels = laid.data();
    }
    SetDIBitsToDevice(dc, x, y, image.width, image.height, 0, 0, 0, image.height, pixels, &info, DIB_RGB_COLORS);
}

namespace {

void CreateColourObjects() {
    g_gdi.shadowPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW));
    g_gdi.highlightPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT));
    g_gdi.faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    g_gdi.selectionBrush = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
}

void DeleteColourObjects() {
    const HGDIOBJ objects[] = {g_gdi.shadowPen, g_gdi.highlightPen, g_gdi.faceBrush, g_gdi.selectionBrush};
    for (HGDIOBJ object : objects)
        if (object) DeleteObject(object);
    g_gdi.shadowPen = g_gdi.highlightPen = nullptr;
    g_gdi.faceBrush = g_gdi.selectionBrush = nullptr;
}

void DeleteFonts(UiFonts& fonts) {
    if (fonts.ui) DeleteObject(fonts.ui);
    if (fonts.symbol) DeleteObject(fonts.symbol);
    fonts = UiFonts{};
}

bool HighContrastOn() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

} // namespace

void RefreshSharedColours() {
    if (!g_gdi.smallFont) return; // not made yet
    DeleteColourObjects();
    CreateColourObjects();
}

OwnColours CurrentOwnColours() {
    if (HighContrastOn())
        return {GetSysColor(COLOR_HOTLIGHT), GetSysColor(COLOR_INFOBK), GetSysColor(COLOR_INFOTEXT),
                GetSysColor(COLOR_HIGHLIGHTTEXT)};
    return {RGB(0, 0, 255), RGB(255, 255, 224), RGB(0, 0, 0), RGB(255, 255, 255)};
}

void CreateSharedGdi(HINSTANCE) {
    if (g_gdi.smallFont) return; // once
    CreateColourObjects();
    g_gdi.smallFont = CreateUiFont(10, SHIFTJIS_CHARSET, "ＭＳ ゴシック");
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &g_gdi.workArea, 0);
}

UiFonts FontsForDpi(int dpi) {
    dpi = UsableDpi(dpi);
    for (const UiFonts& fonts : g_gdi.fonts)
        if (fonts.dpi == dpi) return fonts;
    // Kept until the program ends: a window may still be drawing with any of
    // them, and only a few DPIs (one per monitor and scale) ever meet.
    UiFonts fonts;
    fonts.dpi = dpi;
    fonts.ui = CreateUiFont(ScaleToDpi(12, dpi), SHIFTJIS_CHARSET, "ＭＳ Ｐゴシック");
    fonts.symbol = CreateUiFont(ScaleToDpi(12, dpi), SYMBOL_CHARSET, "Marlett");
    g_gdi.fonts.push_back(fonts);
    return g_gdi.fonts.back();
}

void DeleteSharedGdi() {
    const HGDIOBJ objects[] = {g_gdi.shadowPen, g_gdi.highlightPen, g_gdi.faceBrush, g_gdi.selectionBrush,
                               g_gdi.smallFont};
    for (HGDIOBJ object : objects)
        if (object) DeleteObject(object);
    for (UiFonts& fonts : g_gdi.fonts) DeleteFonts(fonts);
    g_gdi = SharedGdi{};
}

int DrawRowText(HDC dc, DpiScale px, const char* text, const RECT* rect, int selected, const StandIns* standIns,
                const std::vector<TextSpan>* marked) {
    if (!text) return 0;
    const int saved = SaveDC(dc);
    HPEN markPen = CreatePen(PS_SOLID, 0, GetSysColor(selected ? COLOR_GRAYTEXT : COLOR_HIGHLIGHT));
    SelectObject(dc, markPen);
    const COLORREF plain = GetTextColor(dc);
    const COLORREF markText = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_HIGHLIGHTTEXT);
    HBRUSH markFill = GetSysColorBrush(selected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    size_t span = 0;
    int x = rect->left;
    const int y = rect->top;
    for (const char* p = text; *p;) {
        const int length = CharLength(p);
        const auto b = static_cast<unsigned char>(*p);
        const size_t at = static_cast<size_t>(p - text);
        while (marked && span < marked->size() && (*marked)[span].end <= at) ++span;
        const bool inMark = marked && span < marked->size() && (*marked)[span].begin <= at;
        if (length == 2 || b >= 0x20) {
            const int width = GlyphWidth(dc, p, length, standIns);
            if (inMark) {
                const RECT behind{x, y, x + width, y + metrics.tmHeight};
                FillRect(dc, &behind, markFill);
            }
            SetTextColor(dc, inMark ? markText : plain);
            DrawGlyph(dc, x, y, p, length, standIns);
            x += width;
        } else if (b == '\t') {
            DrawTabMark(dc, px, x, y);
            x += px(kTabAdvance);
        } else if (b == '\r') {
            DrawReturnMark(dc, px, x, y);
            x += px(7);
        } else {
            x += px(kControlAdvance);
        }
        p += length;
        if (x > rect->right - px(12)) {
            TextOutA(dc, x, y, "...", 3);
            break;
        }
    }
    RestoreDC(dc, saved);
    DeleteObject(markPen);
    return 1;
}

int DrawWrappedText(HDC dc, DpiScale px, const char* text, const RECT* rect, int selected, int showMarks,
                    const StandIns* standIns) {
    if (!text) return 0;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect->left + 1, rect->top + 1, rect->right - 1, rect->bottom - 1);
    HPEN markPen = CreatePen(PS_SOLID, 0, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_GRAYTEXT));
    HBRUSH fill = nullptr;
    SelectObject(dc, markPen);
    if (selected) {
        fill = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
        FillRect(dc, rect, fill);
        SetTextColor(dc, CurrentOwnColours().titleText);
    } else {
        SetTextColor(dc, CurrentOwnColours().balloonText);
    }
    const int left = rect->left + px(5), line = px(kLineHeight);
    int x = left, y = rect->top + px(2);
    for (const char* p = text; *p;) {
        const int length = CharLength(p);
        const auto b = static_cast<unsigned char>(*p);
        const char* next = p + length;
        if (length == 2 || b >= 0x20) {
            DrawGlyph(dc, x, y, p, length, standIns);
            x += GlyphWidth(dc, p, length, standIns);
        } else if (b == '\t') {
            if (showMarks) DrawTabMark(dc, px, x, y);
            x += px(kTabAdvance);
        } else if (b == '\n' || (b == '\r' && *next != '\n')) {
            if (showMarks) DrawReturnMark(dc, px, x, y);
            x = left;
            y += line;
        } else if (b != '\r') {
            x += px(kControlAdvance);
        }
        p = next;
        if (x > rect->right - px(18)) {
            x = left;
            y += line;
        }
        if (y + px(6) > rect->bottom) break;
    }
    SelectClipRgn(dc, nullptr);
    RestoreDC(dc, saved);
    DeleteObject(markPen);
    if (fill) DeleteObject(fill);
    return 1;
}

int MeasureWrappedText(HDC dc, DpiScale px, const char* text, int width, const StandIns* standIns) {
    return MeasureWrappedText(text, width, px,
                              [dc, standIns](const char* ch, int length) { return GlyphWidth(dc, ch, length, standIns); });
}

int MeasureTextLine(HDC dc, const char* text, const StandIns* standIns) {
    SIZE size{};
    if (!standIns || standIns->empty()) {
        GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
        return size.cx;
    }
    int width = 0;
    for (const char* p = text; *p;) {
        const int length = CharLength(p);
        width += GlyphWidth(dc, p, length, standIns);
        p += length;
    }
    return width;
}

} // namespace kst
