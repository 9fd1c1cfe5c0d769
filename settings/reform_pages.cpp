// The history page and the text reformatting page.
#include "settings/page_controls.h"
#include "settings/page_values.h"
#include "reform/conversion_captions.h"
#include "reform/reform_flags.h"
#include "settings/settings_sheet.h"
#include "ui/dpi_win.h"
#include "ui/shared_gdi.h"

namespace kst {
namespace {

// Sent to a dialog's children once it has been scaled for a new DPI.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

const int kOrderButtons[2] = {IDC_HISTORY_FIFO, IDC_HISTORY_FILO};
const int kCopyOrderButtons[3] = {IDC_HISTORY_PASTED_STAYS, IDC_HISTORY_PASTED_TO_BACK, IDC_HISTORY_PASTED_TO_TOP};
const int kTabButtons[3] = {IDC_REFORM_TAB_2, IDC_REFORM_TAB_4, IDC_REFORM_TAB_8};

// The direction toggles and the conversion boxes whose texts follow them.
const struct {
    int toggle, box;
    const Setting& direction;
    const Setting& onOff;
} kDirections[4] = {
    {IDC_REFORM_WIDTH_DIRECTION, IDC_REFORM_WIDTH, setting::kToFullWidth, setting::kWidthOn},
    {IDC_REFORM_CASE_DIRECTION, IDC_REFORM_CASE, setting::kToUpper, setting::kCaseOn},
    {IDC_REFORM_COMMA_DIRECTION, IDC_REFORM_COMMA, setting::kToComma, setting::kCommaOn},
    {IDC_REFORM_PERIOD_DIRECTION, IDC_REFORM_PERIOD, setting::kToPeriod, setting::kPeriodOn},
};

void SelectOne(HWND page, const int* group, int count, int chosen) {
    for (int k = 0; k < count; ++k) SetChecked(page, group[k], group[k] == chosen);
}

void FillHistoryPage(HWND page) {
    VendorKeyScope store;
    const DWORD invert = ReadSetting(setting::kInvertOrder);
    SetChecked(page, invert ? IDC_HISTORY_FILO : IDC_HISTORY_FIFO, true);
    const int copyOrder = CopyOrderButton(ReadSetting(setting::kCopyOrder));
    if (copyOrder >= 0) SetChecked(page, kCopyOrderButtons[copyOrder], true);
    SetChecked(page, IDC_HISTORY_KEEP, ReadSwitch(setting::kSaveHistory));
    SetChecked(page, IDC_HISTORY_AUTO_DELETE, ReadSwitch(setting::kAutoDelete));
    SetChecked(page, IDC_HISTORY_PASTE_DELETE, ReadSwitchOr(setting::kPasteDelete, 1));
    SetChecked(page, IDC_HISTORY_ENCRYPT, ReadSwitch(setting::kEncryptHistory));
    SetNumber(page, IDC_HISTORY_LIMIT, ReadSettingOr(setting::kHistoryLimit, 20));
    UDACCEL step{0, 10};
    SendDlgItemMessageA(page, IDC_HISTORY_LIMIT_ARROWS, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    SendDlgItemMessageA(page, IDC_HISTORY_LIMIT_ARROWS, UDM_SETRANGE32, 20, 200);
}

void StoreHistoryPage(HWND page) {
    VendorKeyScope store;
    WriteChecked(page, setting::kInvertOrder, IDC_HISTORY_FILO);
    WriteSetting(setting::kCopyOrder, StoredCopyOrder(IsChecked(page, IDC_HISTORY_PASTED_TO_BACK), IsChecked(page, IDC_HISTORY_PASTED_TO_TOP)));
    WriteChecked(page, setting::kSaveHistory, IDC_HISTORY_KEEP);
    WriteChecked(page, setting::kAutoDelete, IDC_HISTORY_AUTO_DELETE);
    WriteChecked(page, setting::kPasteDelete, IDC_HISTORY_PASTE_DELETE);
    WriteChecked(page, setting::kEncryptHistory, IDC_HISTORY_ENCRYPT);
    WriteSetting(setting::kHistoryLimit, StoredInRange(ItemText(page, IDC_HISTORY_LIMIT, 32).c_str(), 20, 200));
}

void ShowDirection(HWND page, int k) {
    SetDlgItemTextA(page, kDirections[k].box, TwoWayCaption(k, IsChecked(page, kDirections[k].toggle)));
}

// The direction toggles' glyph font and size, for the page's DPI now: the
// system scales the dialog, but not a font or size of our own.
void FitDirectionToggles(HWND page) {
    const DpiScale px{DpiOfWindow(page)};
    const HFONT glyphs = FontsForDpi(px.dpi).symbol;
    for (const auto& d : kDirections) {
        HWND toggle = GetDlgItem(page, d.toggle);
        SendMessageA(toggle, WM_SETFONT, reinterpret_cast<WPARAM>(glyphs), TRUE);
        SetWindowPos(toggle, nullptr, 0, 0, px(16), px(12), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FillReformPage(HWND page) {
    VendorKeyScope store;
    for (int k = 0; k < 4; ++k) {
        SetChecked(page, kDirections[k].box, ReadSwitch(kDirections[k].onOff));
        SetChecked(page, kDirections[k].toggle, ReadSwitch(kDirections[k].direction));
        ShowDirection(page, k);
        // The right-pointing triangle of the symbol font.
        SetWindowTextA(GetDlgItem(page, kDirections[k].toggle), "4");
    }
    FitDirectionToggles(page);
    SetChecked(page, IDC_REFORM_WRAP, ReadSwitch(setting::kWrap));
    SetChecked(page, IDC_REFORM_QUOTE, ReadSwitch(setting::kQuote));
    SetChecked(page, IDC_REFORM_KINSOKU, ReadSwitch(setting::kKinsoku));
    SetChecked(page, IDC_REFORM_TAGS, ReadSwitch(setting::kTagRemove));
    SetNumber(page, IDC_REFORM_COLUMN, ReadSetting(setting::kColumnWidth));
    SetChecked(page, IDC_REFORM_SAVE_PANEL, ReadSwitchOr(setting::kKeepPanel, 0));
    SetDlgItemTextA(page, IDC_REFORM_LINE_START, ReadText(setting::kLineStartChars).c_str());
    SetDlgItemTextA(page, IDC_REFORM_LINE_END, ReadText(setting::kLineEndChars).c_str());
    const int tab = TabButton(ReadSettingOr(setting::kTabWidth, 4));
    if (tab >= 0) SetChecked(page, kTabButtons[tab], true);
    SetChecked(page, IDC_REFORM_TAB_REPLACE, ReadSwitch(setting::kTabReplace));
}

void StoreReformPage(HWND page) {
    VendorKeyScope store;
    for (const auto& d : kDirections) WriteChecked(page, d.onOff, d.box);
    for (const auto& d : kDirections) WriteChecked(page, d.direction, d.toggle);
    WriteChecked(page, setting::kWrap, IDC_REFORM_WRAP);
    WriteChecked(page, setting::kQuote, IDC_REFORM_QUOTE);
    WriteChecked(page, setting::kKinsoku, IDC_REFORM_KINSOKU);
    WriteChecked(page, setting::kTagRemove, IDC_REFORM_TAGS);
    WriteSetting(setting::kColumnWidth, StoredInRange(ItemText(page, IDC_REFORM_COLUMN, 32).c_str(), 20, 256));
    WriteChecked(page, setting::kKeepPanel, IDC_REFORM_SAVE_PANEL);
    // 260-byte buffers: at most 259 bytes of each string are stored.
    WriteText(setting::kLineStartChars, ItemText(page, IDC_REFORM_LINE_START).c_str());
    WriteText(setting::kLineEndChars, ItemText(page, IDC_REFORM_LINE_END).c_str());
    WriteSetting(setting::kTabWidth,
                              StoredTab(IsChecked(page, IDC_REFORM_TAB_2), IsChecked(page, IDC_REFORM_TAB_4), IsChecked(page, IDC_REFORM_TAB_8)));
    WriteChecked(page, setting::kTabReplace, IDC_REFORM_TAB_REPLACE);
}

} // namespace

INT_PTR CALLBACK HistoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillHistoryPage(page);
    if (IsApply(message, lParam)) StoreHistoryPage(page);
    if (IsClick(message, wParam)) {
        const int id = LOWORD(wParam);
        for (int button : kOrderButtons)
            if (id == button) SelectOne(page, kOrderButtons, 2, id);
        for (int button : kCopyOrderButtons)
            if (id == button) SelectOne(page, kCopyOrderButtons, 3, id);
    }
    return 0;
}

INT_PTR CALLBACK ReformPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) FillReformPage(page);
    if (message == kDpiChangedAfterParent) FitDirectionToggles(page); // moved to a monitor of another DPI
    if (IsApply(message, lParam)) StoreReformPage(page);
    if (IsClick(message, wParam))
        for (int k = 0; k < 4; ++k)
            if (LOWORD(wParam) == kDirections[k].toggle) ShowDirection(page, k);
    return 0;
}

} // namespace kst
