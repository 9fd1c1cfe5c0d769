// Monitors as a program aware of each monitor's DPI sees them: the DPI of a
// window or of the monitor under a point, a monitor's work area, and where
// an application's coordinates lie in its pixels. Systems without the
// per-monitor functions give their one system DPI.
#pragma once

#include <windows.h>

#include "ui/dpi_scale.h"

namespace kst {

int SystemDpi();
int DpiOfWindow(HWND window);
// The monitor that holds the point, else the nearest one.
int DpiOfMonitorAt(POINT point);
int DpiOfMonitorOfRect(const RECT& rect);
// The work area of the monitor that holds most of the rectangle (else the
// nearest one): a balloon beside a popup on a second monitor stays there.
RECT WorkAreaOfMonitorOf(const RECT& rect);

// Where an application's own coordinates are on the screen. An application
// the system scales for it (one not aware of the monitor's DPI) counts in
// logical units; we count in the monitor's pixels.
// A screen point the application computed (in its process), in pixels.
POINT LogicalScreenPointToPhysical(HWND window, POINT point);
// A point in the window's client area, as the application counts it.
POINT ClientPointToScreen(HWND window, POINT client);

} // namespace kst
