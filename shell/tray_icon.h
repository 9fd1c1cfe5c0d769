// The notification-area icon: the entry count drawn over the program's small
// icon, a second image while paused, a tip, and the menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace kst {

class TrayIcon {
  public:
    void Add(HWND mainWindow, HINSTANCE instance, UINT callbackMessage);
    void UpdateCount(int count);
    void Remove();
    void OnTrayMouse(UINT mouseMessage);
    const NOTIFYICONDATAA& Record() const { return record; }

  private:
    NOTIFYICONDATAA record{};
    HINSTANCE instance = nullptr;
};

// The count drawn over a base icon, 16 x 16, as the tray shows it. The caller
// destroys the icon.
HICON RenderCountIcon(HDC windowDC, HICON base, int count);

int ForceForeground(HWND previous, HWND window);

} // namespace kst
