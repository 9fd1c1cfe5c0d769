// What each part of the program is given from the registry, read at the
// moment it needs it: the history's capture, paste and list rules, the
// popup's panel, the paste's conversions. Each reader opens the store for
// itself.
#pragma once

#include <string>

#include "history/clip_history.h"
#include "store/setting_table.h"

namespace kst {

CaptureRules ReadCaptureRules();     // at each capture
PasteParameters ReadPasteParameters(); // at each paste
ListSettings ReadListSettings();     // at start and after the settings sheet
// The conversions the panel last kept, as reformat flags (simple paste).
int ReadReformFlags();

// What the popup is given as it opens: the stored settings as they are then.
struct PopupOptions {
    bool showDetail = true;
    bool forward[4] = {true, true, true, true}; // the four directions, in table order
    bool saveToggles = true;
    int columnWidth = 60;
    bool longList = false;
    bool invertOrder = false;
    bool copyOrder = false;
    bool toggles[8] = {}; // the eight conversions, in panel order
};
PopupOptions ReadPopupOptions();

// What the popup hands back as it closes, for the program to store: the
// fold always; the directions and toggles when they are to be kept.
struct PopupPanelState {
    bool showDetail = true;
    bool keepToggles = false;
    bool forward[4] = {};
    bool toggles[8] = {};
};
void WritePopupPanel(const PopupPanelState& panel);

// The excluded programs' paths, as many as the count says (held to a
// number anyone keeps); needs the store open.
std::vector<std::string> ReadExclusions();
void WriteExclusions(const std::vector<std::string>& paths);

// Values as the first start or an upgrade writes them; needs the store open.
void WriteStoredValues(const std::vector<StoredValue>& values);

} // namespace kst
