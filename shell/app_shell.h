// The one application object: the history, the balloon, the tray icon, the
// hotkeys and the option flags, and the hidden main window they meet in.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "history/history_host.h"
#include "history/history_saver.h"
#include "popup/paste_popup.h"
#include "settings/settings_sheet.h"
#include "notify/tooltip.h"
#include "shell/message_trust.h"
#include "shell/tray_icon.h"

namespace kst {

// "KESTRANE_GENERALNOTIFY" commands.
enum GeneralCommand {
    kCommandClear = 1,
    kCommandCopy = 2,
    kCommandPopup = 3,
    kCommandNothing = 4,
    kCommandSettings = 5,
    kCommandCapture = 6,
};

struct PalettePosition {
    DWORD x = 0, y = 0, cx = 103, cy = 23;
};

class AppShell : public HistoryHost, public PopupHost {
  public:
    AppShell();

    int Run(HINSTANCE instance);

    // Settings (registry).
    void LoadProgramSettings();
    void SaveState();
    std::string HistoryFilePath() const;
    const FileSealer* HistorySealer() const;

    // Actions.
    void TogglePause();
    void PostGeneralNotify(int command) const;
    void SimpleHistoryPaste();
    // 1 when a paste, clear or capture may go to the window's application
    // (null: the one in front).
    int CheckForegroundTarget(HWND window);

    // HistoryHost: what the history asks of the program.
    void Information(const char* title, const char* text) override;
    void Beep() override;
    void PostUpdateCount(int count) override;
    LocalTime Now() override;
    std::unique_ptr<ProgressIndicator> NewProgress() override;
    bool TakeCopyKeyMark() override;
    bool ForegroundAllowsCapture() override;
    void HistoryChanged() override;

    // PopupHost: the popup's paste.
    PasteParameters PasteParametersNow() override;
    void TypePopupPaste() override;
    void ReportClipboardBusy() override;
    void PopupClosed(const PopupPanelState& panel) override;

    // The one owner of the hook's key mode: set from what the program is
    // doing now, after every change of it.
    void ApplyKeyMode();

    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    TrayIcon tray;
    UINT messages[kMessageCount] = {};
    ClipHistory history;
    HistorySaver saver;
    int saveHistory = 1; // bSAVEBUFFER
    int encryptHistory = 0; // bENCRYPT
    PastePopup popup;
    SettingsSheet settings;
    std::vector<std::string> exclusionList;
    Tooltip balloon;
    int autoCapture = 0;
    int noPopupForOne = 0;
    int copyKeysOnly = 0;
    int longList = 0;
    DWORD lastCopyKeyTick = 0;
    int paused = 0;
    UINT popupKey = 0, clearKey = 0, stopKey = 0, simplePasteKey = 0;
    PalettePosition palette;

  private:
    friend LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);
    void RegisterMessages();
    bool RegisterMainClass() const;
    void LoadHistory();
    void AnnounceLoadShortOfMemory();
    void LoadHotkeys();
    void ShowUpgradeMessage(int fromVersion) const;
    void ShutDown();

    // Main window handlers.
    LRESULT OnCreate(HWND window);
    void OnTeardown();
    LRESULT OnRegisteredMessage(AppMessage which, WPARAM wParam, LPARAM lParam);
    void OnHotkey(UINT code, LPARAM keyData);
    bool OnPopupKey(LPARAM keyData);
    void ClearHistoryAndClipboard(HWND clipboardOwner, bool captureAfter);
    void AnnounceNextEntry(int pastedIndex);
    void TypePaste(DWORD holdMs, bool releaseAlt = true);
    void OpenPopup(HWND owner);
    // Pause, the sheet, a clear or a keystroke of ours: the popup goes first,
    // so that it is never left on screen without its keys.
    void ClosePopup();
    void OnHotkeyWithPopupOpen(UINT code, LPARAM keyData);
    void TakeKeyForward(UINT code, LPARAM keyData);
    void TakeLowerKeyForward(UINT code, LPARAM keyData);
    void OpenSettings();
    void OnMouseForward(UINT mouseMessage);
    void OnGeneralNotify(int command);
    void OnSaveTimer();
    void OnSaveEnded(HistorySaver::WriteResult result);
    // The system's colours changed (a theme, high contrast): drawn anew.
    void OnColoursChanged();
    void ChooseHistoryFolder();
    std::string HistoryLoadPath() const;
    void AnnounceHistoryFolder();
    void NoteSaveWritten();

    bool tornDown_ = false;
    bool elevated_ = false;
    DWORD integrityLevel_ = 0;
    bool sheetOpen_ = false;
    bool typingPaste_ = false;
    bool openingPopup_ = false;
    // Where clipbuf.dat lives: beside the program while that folder can be
    // written, else a folder of the user's own.
    std::string historyFolder_;
    std::string historyLoadPath_;
    bool savedInUsers_ = false;     // as the registry says
    bool saveSoonAfterLoad_ = false; // read from the other folder
    bool saveFailureShown_ = false;
    // Saves beside the program that failed in a row; at kSaveTriesBeforeMoving
    // the history moves to the user's folder.
    int failedSavesBeside_ = 0;
    static constexpr int kSaveTriesBeforeMoving = 3;
};

extern AppShell g_app;

// Typing into the application in front: attached to its input, so that its
// keyboard state is the one we read and change.
void AttachToForeground(int attach);
void SendPasteKeystrokes(int releaseAlt, DWORD holdMs);
int ProgramDirectory(char* buffer, int size);
// The program's full path, and its folder with the trailing backslash
// (empty when the system cannot say).
std::string ProgramPath();
std::string ProgramFolder();
// The history's folder when the program's own cannot be written.
std::string UserHistoryFolder();

} // namespace kst
