#include "ui/dpi_win.h"

namespace kst {
namespace {

// Looked up at run time: older systems lack them, and the program must
// start there too. Loaded from the system folder only, never from beside
// the program or the current folder.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

using DpiForWindowFn = UINT(WINAPI*)(HWND);
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using LogicalToPhysicalFn = BOOL(WINAPI*)(HWND, POINT*);
using WindowAwarenessFn = HANDLE(WINAPI*)(HWND);
using AwarenessOfContextFn = int(WINAPI*)(HANDLE);
// DPI_AWARENESS values.
constexpr int kDpiUnaware = 0, kSystemDpiAware = 1;
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

int DpiOfMonitor(HMONITOR monitor) {
    static const auto forMonitor = SystemFunction<DpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (monitor && forMonitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return static_cast<int>(y);
    return SystemDpi();
}

// The DPI the window's application counts its coordinates in: the base one
// when it knows nothing of DPI, the system's when it knows only that one,
// else the monitor's own.
int CountingDpi(HWND window, int monitorDpi) {
    static const auto contextOf = SystemFunction<WindowAwarenessFn>("user32.dll", "GetWindowDpiAwarenessContext");
    static const auto awarenessOf =
        SystemFunction<AwarenessOfContextFn>("user32.dll", "GetAwarenessFromDpiAwarenessContext");
    if (!contextOf || !awarenessOf) return monitorDpi;
    const HANDLE context = contextOf(window);
    if (!context) return monitorDpi;
    switch (awarenessOf(context)) {
    case kDpiUnaware: return kBaseDpi;
    case kSystemDpiAware: return DpiOfWindow(window);
    default: return monitorDpi;
    }
}

} // namespace

int SystemDpi() {
    static int dpi = 0;
    if (!dpi) {
        HDC screen = GetDC(nullptr);
        dpi = UsableDpi(screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0);
        if (screen) ReleaseDC(nullptr, screen);
    }
    return dpi;
}

int DpiOfWindow(HWND window) {
    static const auto forWindow = SystemFunction<DpiForWindowFn>("user32.dll", "GetDpiForWindow");
    const UINT dpi = window && forWindow ? forWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int DpiOfMonitorAt(POINT point) { return DpiOfMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST)); }

int DpiOfMonitorOfRect(const RECT& rect) { return DpiOfMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST)); }

RECT WorkAreaOfMonitorOf(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

POINT LogicalScreenPointToPhysical(HWND window, POINT point) {
    static const auto toPhysical =
        SystemFunction<LogicalToPhysicalFn>("user32.dll", "LogicalToPhysicalPointForPerMonitorDPI");
    POINT physical = point;
    if (window && toPhysical && toPhysical(window, &physical)) return physical;
    return point;
}

POINT ClientPointToScreen(HWND window, POINT client) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // What the application counts in against what the monitor's pixels are.
    const int shown = DpiOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    const int counted = CountingDpi(window, shown);
    return POINT{origin.x + ScaleBetweenDpis(client.x, counted, shown), origin.y + ScaleBetweenDpis(client.y, counted, shown)};
}

} // namespace kst
