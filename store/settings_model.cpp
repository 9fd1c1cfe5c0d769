#include "store/settings_model.h"

#include <cstdio>

#include "hook/hook_shared.h"
#include "reform/reform_flags.h"

namespace kst {

const std::vector<StoredValue>& FirstRunValues() {
    static const std::vector<StoredValue> values = {
        {kMainKey, "Version", kSettingsVersion, nullptr},
        {kMainKey, "PalettePosX", 0, nullptr},
        {kMainKey, "PalettePosY", 0, nullptr},
        {kMainKey, "PalettePosCX", 103, nullptr},
        {kMainKey, "PalettePosCY", 23, nullptr},
        {kMainKey, "HistoryKey", 86, nullptr},
        {kMainKey, "HistoryKeyWith", 2, nullptr},
        {kMainKey, "ClearKey", 8, nullptr},
        {kMainKey, "ClearKeyWith", 2, nullptr},
        {kMainKey, "StopKey", 8, nullptr},
        {kMainKey, "StopKeyWith", 3, nullptr},
        {kMainKey, "AutoPasteKey", 86, nullptr},
        {kMainKey, "AutoPasteKeyWith", 1, nullptr},
        {kMainKey, "UsePalette", 0, nullptr},
        {kMainKey, "NoUseKestrane", 0, nullptr},
        {kMainKey, "CtrlCOnly", 1, nullptr},
        {kMainKey, "LongList", 0, nullptr},
        {kMainKey, "FilePath", 0, nullptr},
        {kClipTextKey, "AutoLoad", 1, nullptr},
        {kClipTextKey, "bINVERTORDER", 0, nullptr},
        {kClipTextKey, "bCOPYORDER", 1, nullptr},
        {kClipTextKey, "bSAVEBUFFER", 1, nullptr},
        {kClipTextKey, "bAUTODELETE", 1, nullptr},
        {kClipTextKey, "bPASTEDELETE", 0, nullptr},
        {kClipTextKey, "BUFFERLIMIT", 20, nullptr},
        {kClipTextKey, "bDBCS", 0, nullptr},
        {kClipTextKey, "toDBCS", 0, nullptr},
        {kClipTextKey, "bUPPER", 0, nullptr},
        {kClipTextKey, "toUPPER", 0, nullptr},
        {kClipTextKey, "bCANMA", 0, nullptr},
        {kClipTextKey, "toCANMA", 0, nullptr},
        {kClipTextKey, "bPERIOD", 0, nullptr},
        {kClipTextKey, "toPERIOD", 0, nullptr},
        {kClipTextKey, "bRETURNSET", 0, nullptr},
        {kClipTextKey, "bQUOTESET", 0, nullptr},
        {kClipTextKey, "bCORRECT", 0, nullptr},
        {kClipTextKey, "bTAGREMOVE", 0, nullptr},
        {kClipTextKey, "ColumnWidth", 60, nullptr},
        {kClipTextKey, "bSAVE", 1, nullptr},
        {kClipTextKey, "CorrectFront", 0, kDefaultCorrectFront},
        {kClipTextKey, "CorrectEnd", 0, kDefaultCorrectEnd},
        {kClipTextKey, "nTab", 4, nullptr},
        {kClipTextKey, "bTABREPLACE", 0, nullptr},
        {kExceptKey, "count", 0, nullptr},
    };
    return values;
}

std::vector<StoredValue> UpgradeValues(int fromVersion) {
    const StoredValue autoLoad[] = {{kMainKey, "AutoLoadKey", 86, nullptr},
                                    {kMainKey, "AutoLoadKeyWith", 1, nullptr}};
    const StoredValue stopKey[] = {{kMainKey, "StopKey", 8, nullptr}, {kMainKey, "StopKeyWith", 3, nullptr}};
    std::vector<StoredValue> values;
    if (fromVersion != 104 && fromVersion != 105) {
        values.push_back({kClipTextKey, "bPASTEDELETE", 0, nullptr});
        values.push_back({kMainKey, "LongList", 0, nullptr});
        values.push_back({kMainKey, "FilePath", 0, nullptr});
    }
    if (fromVersion != 105) values.insert(values.end(), std::begin(stopKey), std::end(stopKey));
    values.insert(values.end(), std::begin(autoLoad), std::end(autoLoad));
    return values;
}

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
