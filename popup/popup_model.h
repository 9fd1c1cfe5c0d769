// The paste popup's arithmetic, free of windows: where it opens, how the keys
// move through the list, which conversions its toggles make, and the texts
// it shows. The window code stays thin around these; they are tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/local_time.h"
#include "reform/conversion_captions.h"

namespace kst {

struct PopupRect {
    int left, top, right, bottom;
};
struct PopupPoint {
    int x, y;
};

constexpr int kPopupWidth = 320;
constexpr int kFoldedHeight = 115;
constexpr int kExpandedHeight = 186;
// A picture row's thumbnail fits in the row's height and this width; the
// detail's preview in this box (base pixels, scaled by the DPI).
constexpr int kThumbnailWidth = 48;
constexpr int kPreviewWidth = 208;
constexpr int kPreviewHeight = 156;
constexpr int kRowHeight = 17;
constexpr int kLongListExtra = 85;
constexpr int kCaretLeftGap = 20;
constexpr int kRowTextBytes = 250;
constexpr int kDetailBytes = 750;
constexpr uint32_t kCurrentClipboardRow = 255;

// Below the caret line, or above it when the expanded popup would not fit
// between the line's foot and the work area's bottom; left of the caret by 20; then kept inside the
// work area (of the caret's monitor) on all four sides. Every length is
// scaled to the DPI of the caret's monitor; the caret and the work area
// are that monitor's pixels.
PopupPoint PlacePopup(PopupPoint caret, int listExtra, const PopupRect& workArea, int dpi);

// The work area of the monitor that holds the point, else of the nearest
// one (as the system chooses for a point off every monitor).
struct Monitor {
    PopupRect bounds;
    PopupRect workArea;
};
PopupRect WorkAreaAt(PopupPoint point, const Monitor* monitors, int count);

// The list position a key leaves: top row and selected row (-1: unchanged).
struct ListMove {
    int top = -1;
    int selection = -1;
};
enum class ListKey { PageUp, PageDown, Home, End, Up, Down };
// rows N, selected S (-1: none), top T, page P.
ListMove MoveInList(ListKey key, int rows, int selected, int top, int page);

// The list's rows as item data: the current-clipboard row first when the
// clipboard holds more than the history knows, then the entries' storage
// indices in the display order.
std::vector<uint32_t> ListRows(bool clipboardRow, const std::vector<int>& displayOrder);

// The selected rows: from the anchor to the active row (the list's own
// selection), one row when they are the same.
struct RowSelection {
    int anchor = -1;
    int active = -1;
};
// A move to row target; extend (Shift held) keeps the anchor, except from
// the current-clipboard row (row 0 below firstEntryRow 1), which is never
// part of a selection of several.
RowSelection MoveSelection(RowSelection now, int target, bool extend, int firstEntryRow);
bool IsRowSelected(const RowSelection& selection, int row);
// What the selection pastes: the entries' storage indices in the list's
// order (a lone current-clipboard row gives none).
std::vector<int> EntriesOfSelection(const std::vector<uint32_t>& rows, const RowSelection& selection);

// The eight conversions of the popup's panel, in the order of its toggles;
// the first four go two ways.
enum PanelConversion {
    kPanelWidth, kPanelCase, kPanelComma, kPanelPeriod,
    kPanelWrap, kPanelQuote, kPanelKinsoku, kPanelTags,
    kPanelConversions,
};
constexpr int kTwoWayConversions = 4;

// The panel as the user has set it; the buttons only show it.
struct PanelState {
    bool shown = true; // unfolded
    bool on[kPanelConversions] = {};
    bool forward[kTwoWayConversions] = {true, true, true, true};
    bool copyOrder = false;
};

// What a key changed of the panel, as bits.
enum PanelChange { kPanelUnchanged = 0, kPanelFolded = 1, kPanelConverts = 2, kPanelCopyOrder = 4 };

// One key of the popup: Space folds, C switches the order; H, L, K and P
// step a two-way conversion and R, Q, E and T switch one, only while the
// panel is shown; F2 to F5 unfold it and set a preset. Other keys change
// nothing.
int ApplyPanelKey(PanelState& panel, unsigned vk);

// A digit picks the entry whose number the list shows: 1 to 9, and 0 for
// 10, on the top row or the keypad. The entry's storage index, or -1 for
// another key or a number no entry has.
int EntryOfDigitKey(unsigned vk, int count);

// The key a press really is when the input method has taken it (the
// system then says VK_PROCESSKEY): told from its scan code, for the keys
// the popup uses (letters, digits, Space, Enter, Esc). Any other key is
// returned as it came.
unsigned KeyBehindInputMethod(unsigned vk, unsigned scanCode);

// The conversions the panel makes, as ReformFlags.
int FlagsOfPanel(const PanelState& panel);

// One press of H, L, K or P on a two-way conversion: off, on backwards, on
// forwards, off again.
struct TwoWay {
    bool on;
    bool forward;
};
TwoWay StepTwoWay(TwoWay now);

// Search in the popup: what one key press does. typed is the character the
// key gives through the target's keyboard layout with the Shift state (0:
// none). "/" or Ctrl+F starts a search; while searching, characters go to the
// query, Backspace takes the last one back and Esc ends the search; Ctrl,
// Alt and the keys that move, paste, pin or delete act as without a search.
enum class SearchKey { kOther, kStart, kType, kErase, kEnd };
SearchKey DecideSearchKey(bool searching, unsigned vk, bool ctrl, bool alt, char typed);
// The query without its last character (stepping over double-byte ones).
std::string WithoutLastCharacter(const std::string& query);
// A search's matches (history indices) after the entry at index went, and
// after an entry came back at index (it was among them: it was shown).
std::vector<int> EntriesAfterRemoval(const std::vector<int>& entries, int index);
std::vector<int> EntriesAfterReturn(const std::vector<int>& entries, int index);
// The status line while searching: "/query", then the matches' count once
// known (matches < 0: still looking), and whether the dictionary is missing.
std::string SearchStatusLine(const std::string& query, int matches, bool dictionaryMissing);

std::string EntryStatusLine(int index, int count, int limit);
// The balloon title of an entry: null time gives the failure title.
std::string EntryDetailTitle(int index, int count, const LocalTime* time, size_t bytes);

constexpr char kCurrentClipboardLabel[] = "現在のクリップボードを貼付";
constexpr char kNoTextLabel[] = "テキスト情報が含まれていません";
constexpr char kCurrentClipboardTitle[] = "現在のクリップボードの内容";

} // namespace kst
