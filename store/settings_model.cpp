#include "store/settings_model.h"

#include <cstdio>

#include "hook/hook_shared.h"
#include "reform/reform_flags.h"

namespace kst {

std::string UpgradeMessage(int fromVersion) {
    constexpr char kPopupOnOff[] = "　・Kestraneの機能の一時的なON/OFF\n　・履歴管理まわりの不具合修正\n\n";
    constexpr char kSimplePaste[] = "　・簡易履歴貼付機能追加\n　・履歴管理/文字整形まわりの不具合修正\n\n";
    constexpr char kSeeHelpChanged[] = "等が変更されています。詳しくはヘルプをご覧下さい。";
    constexpr char kSeeHelp[] = "変更点について詳しくはヘルプをご覧下さい。";
    if (fromVersion == 104)
        return std::string("Kestrane ver1.04 -> 1.06 へのバージョンアップを行いました。\n\n") + kPopupOnOff +
               kSimplePaste + kSeeHelpChanged;
    if (fromVersion == 105)
        return std::string("Kestrane ver1.05 -> 1.06 へのバージョンアップを行いました。\n\n") + kSimplePaste +
               kSeeHelpChanged;
    if (fromVersion >= 99 && fromVersion <= 103)
        return std::string("Kestrane ver1.03以前 -> 1.06 へのバージョンアップを行いました。\n\n") + kSeeHelp;
    return std::string("(認識できないバージョン) -> 1.06 へのバージョンアップを行いました。\n\n") + kSeeHelp;
}

uint32_t HotkeyFromStored(uint32_t key, uint32_t modifiers, uint32_t defaultModifiers) {
    if (modifiers < 1 || modifiers > 3) modifiers = defaultModifiers;
    return ComposeHotkeyCode(key, modifiers);
}

std::string FormatTrayTip(int count, int limit, bool paused) {
    char tip[64];
    snprintf(tip, sizeof tip, "kestrane : 現在%d件 (最大%d件)%s", count, limit, paused ? " - 停止" : "");
    return tip;
}

} // namespace kst
