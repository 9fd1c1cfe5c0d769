#include "popup/popup_model.h"

#include <cstdio>
#include <cstring>

#include "reform/char_convert.h"
#include "reform/reform_flags.h"
#include "ui/dpi_scale.h"

namespace kst {

namespace {

// Into [low, high]; where the popup is larger than the area its top left
// corner stays visible.
int ClampInto(int value, int low, int high) {
    if (value > high) value = high;
    return value < low ? low : value;
}

} // namespace

PopupPoint PlacePopup(PopupPoint caret, int listExtra, const PopupRect& workArea, int dpi) {
    const DpiScale px{dpi};
    PopupPoint at{};
    // The expanded height is reserved whether or not the panel is shown, so
    // that unfolding never runs off the screen; below the caret line means
    // from the line's foot on, so that the popup never covers the line.
    const int height = px(listExtra + kExpandedHeight), width = px(kPopupWidth), line = px(kRowHeight);
    if (caret.y + line + height <= workArea.bottom)
        at.y = caret.y + line;
    else
        at.y = caret.y - height - 1;
    if (caret.x + width < workArea.right)
        at.x = caret.x - px(kCaretLeftGap);
    else
        at.x = workArea.right - width;
    // Inside the work area on all four sides: a popup off the screen would
    // still take every key.
    at.x = ClampInto(at.x, workArea.left, workArea.right - width);
    at.y = ClampInto(at.y, workArea.top, workArea.bottom - height);
    return at;
}

namespace {

bool Contains(const PopupRect& r, PopupPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

long long DistanceSquared(const PopupRect& r, PopupPoint p) {
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

} // namespace

PopupRect WorkAreaAt(PopupPoint point, const Monitor* monitors, int count) {
    int best = 0;
    for (int k = 0; k < count; ++k) {
        if (Contains(monitors[k].bounds, point)) return monitors[k].workArea;
        if (DistanceSquared(monitors[k].bounds, point) < DistanceSquared(monitors[best].bounds, point)) best = k;
    }
    return count > 0 ? monitors[best].workArea : PopupRect{0, 0, 0, 0};
}

ListMove MoveInList(ListKey key, int rows, int selected, int top, int page) {
    ListMove m;
    const int last = rows - 1;
    if (rows <= 0) return m;
    switch (key) {
    case ListKey::PageUp:
        if (selected <= 0) break;
        if (top - page >= 0) {
            m.top = top - page;
            m.selection = selected - page < 0 ? 0 : selected - page;
        } else {
            m.top = 0;
            m.selection = 0;
        }
        break;
    case ListKey::PageDown:
        if (selected == last) break;
        if (last < top + page) {
            if (rows > page) m.top = rows - page - 1;
            m.selection = last;
        } else {
            m.top = top + page;
            m.selection = selected + page > last ? last : (selected < 0 ? page : selected + page);
        }
        break;
    case ListKey::End:
        m.top = last;
        m.selection = last;
        break;
    case ListKey::Home:
        m.top = 0;
        m.selection = 0;
        break;
    case ListKey::Up:
        if (selected > 0) m.selection = selected - 1;
        break;
    case ListKey::Down:
        if (selected != last) m.selection = selected < 0 ? 0 : selected + 1;
        break;
    }
    return m;
}

std::vector<uint32_t> ListRows(bool clipboardRow, const std::vector<int>& displayOrder) {
    std::vector<uint32_t> rows;
    rows.reserve(displayOrder.size() + 1);
    if (clipboardRow) rows.push_back(kCurrentClipboardRow);
    for (int index : displayOrder) rows.push_back(static_cast<uint32_t>(index));
    return rows;
}

RowSelection MoveSelection(RowSelection now, int target, bool extend, int firstEntryRow) {
    if (!extend || now.anchor < firstEntryRow || target < 0) return {target, target};
    return {now.anchor, target < firstEntryRow ? firstEntryRow : target};
}

bool IsRowSelected(const RowSelection& s, int row) {
    const int first = s.anchor < s.active ? s.anchor : s.active;
    const int last = s.anchor < s.active ? s.active : s.anchor;
    return row >= 0 && row >= first && row <= last;
}

std::vector<int> EntriesOfSelection(const std::vector<uint32_t>& rows, const RowSelection& s) {
    std::vector<int> entries;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row)
        if (IsRowSelected(s, row) && rows[row] != kCurrentClipboardRow) entries.push_back(static_cast<int>(rows[row]));
    return entries;
}

int FlagsOfPanel(const PanelState& p) {
    ConversionSwitches s{};
    s.width = p.on[kPanelWidth];
    s.toFullWidth = p.forward[kPanelWidth];
    s.upper = p.on[kPanelCase];
    s.toUpper = p.forward[kPanelCase];
    s.comma = p.on[kPanelComma];
    s.toComma = p.forward[kPanelComma];
    s.period = p.on[kPanelPeriod];
    s.toPeriod = p.forward[kPanelPeriod];
    s.wrap = p.on[kPanelWrap];
    s.quote = p.on[kPanelQuote];
    s.kinsoku = p.on[kPanelKinsoku];
    s.tagRemove = p.on[kPanelTags];
    return ReformFlagsFromSwitches(s);
}

namespace {

constexpr unsigned kVkSpace = 0x20, kVkF2 = 0x71, kVkF3 = 0x72, kVkF4 = 0x73, kVkF5 = 0x74;

int TwoWayOfKey(unsigned vk) {
    switch (vk) {
    case 'H': return kPanelWidth;
    case 'L': return kPanelCase;
    case 'K': return kPanelComma;
    case 'P': return kPanelPeriod;
    default: return -1;
    }
}

int SwitchOfKey(unsigned vk) {
    switch (vk) {
    case 'R': return kPanelWrap;
    case 'Q': return kPanelQuote;
    case 'E': return kPanelKinsoku;
    case 'T': return kPanelTags;
    default: return -1;
    }
}

// F2 clears every conversion; F3 adds wrapping with quotation and
// line-breaking rules; F4 and F5 the Western or Japanese comma and full stop.
int ApplyPreset(PanelState& panel, unsigned vk) {
    const int changed = panel.shown ? kPanelConverts : kPanelConverts | kPanelFolded;
    panel.shown = true;
    for (bool& on : panel.on) on = false;
    if (vk == kVkF3) {
        for (int k : {kPanelWrap, kPanelQuote, kPanelKinsoku}) panel.on[k] = true;
    } else if (vk == kVkF4 || vk == kVkF5) {
        for (int k : {kPanelComma, kPanelPeriod}) {
            panel.forward[k] = vk == kVkF4;
            panel.on[k] = true;
        }
    }
    return changed;
}

} // namespace

int ApplyPanelKey(PanelState& panel, unsigned vk) {
    if (vk == kVkSpace) {
        panel.shown = !panel.shown;
        return kPanelFolded;
    }
    if (vk == 'C') {
        panel.copyOrder = !panel.copyOrder;
        return kPanelCopyOrder;
    }
    if (vk >= kVkF2 && vk <= kVkF5) return ApplyPreset(panel, vk);
    if (!panel.shown) return kPanelUnchanged;
    if (const int k = TwoWayOfKey(vk); k >= 0) {
        const TwoWay next = StepTwoWay(TwoWay{panel.on[k], panel.forward[k]});
        panel.on[k] = next.on;
        panel.forward[k] = next.forward;
        return kPanelConverts;
    }
    if (const int k = SwitchOfKey(vk); k >= 0) {
        panel.on[k] = !panel.on[k];
        return kPanelConverts;
    }
    return kPanelUnchanged;
}

int EntryOfDigitKey(unsigned vk, int count) {
    constexpr unsigned kVkNumpad0 = 0x60;
    int digit = -1;
    if (vk >= '0' && vk <= '9') digit = static_cast<int>(vk - '0');
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) digit = static_cast<int>(vk - kVkNumpad0);
    if (digit < 0) return -1;
    const int index = digit == 0 ? 9 : digit - 1;
    return index < count ? index : -1;
}

unsigned KeyBehindInputMethod(unsigned vk, unsigned scanCode) {
    constexpr unsigned kVkProcessKey = 0xE5;
    if (vk != kVkProcessKey) return vk;
    // Set 1 scan codes of a keyboard, in the order of their keys.
    static const struct {
        unsigned first;
        const char* keys;
    } kRows[] = {
        {0x02, "1234567890"}, {0x10, "QWERTYUIOP"}, {0x1E, "ASDFGHJKL"}, {0x2C, "ZXCVBNM"},
    };
    for (const auto& row : kRows) {
        const size_t n = strlen(row.keys);
        if (scanCode >= row.first && scanCode < row.first + n) return static_cast<unsigned char>(row.keys[scanCode - row.first]);
    }
    constexpr unsigned kScanEscape = 0x01, kScanEnter = 0x1C, kScanSpace = 0x39;
    if (scanCode == kScanEscape) return 0x1B;
    if (scanCode == kScanEnter) return 0x0D;
    if (scanCode == kScanSpace) return kVkSpace;
    return vk;
}

TwoWay StepTwoWay(TwoWay now) {
    if (!now.on) return {true, false};
    if (!now.forward) return {true, true};
    return {false, false};
}

std::string EntryStatusLine(int index, int count, int limit) {
    char line[64];
    snprintf(line, sizeof line, "%d/%d (最大%d件)", index + 1, count, limit);
    return line;
}

std::string EntryDetailTitle(int index, int count, const LocalTime* time, size_t bytes) {
    if (!time) return "[ERR-1]時間情報取得失敗";
    char title[128];
    snprintf(title, sizeof title, "%d/%d件 %d/%.2d/%.2d %.2d:%.2d  %dBytes ", index + 1, count, time->wYear,
             time->wMonth, time->wDay, time->wHour, time->wMinute, static_cast<int>(bytes));
    return title;
}

SearchKey DecideSearchKey(bool searching, unsigned vk, bool ctrl, bool alt, char typed) {
    constexpr unsigned kBack = 0x08, kEscape = 0x1B, kLetterF = 'F';
    if (!searching) {
        if (ctrl && !alt && vk == kLetterF) return SearchKey::kStart;
        return !ctrl && !alt && typed == '/' ? SearchKey::kStart : SearchKey::kOther;
    }
    if (vk == kEscape) return SearchKey::kEnd;
    if (ctrl || alt) return SearchKey::kOther;
    if (vk == kBack) return SearchKey::kErase;
    const auto c = static_cast<unsigned char>(typed);
    return c >= 0x20 && c != 0x7F ? SearchKey::kType : SearchKey::kOther;
}

std::string WithoutLastCharacter(const std::string& query) {
    size_t last = 0;
    for (size_t at = 0; at < query.size(); at += IsLeadByte(static_cast<unsigned char>(query[at])) ? 2 : 1)
        last = at;
    return query.substr(0, last);
}

std::string SearchStatusLine(const std::string& query, int matches, bool dictionaryMissing) {
    std::string line = "/" + query;
    if (matches >= 0) line += "  " + std::to_string(matches) + "件";
    if (dictionaryMissing) line += " (辞書なし)";
    return line;
}

std::vector<int> EntriesAfterRemoval(const std::vector<int>& entries, int index) {
    std::vector<int> out;
    for (int e : entries)
        if (e != index) out.push_back(e > index ? e - 1 : e);
    return out;
}

std::vector<int> EntriesAfterReturn(const std::vector<int>& entries, int index) {
    std::vector<int> out;
    for (int e : entries) out.push_back(e >= index ? e + 1 : e);
    out.push_back(index);
    return out;
}

} // namespace kst
