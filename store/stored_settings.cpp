#include "store/stored_settings.h"

#include "reform/reform_flags.h"
#include "store/settings_store.h"

namespace kst {

using namespace setting;

CaptureRules ReadCaptureRules() {
    VendorKeyScope store;
    CaptureRules rules;
    rules.filePath = static_cast<int>(ReadSetting(kFilePath));
    return rules;
}

PasteParameters ReadPasteParameters() {
    VendorKeyScope store;
    PasteParameters p;
    p.columnWidth = static_cast<int>(ReadSetting(kColumnWidth));
    p.correctFront = ReadText(kLineStartChars);
    p.correctEnd = ReadText(kLineEndChars);
    p.tabWidth = static_cast<int>(ReadSetting(kTabWidth));
    p.tabReplace = static_cast<int>(ReadSetting(kTabReplace));
    return p;
}

ListSettings ReadListSettings() {
    VendorKeyScope store;
    ListSettings s;
    s.invertOrder = static_cast<int>(ReadSetting(kInvertOrder));
    s.copyOrder = static_cast<int>(ReadSetting(kCopyOrder));
    s.autoDelete = static_cast<int>(ReadSetting(kAutoDelete));
    s.pasteDelete = static_cast<int>(ReadSetting(kPasteDelete));
    s.limit = static_cast<int>(ReadSetting(kHistoryLimit));
    s.maxEntryKB = ReadSetting(kMaxEntryKB);
    s.maxFormatsKB = ReadSetting(kMaxFormatsKB);
    return s;
}

// A direction counts only while its conversion is on.
int ReadReformFlags() {
    VendorKeyScope store;
    auto read = [](const Setting& s) { return static_cast<int>(ReadSetting(s)); };
    ConversionSwitches s{};
    if ((s.width = read(kWidthOn))) s.toFullWidth = read(kToFullWidth);
    if ((s.upper = read(kCaseOn))) s.toUpper = read(kToUpper);
    if ((s.comma = read(kCommaOn))) s.toComma = read(kToComma);
    if ((s.period = read(kPeriodOn))) s.toPeriod = read(kToPeriod);
    s.wrap = read(kWrap);
    s.quote = read(kQuote);
    s.kinsoku = read(kKinsoku);
    s.tagRemove = read(kTagRemove);
    return ReformFlagsFromSwitches(s);
}

// The popup's reader takes a missing direction as forward; LongList counts
// only as exactly 1.
PopupOptions ReadPopupOptions() {
    VendorKeyScope store;
    PopupOptions o;
    o.showDetail = ReadSwitch(kShowDetail);
    for (int k = 0; k < 4; ++k) o.forward[k] = ReadSwitchOr(*kDirection[k], 1);
    o.saveToggles = ReadSwitch(kKeepPanel);
    o.columnWidth = static_cast<int>(ReadSetting(kColumnWidth));
    o.longList = ReadSetting(kLongList) == 1;
    o.invertOrder = ReadSwitch(kInvertOrder);
    o.copyOrder = ReadSwitch(kCopyOrder);
    for (int k = 0; k < 8; ++k) o.toggles[k] = ReadSwitch(*kConversionOn[k]);
    return o;
}

void WritePopupPanel(const PopupPanelState& panel) {
    VendorKeyScope store;
    WriteSetting(kShowDetail, panel.showDetail ? 1 : 0);
    if (!panel.keepToggles) return;
    for (int k = 0; k < 4; ++k) WriteSetting(*kDirection[k], panel.forward[k] ? 1 : 0);
    for (int k = 0; k < 8; ++k) WriteSetting(*kConversionOn[k], panel.toggles[k] ? 1 : 0);
}

std::vector<std::string> ReadExclusions() {
    std::vector<std::string> paths;
    const int count = static_cast<int>(ReadSetting(kExclusionCount));
    for (int i = 0; i < count; ++i) {
        char path[260];
        SettingsStore::ReadString(kExceptKey, ExclusionValueName(i).c_str(), kExclusionPathMissing, path,
                                  sizeof path);
        paths.emplace_back(path);
    }
    return paths;
}

void WriteExclusions(const std::vector<std::string>& paths) {
    WriteSetting(kExclusionCount, static_cast<DWORD>(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i)
        SettingsStore::WriteString(kExceptKey, ExclusionValueName(static_cast<int>(i)).c_str(), paths[i].c_str());
}

void WriteStoredValues(const std::vector<StoredValue>& values) {
    for (const StoredValue& v : values) {
        if (v.text)
            SettingsStore::WriteString(v.subkey, v.name, v.text);
        else
            SettingsStore::WriteDword(v.subkey, v.name, v.number);
    }
}

} // namespace kst
