// The popup's history list: which rows it holds, how each is drawn, and what
// the status line and the detail balloon say about the selected one.
#include <stdio.h>

#include <new>
#include <string>

#include "image/image_scale.h"
#include "reform/char_convert.h"
#include "history/clip_history.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"
#include "resources/resource_ids.h"
#include "ui/shared_gdi.h"

namespace kst {
namespace {

// Icons of the current-clipboard row, in drawing order, with their mask bits.
const struct {
    int bit;
    int icon;
} kFormatIcons[6] = {{0x02, IDI_FORMAT_TEXT},  {0x04, IDI_FORMAT_PICTURE}, {0x08, IDI_FORMAT_SHAPES},
                     {0x10, IDI_FORMAT_SOUND}, {0x20, IDI_FORMAT_FILES},   {0x01, IDI_FORMAT_OTHER}};
constexpr int kFormatIconSize = 16;



void DrawTextAt(HDC dc, const char* text, int x, int y, COLORREF color) {
    SetTextColor(dc, color);
    TextOutA(dc, x, y, text, static_cast<int>(strlen(text)));
}

} // namespace

// 16 x 16 (scaled) from the 32 x 32 images, for the whole time the popup
// is open.
void PastePopup::LoadFormatIcons() {
    const int size = px(kFormatIconSize);
    for (int k = 0; k < 6; ++k)
        formatIcons[k] = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(kFormatIcons[k].icon), IMAGE_ICON, size, size, 0));
}

