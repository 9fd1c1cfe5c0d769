// Loading the settings at start-up (and after the settings sheet), the
// version upgrade, and the state written at exit.
#include <stdio.h>

#include "shell/app_shell.h"
#include "history/history_file.h"
#include "hook/hook_shared.h"
#include "hook/ksthook.h"
#include "store/settings_model.h"
#include "store/settings_store.h"

namespace kst {
namespace {

void WriteValues(const std::vector<StoredValue>& values) {
    for (const StoredValue& v : values) {
        if (v.text)
            SettingsStore::WriteString(v.subkey, v.name, v.text);
        else
            SettingsStore::WriteDword(v.subkey, v.name, v.number);
    }
}

void HandToHook(void (*setter)(UINT, UINT), UINT code) { setter(code & 0xFF, (code >> 8) & 0xF); }

} // namespace

CaptureRules ReadCaptureRules() {
    VendorKeyScope store;
    CaptureRules rules;
    rules.filePath = static_cast<int>(SettingsStore::ReadDword(kMainKey, "FilePath", 0));
    return rules;
}

PasteParameters ReadPasteParameters() {
    VendorKeyScope store;
    PasteParameters p;
    p.columnWidth = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "ColumnWidth", 60));
    char text[260];
    SettingsStore::ReadString(kClipTextKey, "CorrectFront", kDefaultCorrectFront, text, sizeof text);
    p.correctFront = text;
    SettingsStore::ReadString(kClipTextKey, "CorrectEnd", kDefaultCorrectEnd, text, sizeof text);
    p.correctEnd = text;
    p.tabWidth = ClampTabWidth(static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "nTab", 4)));
    p.tabReplace = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "bTABREPLACE", 0));
    return p;
}

namespace {
const char* const kToggleValues[8] = {"bDBCS", "bUPPER", "bCANMA", "bPERIOD",
                                      "bRETURNSET", "bQUOTESET", "bCORRECT", "bTAGREMOVE"};
const char* const kDirectionValues[4] = {"toDBCS", "toUPPER", "toCANMA", "toPERIOD"};

bool ReadFlag(const char* subkey, const char* name, DWORD fallback) {
    return SettingsStore::ReadDword(subkey, name, fallback) != 0;
}
} // namespace

PopupOptions ReadPopupOptions() {
    VendorKeyScope store;
    PopupOptions o;
    o.showDetail = ReadFlag(kClipTextKey, "ShowDetail", 1);
    for (int k = 0; k < 4; ++k) o.forward[k] = ReadFlag(kClipTextKey, kDirectionValues[k], 1);
    o.saveToggles = ReadFlag(kClipTextKey, "bSAVE", 1);
    o.columnWidth = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "ColumnWidth", 60));
    o.longList = SettingsStore::ReadDword(kMainKey, "LongList", 0) == 1;
    o.invertOrder = ReadFlag(kClipTextKey, "bINVERTORDER", 0);
    o.copyOrder = ReadFlag(kClipTextKey, "bCOPYORDER", 0);
    for (int k = 0; k < 8; ++k) o.toggles[k] = ReadFlag(kClipTextKey, kToggleValues[k], 0);
    return o;
}

void WritePopupPanel(const PopupPanelState& panel) {
    VendorKeyScope store;
    SettingsStore::WriteDword(kClipTextKey, "ShowDetail", panel.showDetail ? 1 : 0);
    if (!panel.keepToggles) return;
    for (int k = 0; k < 4; ++k) SettingsStore::WriteDword(kClipTextKey, kDirectionValues[k], panel.forward[k] ? 1 : 0);
    for (int k = 0; k < 8; ++k) SettingsStore::WriteDword(kClipTextKey, kToggleValues[k], panel.toggles[k] ? 1 : 0);
}

void AppShell::ShowUpgradeMessage(int fromVersion) const {
    MessageBoxA(nullptr, UpgradeMessage(fromVersion).c_str(), kUpgradeCaption, MB_ICONINFORMATION);
}

