// Every value the program keeps in the registry, in one table: where it
// lives, what a reader takes when it is missing, what the first start
// writes, the range a reader holds it to, and which upgrades write it. No
// Windows headers: tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reform/reform_flags.h"
#include "store/settings_model.h"

namespace kst {

// Which version upgrades write a value (its first-run value).
enum class Upgrade : uint8_t {
    kNever,
    kFromBefore104, // every old version but 1.04 and 1.05
    kFromBefore105, // every old version but 1.05
    kAlways,
};

struct Setting {
    const char* subkey;
    const char* name;
    uint32_t ifMissing;     // what a reader takes when the value is absent or unreadable
    bool atFirstRun;        // whether the first start writes it
    uint32_t firstRun;      // the number the first start (and an upgrade) writes
    uint32_t low, high;     // a reader holds the number to this range
    const char* text;       // non-null: a string value and its default
    Upgrade upgrade;
};

constexpr uint32_t kAnyNumber = 0xFFFFFFFFu;

constexpr Setting Number(const char* subkey, const char* name, uint32_t ifMissing, uint32_t firstRun,
                         Upgrade upgrade = Upgrade::kNever, uint32_t low = 0, uint32_t high = kAnyNumber) {
    return {subkey, name, ifMissing, true, firstRun, low, high, nullptr, upgrade};
}
// Written by no first start: by the program or the settings sheet when used.
constexpr Setting Later(const char* subkey, const char* name, uint32_t ifMissing, Upgrade upgrade = Upgrade::kNever,
                        uint32_t firstRun = 0) {
    return {subkey, name, ifMissing, false, firstRun, 0, kAnyNumber, nullptr, upgrade};
}
constexpr Setting Text(const char* subkey, const char* name, const char* fallback) {
    return {subkey, name, 0, true, 0, 0, kAnyNumber, fallback, Upgrade::kNever};
}

// A number as a reader takes it: missing gives the reader's default, and a
// stored number outside the range is held to it.
constexpr uint32_t HeldToRange(const Setting& s, uint32_t stored) {
    return stored < s.low ? s.low : stored > s.high ? s.high : stored;
}

namespace setting {

constexpr Setting kVersion = Number(kMainKey, "Version", 0, kSettingsVersion);
// Where the palette window was (written back at exit).
constexpr Setting kPaletteX = Number(kMainKey, "PalettePosX", 0, 0);
constexpr Setting kPaletteY = Number(kMainKey, "PalettePosY", 0, 0);
constexpr Setting kPaletteWidth = Number(kMainKey, "PalettePosCX", 103, 103);
constexpr Setting kPaletteHeight = Number(kMainKey, "PalettePosCY", 23, 23);
// Hotkeys: a key code and its modifiers (1 Alt, 2 Ctrl, 3 both).
constexpr Setting kPopupKey = Number(kMainKey, "HistoryKey", 86, 86);
constexpr Setting kPopupKeyWith = Number(kMainKey, "HistoryKeyWith", 2, 2);
constexpr Setting kClearKey = Number(kMainKey, "ClearKey", 8, 8);
constexpr Setting kClearKeyWith = Number(kMainKey, "ClearKeyWith", 2, 2);
constexpr Setting kStopKey = Number(kMainKey, "StopKey", 8, 8, Upgrade::kFromBefore105);
constexpr Setting kStopKeyWith = Number(kMainKey, "StopKeyWith", 2, 3, Upgrade::kFromBefore105);
constexpr Setting kSimplePasteKey = Number(kMainKey, "AutoPasteKey", 86, 86);
constexpr Setting kSimplePasteKeyWith = Number(kMainKey, "AutoPasteKeyWith", 1, 1);
constexpr Setting kUsePalette = Number(kMainKey, "UsePalette", 0, 0);
constexpr Setting kNoPopupForOne = Number(kMainKey, "NoUseKestrane", 0, 0);
constexpr Setting kCopyKeysOnly = Number(kMainKey, "CtrlCOnly", 0, 1);
constexpr Setting kLongList = Number(kMainKey, "LongList", 0, 0, Upgrade::kFromBefore104);
constexpr Setting kFilePath = Number(kMainKey, "FilePath", 0, 0, Upgrade::kFromBefore104);
constexpr Setting kAutoCapture = Number(kClipTextKey, "AutoLoad", 1, 1);
constexpr Setting kInvertOrder = Number(kClipTextKey, "bINVERTORDER", 0, 0);
constexpr Setting kCopyOrder = Number(kClipTextKey, "bCOPYORDER", 0, 1);
constexpr Setting kSaveHistory = Number(kClipTextKey, "bSAVEBUFFER", 1, 1);
constexpr Setting kAutoDelete = Number(kClipTextKey, "bAUTODELETE", 1, 1);
constexpr Setting kPasteDelete = Number(kClipTextKey, "bPASTEDELETE", 0, 0, Upgrade::kFromBefore104);
// The file's count is one byte.
constexpr Setting kHistoryLimit =
    Number(kClipTextKey, "BUFFERLIMIT", 20, 20, Upgrade::kNever, kMinHistoryLimit, kMaxHistoryLimit);
// The conversions: on or off, and their direction.
constexpr Setting kWidthOn = Number(kClipTextKey, "bDBCS", 0, 0);
constexpr Setting kToFullWidth = Number(kClipTextKey, "toDBCS", 0, 0);
constexpr Setting kCaseOn = Number(kClipTextKey, "bUPPER", 0, 0);
constexpr Setting kToUpper = Number(kClipTextKey, "toUPPER", 0, 0);
constexpr Setting kCommaOn = Number(kClipTextKey, "bCANMA", 0, 0);
constexpr Setting kToComma = Number(kClipTextKey, "toCANMA", 0, 0);
constexpr Setting kPeriodOn = Number(kClipTextKey, "bPERIOD", 0, 0);
constexpr Setting kToPeriod = Number(kClipTextKey, "toPERIOD", 0, 0);
constexpr Setting kWrap = Number(kClipTextKey, "bRETURNSET", 0, 0);
constexpr Setting kQuote = Number(kClipTextKey, "bQUOTESET", 0, 0);
constexpr Setting kKinsoku = Number(kClipTextKey, "bCORRECT", 0, 0);
constexpr Setting kTagRemove = Number(kClipTextKey, "bTAGREMOVE", 0, 0);
constexpr Setting kColumnWidth = Number(kClipTextKey, "ColumnWidth", 60, 60);
constexpr Setting kKeepPanel = Number(kClipTextKey, "bSAVE", 1, 1);
constexpr Setting kLineStartChars = Text(kClipTextKey, "CorrectFront", kDefaultCorrectFront);
constexpr Setting kLineEndChars = Text(kClipTextKey, "CorrectEnd", kDefaultCorrectEnd);
constexpr Setting kTabWidth = Number(kClipTextKey, "nTab", 4, 4, Upgrade::kNever, kMinTabWidth, kMaxTabWidth);
constexpr Setting kTabReplace = Number(kClipTextKey, "bTABREPLACE", 0, 0);
constexpr Setting kExclusionCount = Number(kExceptKey, "count", 0, 0, Upgrade::kNever, 0, kMaxExclusions);
// Then "ModuleFileName0", "ModuleFileName1", ...: see ExclusionValueName.
constexpr char kExclusionPathPrefix[] = "ModuleFileName";
constexpr char kExclusionPathMissing[] = "N/A";
// The popup's fold, kept as it closes.
constexpr Setting kShowDetail = Later(kClipTextKey, "ShowDetail", 1);
// Written by upgrades only: an old version's key for what simple paste does now.
constexpr Setting kOldAutoLoadKey = Later(kMainKey, "AutoLoadKey", 0, Upgrade::kAlways, 86);
constexpr Setting kOldAutoLoadKeyWith = Later(kMainKey, "AutoLoadKeyWith", 0, Upgrade::kAlways, 1);
// The history's files sealed for the user (the history page's switch).
constexpr Setting kEncryptHistory = Later(kClipTextKey, "bENCRYPT", 0);
// A copy with more text than this (KB of code page 932; 0: any size) is
// not kept.
constexpr uint32_t kDefaultMaxEntryKB = 16 * 1024;
constexpr Setting kMaxEntryKB = Later(kClipTextKey, "MaxEntryKB", kDefaultMaxEntryKB);
// A picture, or a copy's formats together, larger than this uncompressed
// (KB; a picture at 4 bytes a pixel; 0: any size) is not kept.
constexpr uint32_t kDefaultMaxFormatsKB = 32 * 1024;
constexpr Setting kMaxFormatsKB = Later(kClipTextKey, "MaxFormatsKB", kDefaultMaxFormatsKB);
// 1 once the history has been saved in the user's own folder, because the
// program's could not take it: the file beside the program is stale then.
constexpr Setting kHistoryInUserFolder = Later(kMainKey, "HistoryInUserFolder", 0);
// Another program's switch that breaks ours while it is on.
constexpr Setting kTabrivet = Later(kOtherProgramKey, "tabrivet", 0);

// The popup's eight toggles in panel order, and the four directions.
constexpr const Setting* kConversionOn[8] = {&kWidthOn, &kCaseOn,  &kCommaOn, &kPeriodOn,
                                             &kWrap,    &kQuote,   &kKinsoku, &kTagRemove};
constexpr const Setting* kDirection[4] = {&kToFullWidth, &kToUpper, &kToComma, &kToPeriod};

// A hotkey's two values.
struct Hotkey {
    const Setting& key;
    const Setting& with;
};
constexpr Hotkey kPopupHotkey{kPopupKey, kPopupKeyWith};
constexpr Hotkey kClearHotkey{kClearKey, kClearKeyWith};
constexpr Hotkey kStopHotkey{kStopKey, kStopKeyWith};
constexpr Hotkey kSimplePasteHotkey{kSimplePasteKey, kSimplePasteKeyWith};

} // namespace setting

// The whole table, Version first.
const std::vector<const Setting*>& AllSettings();

// One value to write: a number, or a string when text is set.
struct StoredValue {
    const char* subkey;
    const char* name;
    uint32_t number;
    const char* text;
};

// Every value that the first start writes, Version first.
std::vector<StoredValue> FirstRunValues();
// What upgrading from an older settings version writes (Version excluded).
std::vector<StoredValue> UpgradeValues(int fromVersion);

// The name of the i-th excluded program's value.
std::string ExclusionValueName(int i);

} // namespace kst
