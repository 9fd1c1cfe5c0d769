#include "shell/paste_notice.h"

#include <cstdio>

#include "reform/char_convert.h"

namespace kst {

std::string Preview(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    return text.substr(0, CharBoundaryPrefix(text.data(), text.size(), maxBytes)) + "...";
}

Notice NextEntryNotice(int pastedIndex, int count, const std::string& next, std::vector<std::u16string> standIns) {
    if (count == 0) return {"簡易履歴貼付 0/0件 次の貼付内容：", "次の履歴はありません", {}};
    char title[96];
    snprintf(title, sizeof title, "簡易履歴貼付 %d/%d件 次の貼付内容：", pastedIndex + 1, count);
    return {title, Preview(next, 100), std::move(standIns)};
}

} // namespace kst