void AppShell::LoadExclusionList() {
    exclusionList.clear();
    const int count = static_cast<int>(SettingsStore::ReadDword(kExceptKey, "count", 0));
    for (int i = 0; i < count && i < kMaxExclusions; ++i) {
        char name[32], path[260];
        snprintf(name, sizeof name, "ModuleFileName%d", i);
        SettingsStore::ReadString(kExceptKey, name, "N/A", path, sizeof path);
        exclusionList.emplace_back(path);
    }
}

void AppShell::LoadHotkeys() {
    popupKey = ReadHotkey("HistoryKey", 86, "HistoryKeyWith", 2);
    clearKey = ReadHotkey("ClearKey", 8, "ClearKeyWith", 2);
    stopKey = ReadHotkey("StopKey", 8, "StopKeyWith", 2);
    simplePasteKey = ReadHotkey("AutoPasteKey", 86, "AutoPasteKeyWith", 1);
    HandToHook(SetHistoryKeyCode, popupKey);
    HandToHook(SetClearKeyCode, clearKey);
    HandToHook(SetStopKeyCode, stopKey);
    HandToHook(SetPasteKeyCode, simplePasteKey);
}

void AppShell::ApplyHistorySettings() {
    VendorKeyScope store;
    ListSettings s;
    s.invertOrder = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "bINVERTORDER", 0));
    s.copyOrder = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "bCOPYORDER", 0));
    s.autoDelete = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "bAUTODELETE", 1));
    s.pasteDelete = static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "bPASTEDELETE", 0));
    s.limit = ClampHistoryLimit(static_cast<int>(SettingsStore::ReadDword(kClipTextKey, "BUFFERLIMIT", 20)));
    history.ApplyListSettings(s);
}

// The message boxes come after the store is closed: a modal box runs a
// message loop, and anything that opens the store meanwhile would close the
// one open root and leave the rest of the load reading defaults.
void AppShell::LoadProgramSettings() {
    int upgradedFrom = 0;
    bool tabrivetOn = false;
    {
        VendorKeyScope store;
        const int version = static_cast<int>(SettingsStore::ReadDword(kMainKey, "Version", 0));
        if (version == 0) {
            WriteValues(FirstRunValues());
        } else if (version != kSettingsVersion) {
            SettingsStore::WriteDword(kMainKey, "Version", kSettingsVersion);
            WriteValues(UpgradeValues(version));
            upgradedFrom = version;
        }
        tabrivetOn = SettingsStore::ReadDword(kOtherProgramKey, "tabrivet", 0) == 1;

        palette.x = SettingsStore::ReadDword(kMainKey, "PalettePosX", 0);
        palette.y = SettingsStore::ReadDword(kMainKey, "PalettePosY", 0);
        palette.cx = SettingsStore::ReadDword(kMainKey, "PalettePosCX", 103);
        palette.cy = SettingsStore::ReadDword(kMainKey, "PalettePosCY", 23);
        LoadExclusionList();
        autoCapture = SettingsStore::ReadDword(kClipTextKey, "AutoLoad", 1) ? 1 : 0;
        LoadHotkeys();
        noPopupForOne = static_cast<int>(SettingsStore::ReadDword(kMainKey, "NoUseKestrane", 0));
        copyKeysOnly = static_cast<int>(SettingsStore::ReadDword(kMainKey, "CtrlCOnly", 0));
        longList = static_cast<int>(SettingsStore::ReadDword(kMainKey, "LongList", 0));
        saveHistory = SettingsStore::ReadDword(kClipTextKey, "bSAVEBUFFER", 1) ? 1 : 0;
    }
    ApplyHistorySettings();
    if (upgradedFrom) ShowUpgradeMessage(upgradedFrom);
    if (tabrivetOn) MessageBoxA(nullptr, kTabrivetWarning, kTabrivetCaption, MB_ICONINFORMATION);
}

void AppShell::SaveState() {
    VendorKeyScope store;
    SettingsStore::WriteDword(kMainKey, "PalettePosX", palette.x);
    SettingsStore::WriteDword(kMainKey, "PalettePosY", palette.y);
    SettingsStore::WriteDword(kMainKey, "PalettePosCX", palette.cx);
    SettingsStore::WriteDword(kMainKey, "PalettePosCY", palette.cy);
    if (SettingsStore::ReadDword(kClipTextKey, "bSAVEBUFFER", 1)) history.Save(HistoryFilePath());
}

} // namespace kst
