// The program-wide pens, brushes and fonts, and the text routines that draw
// and measure code page 932 text glyph by glyph.
#pragma once

#include <windows.h>

namespace kst {

struct SharedGdi {
    HPEN shadowPen = nullptr;
    HPEN highlightPen = nullptr;
    HBRUSH faceBrush = nullptr;
    HBRUSH selectionBrush = nullptr;
    HFONT uiFont = nullptr;
    HFONT symbolFont = nullptr;
    HFONT smallFont = nullptr;
    RECT workArea{};
};

extern SharedGdi g_gdi;

void CreateSharedGdi(HINSTANCE instance);
void DeleteSharedGdi();

// A one-pixel line with the pen, leaving the device context as it was.
void DrawLine(HDC dc, HPEN pen, int x1, int y1, int x2, int y2);

int DrawRowText(HDC dc, const char* text, const RECT* rect, int selected);
int DrawWrappedText(HDC dc, const char* text, const RECT* rect, int selected, int showMarks);
int MeasureWrappedText(HDC dc, const char* text, int width);

} // namespace kst
