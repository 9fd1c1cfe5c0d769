// The colours the colour hook sets, for the test that reads them back.
#pragma once

#include <windows.h>

#define KSTTEST_SET_COLOURS "KSTTEST_SET_COLOURS"

constexpr int kTestColourCount = 5;
constexpr int kTestColourElements[kTestColourCount] = {COLOR_MENU, COLOR_MENUTEXT, COLOR_HIGHLIGHT,
                                                       COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE};
constexpr COLORREF kTestColourValues[kTestColourCount] = {RGB(16, 16, 48), RGB(255, 255, 0), RGB(0, 128, 0),
                                                          RGB(255, 255, 255), RGB(64, 64, 64)};
