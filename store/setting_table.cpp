#include "store/setting_table.h"

#include <cstdio>

namespace kst {

using namespace setting;

const std::vector<const Setting*>& AllSettings() {
    static const std::vector<const Setting*> table = {
        &kVersion,       &kPaletteX,       &kPaletteY,         &kPaletteWidth,     &kPaletteHeight,
        &kPopupKey,      &kPopupKeyWith,   &kClearKey,         &kClearKeyWith,     &kStopKey,
        &kStopKeyWith,   &kSimplePasteKey, &kSimplePasteKeyWith, &kUsePalette,     &kNoPopupForOne,
        &kCopyKeysOnly,  &kLongList,       &kFilePath,         &kAutoCapture,      &kInvertOrder,
        &kCopyOrder,     &kSaveHistory,    &kAutoDelete,       &kPasteDelete,      &kHistoryLimit,
        &kWidthOn,       &kToFullWidth,    &kCaseOn,           &kToUpper,          &kCommaOn,
        &kToComma,       &kPeriodOn,       &kToPeriod,         &kWrap,             &kQuote,
        &kKinsoku,       &kTagRemove,      &kColumnWidth,      &kKeepPanel,        &kLineStartChars,
        &kLineEndChars,  &kTabWidth,       &kTabReplace,       &kExclusionCount,   &kShowDetail,
        &kOldAutoLoadKey, &kOldAutoLoadKeyWith, &kHistoryInUserFolder, &kEncryptHistory, &kMaxEntryKB, &kMaxFormatsKB,
        &kTabrivet,
    };
    return table;
}

namespace {

StoredValue FirstRunValueOf(const Setting& s) { return {s.subkey, s.name, s.firstRun, s.text}; }

bool UpgradeWrites(Upgrade upgrade, int fromVersion) {
    switch (upgrade) {
    case Upgrade::kNever:
        return false;
    case Upgrade::kFromBefore104:
        return fromVersion != 104 && fromVersion != 105;
    case Upgrade::kFromBefore105:
        return fromVersion != 105;
    case Upgrade::kAlways:
        return true;
    }
    return false;
}

} // namespace

std::vector<StoredValue> FirstRunValues() {
    std::vector<StoredValue> values;
    for (const Setting* s : AllSettings())
        if (s->atFirstRun) values.push_back(FirstRunValueOf(*s));
    return values;
}

std::vector<StoredValue> UpgradeValues(int fromVersion) {
    std::vector<StoredValue> values;
    for (const Setting* s : AllSettings())
        if (UpgradeWrites(s->upgrade, fromVersion)) values.push_back(FirstRunValueOf(*s));
    return values;
}

std::string ExclusionValueName(int i) {
    char name[32];
    snprintf(name, sizeof name, "%s%d", kExclusionPathPrefix, i);
    return name;
}

} // namespace kst
