// Loading the program's own settings at start-up (and after the settings sheet), the
// version upgrade, and the state written at exit.

#include "shell/app_shell.h"
#include "history/history_file.h"
#include "hook/hook_shared.h"
#include "hook/ksthook.h"
#include "store/settings_model.h"
#include "store/settings_store.h"
#include "store/stored_settings.h"

namespace kst {

using namespace setting;

namespace {

void HandToHook(void (*setter)(UINT, UINT), UINT code) { setter(code & 0xFF, (code >> 8) & 0xF); }

} // namespace

void AppShell::ShowUpgradeMessage(int fromVersion) const {
    MessageBoxA(nullptr, UpgradeMessage(fromVersion).c_str(), kUpgradeCaption, MB_ICONINFORMATION);
}

void AppShell::LoadHotkeys() {
    popupKey = ReadHotkey(kPopupHotkey);
    clearKey = ReadHotkey(kClearHotkey);
    stopKey = ReadHotkey(kStopHotkey);
    simplePasteKey = ReadHotkey(kSimplePasteHotkey);
    HandToHook(SetHistoryKeyCode, popupKey);
    HandToHook(SetClearKeyCode, clearKey);
    HandToHook(SetStopKeyCode, stopKey);
    HandToHook(SetPasteKeyCode, simplePasteKey);
}

// The message boxes come after the store is closed: a modal box runs a
// message loop, and anything that opens the store meanwhile would close the
// one open root and leave the rest of the load reading defaults.
void AppShell::LoadProgramSettings() {
    int upgradedFrom = 0;
    bool tabrivetOn = false;
    {
        VendorKeyScope store;
        const int version = static_cast<int>(ReadSetting(kVersion));
        if (version == 0) {
            WriteStoredValues(FirstRunValues());
        } else if (version != kSettingsVersion) {
            WriteSetting(kVersion, kSettingsVersion);
            WriteStoredValues(UpgradeValues(version));
            upgradedFrom = version;
        }
        tabrivetOn = ReadSetting(kTabrivet) == 1;

        palette.x = ReadSetting(kPaletteX);
        palette.y = ReadSetting(kPaletteY);
        palette.cx = ReadSetting(kPaletteWidth);
        palette.cy = ReadSetting(kPaletteHeight);
        exclusionList = ReadExclusions();
        autoCapture = ReadSwitch(kAutoCapture) ? 1 : 0;
        LoadHotkeys();
        noPopupForOne = static_cast<int>(ReadSetting(kNoPopupForOne));
        copyKeysOnly = static_cast<int>(ReadSetting(kCopyKeysOnly));
        longList = static_cast<int>(ReadSetting(kLongList));
        saveHistory = ReadSwitch(kSaveHistory) ? 1 : 0;
        encryptHistory = ReadSwitch(kEncryptHistory) ? 1 : 0;
    }
    history.ApplyListSettings(ReadListSettings());
    if (upgradedFrom) ShowUpgradeMessage(upgradedFrom);
    if (tabrivetOn) MessageBoxA(nullptr, kTabrivetWarning, kTabrivetCaption, MB_ICONINFORMATION);
}

void AppShell::SaveState() {
    bool keepHistory = false;
    {
        VendorKeyScope store;
        WriteSetting(kPaletteX, palette.x);
        WriteSetting(kPaletteY, palette.y);
        WriteSetting(kPaletteWidth, palette.cx);
        WriteSetting(kPaletteHeight, palette.cy);
        keepHistory = ReadSwitch(kSaveHistory);
    }
    // After the store is closed: noting the save opens it again.
    // A history file that could not be read is never written over.
    if (keepHistory && !history.LoadWasRefused() && history.Save(HistoryFilePath(), HistorySealer())) NoteSaveWritten();
}

} // namespace kst
