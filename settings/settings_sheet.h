// The settings sheet: a modal property sheet of six pages that edit the
// stored settings. Each page reads its values when first shown and writes
// them on OK; pages never shown write nothing.
#pragma once

#include <windows.h>

#include <string>

namespace kst {

class SettingsSheet {
  public:
    SettingsSheet() = default;
    ~SettingsSheet() { alive = 0; }
    SettingsSheet(const SettingsSheet&) = delete;
    SettingsSheet& operator=(const SettingsSheet&) = delete;

    // Runs the sheet; nonzero when it was confirmed with OK (or failed to
    // run, which the sheet also reports as nonzero). 0 at once, without a
    // sheet, while one is already open.
    // programPath: the running program (the start-up entry names it; the
    // help document lies beside it).
    INT_PTR Display(HINSTANCE programInstance, HWND parentWindow, const std::string& programPath);
    int IsOpen() const { return isOpen; }
    // Called by a page as it writes its values: the sheet was confirmed.
    static void NoteApplied() { applied = true; }
    static const std::string& ProgramPath() { return programPath_; }

    int alive = 1;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    int isOpen = 0;

  private:
    static bool applied;
    static std::string programPath_;
};

// The page procedures.
INT_PTR CALLBACK KeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HistoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReformPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ExclusionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OtherPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kst
