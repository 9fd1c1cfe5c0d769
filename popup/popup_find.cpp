// Search in the popup: the query typed through the hook (the focus never
// moves), handed to the search thread, and the list filled with its matches.
#include <new>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"

namespace kst {

// The character the key gives in the target's keyboard layout, with the
// Shift state the keys told us (0: none, or not one of code page 932).
char PastePopup::TypedCharacter(UINT vk, UINT scanCode) const {
    BYTE keys[256] = {};
    if (shiftHeld) keys[VK_SHIFT] = 0x80;
    if (GetKeyState(VK_NUMLOCK) & 1) keys[VK_NUMLOCK] = 0x01; // the keypad's digits
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(owner, nullptr));
    wchar_t out[4] = {};
    // Flag 4: leave the keyboard's dead-key state as it is.
    const int n = ToUnicodeEx(vk, scanCode, keys, out, 4, 4, layout);
    if (n != 1) return 0;
    char bytes[4] = {};
    BOOL lacking = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, out, 1, bytes, sizeof bytes, nullptr, &lacking);
    return length == 1 && !lacking ? bytes[0] : 0;
}

// Whether the key was search's.
bool PastePopup::OnSearchKey(UINT vk, UINT scanCode, bool alt) {
    const char typed = ctrlHeld || alt ? 0 : TypedCharacter(vk, scanCode);
    switch (DecideSearchKey(searching, vk, ctrlHeld, alt, typed)) {
    case SearchKey::kStart:
        StartSearch();
        return true;
    case SearchKey::kEnd:
        EndSearch();
        return true;
    case SearchKey::kErase:
        if (query.empty()) {
            EndSearch();
            return true;
        }
        query = WithoutLastCharacter(query);
        break;
    case SearchKey::kType:
        query += typed;
        break;
    case SearchKey::kOther:
        return false;
    }
    foundCurrent = false;
    if (query.empty()) { // the whole list again, the selection as it was when typing began
        FillList(panel.copyOrder);
        const int row = RowOfEntry(entryBeforeSearch);
        ShowEntryAt(row >= 0 ? row : 0);
    }
    SubmitQuery();
    ShowSearchStatus();
    return true;
}

void PastePopup::StartSearch() {
    if (searching) return;
    searching = true;
    query.clear();
    foundCurrent = false;
    entryBeforeSearch = SelectedEntry();
    topBeforeSearch = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    search.Begin(window, dictionaryPath);
    ShowSearchStatus();
}

// The whole list, with the selection and the scroll where they were.
void PastePopup::EndSearch() {
    const bool filtered = Filtering();
    searching = false;
    query.clear();
    foundCurrent = false;
    search.End();
    if (filtered) FillList(panel.copyOrder);
    const int row = RowOfEntry(entryBeforeSearch);
    SendMessageA(list, LB_SETTOPINDEX, topBeforeSearch, 0);
    ShowEntryAt(row >= 0 ? row : 0);
}

// The texts of the entries the list can show, shared: no text is copied here.
void PastePopup::SubmitQuery() {
    if (query.empty()) return;
    std::vector<SearchText> texts;
    try {
        for (int index : history->DisplayOrder()) {
            const ClipItem* item = history->Item(index);
            if (item) texts.push_back({index, item->SharedText(), item->SharedWideText()});
        }
    } catch (const std::bad_alloc&) {
        return; // this key finds nothing new; the list stays as it was
    }
    search.Submit(query, std::move(texts));
}

void PastePopup::OnSearchDone() {
    if (!window || !searching) return;
    if (Filtering()) {
        SearchOutcome outcome;
        if (!search.TakeOutcome(outcome) || outcome.query != query) {
            ShowSearchStatus(); // the dictionary's state may have changed
            return;
        }
        const int entry = SelectedEntry();
        found = std::move(outcome);
        foundCurrent = true;
        FillList(panel.copyOrder);
        const int row = RowOfEntry(entry);
        ShowEntryAt(row >= 0 ? row : 0);
    }
    ShowSearchStatus();
}

void PastePopup::ShowSearchStatus() {
    if (!statusLine) return;
    const int matches = query.empty() ? static_cast<int>(rows.size()) - FirstEntryRow() : foundCurrent ? static_cast<int>(found.entries.size()) : -1;
    const bool missing = search.Dictionary() == DictionaryState::kMissing;
    SetWindowTextA(statusLine, SearchStatusLine(query, matches, missing).c_str());
}

} // namespace kst
