// What the settings pages show for a stored value and store for what the
// controls hold: the clamps, the radio groups, the file-path bits, the key
// names. Free of windows; the dialog procedures stay thin around these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kst {

// The edit box's unsigned decimal number (0 when it holds none; saturated).
uint32_t ParseUnsigned(const char* text);
uint32_t StoredInRange(const char* text, uint32_t low, uint32_t high);

// bCOPYORDER: 0 stay, 1 back, 2 top; -1 for a value no radio button shows.
int CopyOrderButton(uint32_t stored);
uint32_t StoredCopyOrder(bool back, bool top);

// nTab: 2, 4 or 8 to radio button 0, 1, 2; -1 for any other width.
int TabButton(uint32_t stored);
uint32_t StoredTab(bool two, bool four, bool eight);

// FilePath: bit 1 records paths, 2 also puts them on the clipboard, 4 takes
// file names only; the last two only count (and are enabled) with the first.
struct FilePathBoxes {
    bool record, toClipboard, nameOnly, dependentsEnabled;
};
FilePathBoxes FilePathShown(uint32_t stored);
uint32_t StoredFilePath(bool record, bool toClipboard, bool nameOnly);

// The row selected after deleting the selected row of a list of count rows:
// the following one, the preceding one for the last, none (-1) for the
// only one. Given as an index of the list after the deletion.
int SelectionAfterDelete(int count, int selected);

// A key-name table: (virtual-key code, name) in ascending code order.
struct KeyName {
    int code;
    std::string name;
};
// The code of the first name equal to text byte for byte; -1 when none is.
int KeyCodeOfName(const std::vector<KeyName>& names, const std::string& text);
// The row (in table order) that shows the code; -1 when no name has it.
int RowOfKeyCode(const std::vector<KeyName>& names, int code);

} // namespace kst