void PastePopup::DestroyFormatIcons() {
    for (HICON& icon : formatIcons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

void PastePopup::FillList(int copyOrder) {
    if (!history) return;
    history->SetFlags(0xF000, (copyOrder ? 0x1000 : 0) | (invertOrder ? 0x2000 : 0));
    listBackgroundDrawn = false;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    try {
        if (Filtering()) { // the matches (the last ones, until the new ones are there)
            std::vector<bool> match(static_cast<size_t>(history->Count()), false);
            for (int e : found.entries)
                if (e >= 0 && e < history->Count()) match[static_cast<size_t>(e)] = true;
            std::vector<int> order;
            for (int index : history->DisplayOrder())
                if (match[static_cast<size_t>(index)]) order.push_back(index);
            rows = ListRows(false, order);
        } else {
            rows = ListRows(history->Clipboard().otherFormats == 1, history->DisplayOrder());
        }
    } catch (const std::bad_alloc&) { // an empty list: nothing can be picked wrongly
        rows.clear();
    }
    // Without redrawing and with the room made at once: the list's scroll bar
    // is worked out once, not for every row.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INITSTORAGE, rows.size(), 0);
    for (uint32_t row : rows) SendMessageA(list, LB_ADDSTRING, 0, row);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    selection = {};
}

void PastePopup::DrawListItem(const DRAWITEMSTRUCT& item) {
    if (item.itemAction != ODA_DRAWENTIRE && item.itemAction != ODA_SELECT) return;
    if (!listBackgroundDrawn) {
        RECT all;
        GetClientRect(list, &all);
        HDC dc = GetDC(list);
        FillRect(dc, &all, g_gdi.faceBrush);
        DrawNumberRule(dc, all);
        ReleaseDC(list, dc);
        listBackgroundDrawn = true;
    }
    if (item.itemID == static_cast<UINT>(-1)) return;
    const int saved = SaveDC(item.hDC);
    SetBkMode(item.hDC, TRANSPARENT);
    SelectObject(item.hDC, FontsForDpi(px.dpi).ui);
    FillRect(item.hDC, &item.rcItem, g_gdi.faceBrush);
    const bool selected = (item.itemState & ODS_SELECTED) != 0 || IsRowSelected(selection, static_cast<int>(item.itemID));
    if (item.itemData == kCurrentClipboardRow)
        DrawClipboardRow(item, selected);
    else
        DrawEntryRow(item, static_cast<int>(item.itemData), selected);
    RestoreDC(item.hDC, saved);
}

void PastePopup::DrawEntryRow(const DRAWITEMSTRUCT& item, int index, bool selected) const {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    char number[16];
    snprintf(number, sizeof number, "%d", index + 1);
    RECT box{r.left + px(2), r.top + px(3), r.left + px(24), r.bottom};
    if (history->IsItemPasted(index)) {
        // A blue number with a light outline: four shifted copies, then blue.
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        const POINT shifts[4] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        for (const POINT& s : shifts) {
            RECT shifted = box;
            OffsetRect(&shifted, s.x, s.y);
            DrawTextA(dc, number, -1, &shifted, DT_CENTER | DT_NOPREFIX);
        }
        SetTextColor(dc, CurrentOwnColours().pastedNumber);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    }
    DrawTextA(dc, number, -1, &box, DT_CENTER | DT_NOPREFIX);
    DrawNumberRule(dc, r);
    if (selected) {
        const RECT band{r.left + px(29), r.top, r.right - px(3), r.bottom};
        FillRect(dc, &band, g_gdi.selectionBrush);
    }
    const COLORREF textColour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    SetTextColor(dc, textColour);
    const ClipItem& entry = *history->Item(index);
    const bool pinned = entry.IsPinned(), formatsKept = entry.HasCopiedFormats();
    // The marks at the row's end, in the text's colour (a system colour: they
    // show in high contrast too).
    const int pinRoom = pinned ? px(kPinMarkSize + 4) : 0;
    const int markRoom = pinRoom + (formatsKept ? px(kFormatsMarkSize + 4) : 0);
    if (pinned) DrawPinMark(dc, px, POINT{r.right - px(6) - px(kPinMarkSize), r.top + px(3)}, textColour);
    if (formatsKept)
        DrawFormatsMark(dc, px, POINT{r.right - px(6) - pinRoom - px(kFormatsMarkSize), r.top + px(3)}, textColour);
    if (entry.IsPicture()) {
        DrawPictureRow(item, entry, RECT{r.left + px(31), r.top, r.right - px(6) - markRoom, r.bottom}, selected);
        return;
    }
    StandIns standIns;
    const std::string text = history->Item(index)->DisplayText(kRowTextBytes, standIns);
    const RECT textRect{r.left + px(31), r.top + px(3), r.right - px(6) - markRoom, r.bottom};
    std::vector<TextSpan> marked;
    if (Filtering() && found.matcher)
        for (const MatchRange& m : found.matcher->Find(text.data(), text.size(), kRowTextBytes))
            marked.push_back({m.begin, m.end});
    DrawRowText(dc, px, text.c_str(), &textRect, selected, &standIns, marked.empty() ? nullptr : &marked);
}

// The thumbnail, as high as the row allows, then the picture's size.
void PastePopup::DrawPictureRow(const DRAWITEMSTRUCT& item, const ClipItem& entry, const RECT& room,
                                bool selected) const {
    const int boxHeight = (item.rcItem.bottom - item.rcItem.top) - px(2);
    int x = room.left;
    if (const Image* thumbnail = entry.Thumbnail(static_cast<uint32_t>(px(kThumbnailWidth)), static_cast<uint32_t>(boxHeight))) {
        const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - static_cast<int>(thumbnail->height)) / 2;
        DrawImage(item.hDC, *thumbnail, x, y, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        x += static_cast<int>(thumbnail->width) + px(5);
    }
    const StoredFormat* picture = entry.Formats()->Picture();
    const std::string label = PictureLabel(picture->width, picture->height);
    const RECT textRect{x, room.top + px(3), room.right, room.bottom};
    DrawRowText(item.hDC, px, label.c_str(), &textRect, selected);
}

// The groove between the numbers and the texts.
void PastePopup::DrawNumberRule(HDC dc, const RECT& r) const {
    const int x = r.left + px(26);
    DrawLine(dc, g_gdi.shadowPen, x, r.top, x, r.bottom);
    DrawLine(dc, g_gdi.highlightPen, x + 1, r.top, x + 1, r.bottom);
}

void PastePopup::DrawClipboardRow(const DRAWITEMSTRUCT& item, bool selected) const {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    DrawLine(dc, g_gdi.shadowPen, r.left, r.bottom - 2, r.right - 3, r.bottom - 2);
    DrawLine(dc, g_gdi.highlightPen, r.left, r.bottom - 1, r.right - 3, r.bottom - 1);
    int x = r.left + px(2);
    const int size = px(kFormatIconSize);
    for (int k = 0; k < 6; ++k) {
        if (!(history->Clipboard().formatMask & kFormatIcons[k].bit)) continue;
        if (formatIcons[k]) DrawIconEx(dc, x, r.top + px(1), formatIcons[k], size, size, 0, nullptr, DI_NORMAL);
        x += px(12); // the icons overlap by a quarter
    }
    if (selected) {
        const RECT band{x + px(3), r.top, r.right - px(3), r.bottom - 2};
        FillRect(dc, &band, g_gdi.selectionBrush);
    }
    const int current = history->Clipboard().currentEntryIndex;
    if ((history->Clipboard().formatMask & 0x02) && current != kNoCurrentEntry && history->Item(current)) {
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        StandIns standIns;
        const std::string text = history->Item(current)->DisplayText(kRowTextBytes, standIns);
        const RECT textRect{x + px(5), r.top + px(2), r.right - px(6), r.bottom};
        DrawRowText(dc, px, text.c_str(), &textRect, selected, &standIns);
        return;
    }
    const char* label = history->Clipboard().textOnClipboard == 1 ? kCurrentClipboardLabel : kNoTextLabel;
    // Engraved: a light copy one pixel down and right, under the grey.
    if (!selected) DrawTextAt(dc, label, x + px(5) + 1, r.top + px(2) + 1, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextAt(dc, label, x + px(5), r.top + px(2), GetSysColor(COLOR_GRAYTEXT));
}

// The detail's picture, made from the whole picture for the one entry shown.
std::shared_ptr<const Image> PastePopup::PreviewOf(const ClipItem& entry) {
    if (preview && previewOf == entry.Formats()) return preview;
    preview.reset();
    previewOf = entry.Formats();
    try {
        Image whole;
        if (!DecodePicture(*entry.Formats()->Picture(), whole)) return nullptr;
        auto made = std::make_shared<Image>();
        if (!FitImage(whole, static_cast<uint32_t>(px(kPreviewWidth)), static_cast<uint32_t>(px(kPreviewHeight)), false,
                      *made))
            return nullptr;
        preview = std::move(made);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return preview;
}

// Conversions do not apply to a picture: greyed while one is chosen.
void PastePopup::EnablePanelConversions(bool enable) const {
    for (int k = 0; k < kPanelConversions; ++k) EnableWindow(toggles[k], enable);
    for (HWND direction : directions) EnableWindow(direction, enable);
}

void PastePopup::ShowSelectionDetail() {
    const int row = SelectedRow();
    if (row < 0) return;
    ShowEntryDetail(static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, row, 0)));
}

void PastePopup::ShowEntryDetail(uint32_t data) {
    std::string title, content, status;
    StandIns standIns;
    std::shared_ptr<const Image> picture;
    const StoredFormat* shown = nullptr; // a picture entry's picture
    if (history->Clipboard().otherFormats == 1 && data == kCurrentClipboardRow) {
        title = kCurrentClipboardTitle;
        const int current = history->Clipboard().currentEntryIndex;
        if ((history->Clipboard().formatMask & 0x02) && current != kNoCurrentEntry && history->Item(current))
            content = history->Item(current)->DisplayText(kDetailBytes, standIns);
        else
            content = history->Clipboard().textOnClipboard == 1 ? kCurrentClipboardLabel : kNoTextLabel;
        status = kCurrentClipboardLabel;
    } else {
        const int index = static_cast<int>(data);
        if (!history->Item(index)) return;
        const ClipItem& entry = *history->Item(index);
        shown = entry.IsPicture() ? entry.Formats()->Picture() : nullptr;
        title = EntryDetailTitle(index, history->Count(), history->GetItemTime(index),
                                 shown ? shown->stored.size() : static_cast<size_t>(entry.GetLength(0)));
        content = shown ? PictureLabel(shown->width, shown->height) : entry.DisplayText(kDetailBytes, standIns);
        status = EntryStatusLine(index, history->Count(), history->Limit());
        picture = shown ? PreviewOf(entry) : nullptr;
    }
    EnablePanelConversions(!shown);
    if (searching) ShowSearchStatus();
    else SetWindowTextA(statusLine, status.c_str());
    const int wasVisible = balloon.Init();
    balloon.SetTitleText(title.c_str());
    balloon.SetPicture(std::move(picture));
    balloon.SetContentText(content.c_str(), &standIns);
    balloon.SetDisplayTime(wasVisible ? 1 : 800, 8000);
}

} // namespace kst
