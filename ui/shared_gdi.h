// The program-wide pens, brushes and fonts, and the text routines that draw
// and measure code page 932 text glyph by glyph.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "image/image.h"
#include "ui/dpi_scale.h"

namespace kst {

// The text and glyph fonts of our windows at one DPI.
struct UiFonts {
    int dpi = 0;
    HFONT ui = nullptr;
    HFONT symbol = nullptr;
};

struct SharedGdi {
    HPEN shadowPen = nullptr;
    HPEN highlightPen = nullptr;
    HBRUSH faceBrush = nullptr;
    HBRUSH selectionBrush = nullptr;
    HFONT smallFont = nullptr; // the tray icon's digits, in its fixed pixels
    std::vector<UiFonts> fonts; // one set per DPI met
    RECT workArea{};
};

extern SharedGdi g_gdi;

void CreateSharedGdi(HINSTANCE instance);
void DeleteSharedGdi();
// The fonts for a window on a display of the DPI, made when first asked for.
UiFonts FontsForDpi(int dpi);
// The pens and brushes made again from the system colours as they are now
// (after WM_SYSCOLORCHANGE or WM_SETTINGCHANGE); the fonts stay.
void RefreshSharedColours();

// The colours of our own that the drawing uses, unless the user has asked
// for high contrast: then every one is a system colour.
struct OwnColours {
    COLORREF pastedNumber;  // the number of an entry pasted before
    COLORREF balloonBack, balloonText;
    COLORREF titleText;     // on the highlight band of a balloon
};
OwnColours CurrentOwnColours();

// A one-pixel line with the pen, leaving the device context as it was.
void DrawLine(HDC dc, HPEN pen, int x1, int y1, int x2, int y2);

// The mark of a pinned entry in the box (a pin: a round head at the top
// right, its needle to the bottom left), in one colour, scaled by px.
constexpr int kPinMarkSize = 11;
void DrawPinMark(HDC dc, DpiScale px, POINT topLeft, COLORREF color);

// A picture at its own size, its transparent parts over the background.
void DrawImage(HDC dc, const Image& image, int x, int y, COLORREF background);

// The mark of an entry that kept the formats of its copy (a page with lines
// of text, one of them bold), in one colour, scaled by px.
constexpr int kFormatsMarkSize = 11;
void DrawFormatsMark(HDC dc, DpiScale px, POINT topLeft, COLORREF color);

// What the stand-ins of a display text hold (see ClipItem::DisplayText):
// each is drawn and measured as its own character, with the wide-character
// functions. Null or empty: plain code page 932.
using StandIns = std::vector<std::u16string>;

// Bytes [begin, end) of a text, on character boundaries.
struct TextSpan {
    size_t begin;
    size_t end;
};

// The spacing, marks and margins of these are scaled by px; the device
// context holds the font of the same DPI. The marked spans (a search's
// matches) are drawn in the selection's colours, and in the reverse of them
// on a selected row: system colours, so also in high contrast.
int DrawRowText(HDC dc, DpiScale px, const char* text, const RECT* rect, int selected,
                const StandIns* standIns = nullptr, const std::vector<TextSpan>* marked = nullptr);
int DrawWrappedText(HDC dc, DpiScale px, const char* text, const RECT* rect, int selected, int showMarks,
                    const StandIns* standIns = nullptr);
int MeasureWrappedText(HDC dc, DpiScale px, const char* text, int width, const StandIns* standIns = nullptr);
// The text as one line, control characters included.
int MeasureTextLine(HDC dc, const char* text, const StandIns* standIns = nullptr);

} // namespace kst
