#include "settings/page_values.h"

namespace kst {

uint32_t ParseUnsigned(const char* text) {
    uint64_t value = 0;
    for (const char* p = text; p && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
    }
    return static_cast<uint32_t>(value);
}

uint32_t StoredInRange(const char* text, uint32_t low, uint32_t high) {
    const uint32_t value = ParseUnsigned(text);
    return value < low ? low : value > high ? high : value;
}

int CopyOrderButton(uint32_t stored) { return stored <= 2 ? static_cast<int>(stored) : -1; }

uint32_t StoredCopyOrder(bool back, bool top) { return (back ? 1u : 0u) + (top ? 2u : 0u); }

int TabButton(uint32_t stored) { return stored == 2 ? 0 : stored == 4 ? 1 : stored == 8 ? 2 : -1; }

uint32_t StoredTab(bool two, bool four, bool eight) { return (two ? 2u : 0u) + (four ? 4u : 0u) + (eight ? 8u : 0u); }

FilePathBoxes FilePathShown(uint32_t stored) {
    if (!(stored & 1)) return {false, false, false, false};
    return {true, (stored & 2) != 0, (stored & 4) != 0, true};
}

uint32_t StoredFilePath(bool record, bool toClipboard, bool nameOnly) {
    if (!record) return 0;
    return 1u + (toClipboard ? 2u : 0u) + (nameOnly ? 4u : 0u);
}

int SelectionAfterDelete(int count, int selected) {
    if (selected < 0 || selected >= count || count <= 1) return -1;
    return selected == count - 1 ? selected - 1 : selected;
}

int KeyCodeOfName(const std::vector<KeyName>& names, const std::string& text) {
    for (const KeyName& k : names)
        if (k.name == text) return k.code;
    return -1;
}

int RowOfKeyCode(const std::vector<KeyName>& names, int code) {
    for (size_t row = 0; row < names.size(); ++row)
        if (names[row].code == code) return static_cast<int>(row);
    return -1;
}

} // namespace kst
