// The balloon after a simple history paste: which entry comes next.
#pragma once

#include <string>
#include <vector>

namespace kst {

struct Notice {
    std::string title;
    std::string text;
    std::vector<std::u16string> standIns; // what the text's stand-ins hold
};

constexpr char kSimplePasteTitle[] = "簡易履歴貼付";
constexpr char kNoHistoryText[] = "履歴がありません";

// pastedIndex: the storage index just pasted; count: entries now; next: the
// display text of the entry the next paste takes, with its stand-ins
// (ignored when count is 0).
Notice NextEntryNotice(int pastedIndex, int count, const std::string& next,
                       std::vector<std::u16string> standIns = {});

// At most maxBytes of text, never half a double-byte character, with "..."
// when anything was cut.
std::string Preview(const std::string& text, size_t maxBytes);

} // namespace kst
