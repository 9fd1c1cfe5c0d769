// The colours the colour hook sets, for the test that reads them back.
#pragma once

#include <windows.h>

// Posted to the program's main window: wParam kTestColoursOn sets the test
// colours, kTestColoursOff puts back the ones the program had. The hook
// sets the event once it has done either.
#define KSTTEST_SET_COLOURS "KSTTEST_SET_COLOURS"
#define KSTTEST_COLOURS_DONE "KSTTEST_COLOURS_DONE"
constexpr WPARAM kTestColoursOff = 0, kTestColoursOn = 1;

constexpr int kTestColourCount = 5;
constexpr int kTestColourElements[kTestColourCount] = {COLOR_MENU, COLOR_MENUTEXT, COLOR_HIGHLIGHT,
                                                       COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE};
constexpr COLORREF kTestColourValues[kTestColourCount] = {RGB(16, 16, 48), RGB(255, 255, 0), RGB(0, 96, 0),
                                                          RGB(255, 220, 120), RGB(64, 64, 64)};
