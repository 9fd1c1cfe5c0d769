// The paste popup: the history window at the caret of the application in
// front. It never takes the activation: its keys come through the hook
// library (key mode 1) and its mouse presses act without activating.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "history/clip_history.h"
#include "popup/popup_model.h"
#include "popup/popup_search.h"
#include "store/stored_settings.h"
#include "notify/tooltip.h"
#include "popup/target_ime.h"

namespace kst {

constexpr char kPopupClass[] = "Injected_KestranePaste";
constexpr char kPopupProperty[] = "LPINJECTED_KESTRANEPASTEDLGCLASS";
// Sent to the popup by one of its buttons switched by the mouse (lParam: the
// button); a message of its own, as other programs send WM_NULL to any window.
constexpr UINT kToggleClickedMessage = WM_APP + 1;

enum PopupControlId {
    kToggleWidth = 0,
    kToggleCase = 1,
    kToggleComma = 2,
    kTogglePeriod = 3,
    kToggleWrap = 4,
    kToggleQuote = 5,
    kToggleKinsoku = 6,
    kToggleTags = 7,
    kToggleCopyOrder = 8,
    kFirstDirection = 9,
    kFoldButton = 13,
    kStatusLine = 14,
    kHistoryList = 16,
};

// What the popup asks of the program: the paste's parameters as stored now,
// typing the paste into the application.
class PopupHost {
  public:
    virtual ~PopupHost() = default;
    virtual PasteParameters PasteParametersNow() = 0;
    virtual void TypePopupPaste() = 0;
    virtual void ReportClipboardBusy() = 0;
    // The popup is going (its keys are no longer wanted); its panel to keep.
    virtual void PopupClosed(const PopupPanelState& panel) = 0;
};

class PastePopup {
  public:
    PastePopup() = default;
    PastePopup(const PastePopup&) = delete;
    PastePopup& operator=(const PastePopup&) = delete;

    void SetHost(PopupHost* popupHost) { host = popupHost; }
    // Where search finds its dictionary (it may be missing).
    void SetDictionaryPath(std::string path) { dictionaryPath = std::move(path); }
    void Open(HINSTANCE instance, HWND owner, HWND mainWindow, ClipHistory* history, const PopupOptions& options, POINT caret);
    // destroying: the window is already on its way (its owner went).
    void Close(bool destroying = false);
    int IsOpen() const { return window != nullptr; }
    // Open and not on its way out: the keys are still for it.
    bool TakesKeys() const { return window != nullptr && !closing; }
    // Closes the popup once its application has left the front.
    void WatchTarget();
    void OnKey(UINT vk, LPARAM keyData);
    // Drawn again, as after a change of the system's colours.
    void Redraw() const;
    void OnToggle(HWND button);
    // The list's selection changed under the mouse.
    void OnListSelectionChange();
    // A click ended on a row: pastes it, or with Shift held only extends.
    void OnListClick();
    // The search thread has an outcome for the query.
    void OnSearchDone();
    HWND Window() const { return window; }

  private:
    friend LRESULT CALLBACK PopupProc(HWND, UINT, WPARAM, LPARAM);
    PopupPanelState PanelToKeep() const;
    void ShowPanel(int changed);
    void CreateControls(int columnWidth);
    HWND CreateControl(const char* className, int id, const char* caption, DWORD style, int x, int y, int width,
                       int height);
    void ApplyInitialStates();
    void Resize();
    void PaintFrame(HDC dc, const RECT& paint) const;
    void LoadFormatIcons();
    void DestroyFormatIcons();
    void FillList(int copyOrder);
    void DrawListItem(const DRAWITEMSTRUCT& item);
    void DrawEntryRow(const DRAWITEMSTRUCT& item, int index, bool selected) const;
    void DrawClipboardRow(const DRAWITEMSTRUCT& item, bool selected) const;
    void DrawPictureRow(const DRAWITEMSTRUCT& item, const ClipItem& entry, const RECT& room, bool selected) const;
    std::shared_ptr<const Image> PreviewOf(const ClipItem& entry);
    void EnablePanelConversions(bool enable) const;
    void DrawNumberRule(HDC dc, const RECT& row) const;
    void ShowEntryDetail(uint32_t data);
    void ShowSelectionDetail();
    // asCopied: unconverted, with the formats of the copy (Shift+Enter).
    void PasteSelection(bool asCopied);
    void PasteSeveral(const std::vector<int>& entries, bool asCopied);
    void FollowSelection(bool extend);
    int FirstEntryRow() const;
    int SelectedEntry() const;
    void TogglePinOfSelection();
    void DeleteSelectedEntry();
    void UndoDelete();
    void ShowEntryAt(int row);
    void AfterEntriesChanged(int row, int entry);
    void SetPressed(HWND button, bool pressed) const;
    bool IsPressed(HWND button) const;
    void SetList(int top, int selection) const;
    int SelectedRow() const;
    int RowOfEntry(int index) const;
    void AfterCopyOrderChange();
    bool TargetStillInFront() const;
    bool OnSearchKey(UINT vk, UINT scanCode, bool alt);
    char TypedCharacter(UINT vk, UINT scanCode) const;
    void StartSearch();
    void EndSearch();
    void SubmitQuery();
    void ShowSearchStatus();
    bool Filtering() const { return searching && !query.empty(); }

    PopupHost* host = nullptr;
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    HWND ownerTop = nullptr; // the target's top-level window
    HWINEVENTHOOK foregroundHook = nullptr;
    HWND window = nullptr;
    bool closing = false;
    bool classRegistered = false;
    Tooltip balloon;
    ClipHistory* history = nullptr;
    HWND toggles[9] = {};
    HWND directions[4] = {};
    HWND foldButton = nullptr;
    HWND statusLine = nullptr;
    HWND list = nullptr;
    PanelState panel;
    bool ctrlHeld = false; // keeps a pasted entry when pasted entries are deleted
    bool shiftHeld = false; // extends the selection
    bool altHeld = false;   // a digit with Alt picks an entry while searching
    std::vector<uint32_t> rows; // the list's item data, row by row
    RowSelection selection;
    int saveToggles = 1;           // bSAVE
    int listExtra = 0;
    bool invertOrder = false;
    bool listBackgroundDrawn = false;
    HICON formatIcons[6] = {};
    TargetInputMethod targetIme;
    std::string dictionaryPath;
    PopupSearch search;
    bool searching = false;
    std::string query;
    SearchOutcome found;       // of query, once the search thread has it
    bool foundCurrent = false; // found is for query as it is now
    int entryBeforeSearch = -1; // where the selection was, for Esc
    int topBeforeSearch = 0;
    std::shared_ptr<const Image> preview; // of the entry whose formats are previewOf
    std::shared_ptr<const ClipFormats> previewOf;
    // The DPI of the monitor it opened on: every length below is scaled by it.
    DpiScale px;
};

// The NAButton and NAList superclasses: they act on the mouse press and
// never activate. Registered at start-up, unregistered at exit.
int RegisterPopupClasses(HINSTANCE instance);
void UnregisterPopupClasses(HINSTANCE instance);

} // namespace kst
