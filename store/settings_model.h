// The stored settings as data: registry names, first-run values, the version
// upgrade, and the encodings other parts share. No Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kst {

constexpr char kVendorName[] = "Orvandel";
constexpr char kMainKey[] = "kestrane";
constexpr char kClipTextKey[] = "kestrane\\ClipText";
constexpr char kExceptKey[] = "kestrane\\ExceptModuleFileName";
constexpr char kOtherProgramKey[] = "Quorrel3";
constexpr int kSettingsVersion = 106;

// The message that tells the user of an upgrade from an older version.
std::string UpgradeMessage(int fromVersion);

constexpr char kUpgradeCaption[] = "Kestrane - バージョン更新";
constexpr char kTabrivetCaption[] = "Kestrane - 重要";
constexpr char kTabrivetWarning[] =
    "Quorrel3 の Tabrivet 機能を使用している間は、Kestrane は正しく動作しません。\n"
    "先に Tabrivet 機能をオフにしてからご使用下さい。";


// Stored values held to what keeps memory and the history file sound: the
// file's count is one byte, and a tab expands to at most this many spaces.
constexpr int kMinHistoryLimit = 1, kMaxHistoryLimit = 255;
constexpr int kMinTabWidth = 1, kMaxTabWidth = 32;
constexpr int ClampHistoryLimit(int limit) {
    return limit < kMinHistoryLimit ? kMinHistoryLimit : limit > kMaxHistoryLimit ? kMaxHistoryLimit : limit;
}
constexpr int ClampTabWidth(int width) {
    return width < kMinTabWidth ? kMinTabWidth : width > kMaxTabWidth ? kMaxTabWidth : width;
}

// More exclusions than anyone keeps: a damaged count must not make a reader
// go through the registry for minutes.
constexpr int kMaxExclusions = 4096;

// A hotkey from its two stored values. Modifiers other than 1 (Alt), 2 (Ctrl)
// and 3 (both) take the row's default: a bare key would be taken from every
// application (Backspace clearing the history, V untypable).
uint32_t HotkeyFromStored(uint32_t key, uint32_t modifiers, uint32_t defaultModifiers);

// The notification-area tip.
std::string FormatTrayTip(int count, int limit, bool paused);

} // namespace kst
