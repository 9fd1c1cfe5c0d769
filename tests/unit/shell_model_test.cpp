// The settings data, the upgrade, the encodings, the tray tip, the balloon's
// geometry and the wrapped-text measure.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "notify/balloon_layout.h"
#include "shell/key_mode.h"
#include "shell/message_trust.h"
#include "reform/reform_flags.h"
#include "shell/paste_notice.h"
#include "store/setting_table.h"
#include "ui/text_measure.h"

namespace {

using namespace kst;

TEST(Settings, FirstRunValuesStartWithVersionAndNameEachValueOnce) {
    const auto& values = FirstRunValues();
    ASSERT_FALSE(values.empty());
    EXPECT_STREQ("Version", values[0].name);
    EXPECT_EQ(106u, values[0].number);
    std::set<std::string> seen;
    for (const auto& v : values) EXPECT_TRUE(seen.insert(std::string(v.subkey) + "\\" + v.name).second) << v.name;
    EXPECT_EQ(44u, values.size());
    EXPECT_EQ(0u, seen.count("kestrane\\AutoLoadKey")) << "only the upgrade writes it";
}

TEST(Settings, TheTableNamesEachValueOnceAndItsNumbersLieInTheirRange) {
    std::set<std::string> seen;
    for (const Setting* s : AllSettings()) {
        EXPECT_TRUE(seen.insert(std::string(s->subkey) + "\\" + s->name).second) << s->name;
        EXPECT_LE(s->low, s->high) << s->name;
        EXPECT_EQ(s->ifMissing, HeldToRange(*s, s->ifMissing)) << s->name;
        if (s->atFirstRun) {
            EXPECT_EQ(s->firstRun, HeldToRange(*s, s->firstRun)) << s->name;
        }
    }
    struct {
        uint32_t stored, taken;
    } const limits[] = {{0, 1}, {1, 1}, {200, 200}, {255, 255}, {256, 255}, {0xFFFFFFFF, 255}};
    for (const auto& c : limits) EXPECT_EQ(c.taken, HeldToRange(setting::kHistoryLimit, c.stored)) << c.stored;
    EXPECT_EQ(32u, HeldToRange(setting::kTabWidth, 1000));
    EXPECT_EQ(7u, HeldToRange(setting::kColumnWidth, 7)) << "a column is not held";
    EXPECT_EQ("ModuleFileName12", ExclusionValueName(12));
}

TEST(Settings, UpgradeWritesAndMessages) {
    struct {
        int from;
        std::set<std::string> written;
        const char* opening;
    } const cases[] = {
        {104, {"StopKey", "StopKeyWith", "AutoLoadKey", "AutoLoadKeyWith"}, "Kestrane ver1.04 -> 1.06 "},
        {105, {"AutoLoadKey", "AutoLoadKeyWith"}, "Kestrane ver1.05 -> 1.06 "},
        {100,
         {"bPASTEDELETE", "LongList", "FilePath", "StopKey", "StopKeyWith", "AutoLoadKey", "AutoLoadKeyWith"},
         "Kestrane ver1.03以前 -> 1.06 "},
        {99, {"bPASTEDELETE", "LongList", "FilePath", "StopKey", "StopKeyWith", "AutoLoadKey", "AutoLoadKeyWith"},
         "Kestrane ver1.03以前 -> 1.06 "},
        {42, {"bPASTEDELETE", "LongList", "FilePath", "StopKey", "StopKeyWith", "AutoLoadKey", "AutoLoadKeyWith"},
         "(認識できないバージョン) -> 1.06 "},
    };
    for (const auto& c : cases) {
        std::set<std::string> written;
        for (const auto& v : UpgradeValues(c.from)) written.insert(v.name);
        EXPECT_EQ(c.written, written) << c.from;
        EXPECT_EQ(0u, UpgradeMessage(c.from).rfind(c.opening, 0)) << c.from;
    }
    EXPECT_EQ("Kestrane ver1.05 -> 1.06 へのバージョンアップを行いました。\n\n"
              "　・簡易履歴貼付機能追加\n　・履歴管理/文字整形まわりの不具合修正\n\n"
              "等が変更されています。詳しくはヘルプをご覧下さい。",
              UpgradeMessage(105));
    for (const auto& v : UpgradeValues(104))
        if (std::string(v.name) == "StopKeyWith") {
            EXPECT_EQ(3u, v.number);
        }
}

TEST(Settings, ReformFlagsFromTheStoredSwitches) {
    struct {
        ConversionSwitches s;
        int flags;
    } const cases[] = {
        {{0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0}, 0x000}, // directions alone do nothing
        {{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x001},
        {{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x002},
        {{0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, 0x004},
        {{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x008},
        {{0, 0, 0, 0, 1, 7, 0, 0, 0, 0, 0, 0}, 0x010},
        {{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, 0x020},
        {{0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}, 0x040},
        {{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 0x080},
        {{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}, 0xF00},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0xF55},
    };
    for (const auto& c : cases) EXPECT_EQ(c.flags, ReformFlagsFromSwitches(c.s));
}

TEST(TrayTip, CountLimitAndPause) {
    EXPECT_EQ("kestrane : 現在0件 (最大20件)", FormatTrayTip(0, 20, false));
    EXPECT_EQ("kestrane : 現在200件 (最大200件) - 停止", FormatTrayTip(200, 200, true));
}

TEST(Balloon, PlacementsAndCorrections) {
    const ScreenRect work{0, 0, 1024, 740};
    struct {
        const char* name;
        int placement;
        ScreenRect anchor;
        int w, h;
        BalloonSpot spot;
    } const cases[] = {
        {"above", kAbove, {900, 745, 1020, 768}, 100, 50, {900, 694, 50}},
        {"above, pushed left", kAbove, {980, 745, 1020, 768}, 100, 50, {923, 694, 50}},
        {"above, pushed right", kAbove, {-30, 745, 10, 768}, 100, 50, {0, 694, 50}},
        {"above, taskbar at the top: below", kAbove, {900, 0, 1020, 28}, 100, 50, {900, 29, 50}},
        {"left", kLeft, {500, 300, 600, 340}, 100, 50, {399, 300, 50}},
        {"left, flips right", kLeft, {50, 300, 150, 340}, 100, 50, {151, 300, 50}},
        {"left, below the top", kLeft, {500, -20, 600, 10}, 100, 50, {399, 11, 50}},
        {"left, above the bottom", kLeft, {500, 720, 600, 760}, 100, 50, {399, 690, 50}},
        {"right", kRight, {500, 300, 600, 340}, 100, 50, {601, 300, 50}},
        {"right, flips left", kRight, {900, 300, 1000, 340}, 100, 50, {799, 300, 50}},
        {"right, above the bottom", kRight, {500, 720, 600, 760}, 100, 50, {601, 690, 50}},
        {"below", kBelow, {500, 300, 600, 340}, 100, 50, {500, 341, 50}},
        {"below, flips up", kBelow, {500, 700, 600, 720}, 100, 50, {500, 649, 50}},
        {"below, pushed left", kBelow, {1000, 300, 1020, 340}, 100, 50, {923, 341, 50}},
        {"beside", kBeside, {500, 300, 600, 340}, 100, 50, {600, 300, 50}},
        {"beside cuts the height", kBeside, {500, 300, 600, 320}, 100, 50, {600, 300, 30}},
        {"beside flips left within 20", kBeside, {500, 300, 905, 340}, 100, 50, {399, 300, 50}},
        {"beside stays with 20 to spare", kBeside, {500, 300, 904, 340}, 100, 50, {904, 300, 50}},
        {"unknown is beside", 9, {500, 300, 600, 340}, 100, 50, {600, 300, 50}},
    };
    for (const auto& c : cases) {
        const BalloonSpot s = PlaceBalloon(c.placement, c.anchor, work, c.w, c.h, DpiScale{});
        EXPECT_EQ(c.spot.x, s.x) << c.name;
        EXPECT_EQ(c.spot.y, s.y) << c.name;
        EXPECT_EQ(c.spot.height, s.height) << c.name;
    }
}

TEST(Balloon, WidthGrowsWithTextUpTo220) {
    const DpiScale base, large{144};
    EXPECT_EQ(23, GrowBalloonWidth(0, 0, base));
    EXPECT_EQ(123, GrowBalloonWidth(0, 100, base));
    EXPECT_EQ(123, GrowBalloonWidth(123, 50, base)) << "never shrinks";
    EXPECT_EQ(220, GrowBalloonWidth(0, 197, base));
    EXPECT_EQ(220, GrowBalloonWidth(0, 198, base));
    // At 150 %: margin 35 (34.5 away from zero), widest 330.
    EXPECT_EQ(35, GrowBalloonWidth(0, 0, large));
    EXPECT_EQ(135, GrowBalloonWidth(0, 100, large));
    EXPECT_EQ(330, GrowBalloonWidth(0, 296, large));
    EXPECT_EQ(330, GrowBalloonWidth(0, 400, large));
}

TEST(Balloon, BesideKeepsTwentyScaledPixelsToTheWorkAreasEdge) {
    const ScreenRect work{0, 0, 1024, 738}, anchor{500, 300, 904, 340};
    EXPECT_EQ(904, PlaceBalloon(kBeside, anchor, work, 100, 50, DpiScale{}).x);
    EXPECT_EQ(399, PlaceBalloon(kBeside, anchor, work, 100, 50, DpiScale{144}).x) << "30 pixels wanted at 150 %";
}

TEST(MeasureWrappedText, FixedGlyphWidths) {
    const auto eight = [](const char*, int length) { return length == 2 ? 12 : 8; };
    const std::string endless(2000, 'x');
    struct {
        const char* text;
        int width;
        int height;
    } const cases[] = {
        {"", 220, 8},
        {"abc", 220, 8},
        {"a\nb", 220, 22},
        {"a\n", 220, 8},
        {"a\r\nb", 220, 22},
        {"a\rb", 220, 22},
        {"a\r\n", 220, 8},
        {"\t\x01", 220, 8},
        {"ｱｲｳ", 220, 8},
        {"abcd", 23 + 16, 22},                  // the third letter passes the limit
        {"あいう", 23 + 24, 22},                 // 12 each: the third passes 24
        {endless.c_str(), 40, 8 + 14 * 29},  // stops once past 394
    };
    for (const auto& c : cases) EXPECT_EQ(c.height, MeasureWrappedText(c.text, c.width, DpiScale{}, eight)) << c.text;
    // At 200 % with glyphs twice as wide, every height doubles.
    const auto sixteen = [](const char*, int length) { return length == 2 ? 24 : 16; };
    for (const auto& c : cases)
        EXPECT_EQ(2 * c.height, MeasureWrappedText(c.text, 2 * c.width, DpiScale{192}, sixteen)) << c.text;
}

TEST(MeasureWrappedText, KatakanaAreGlyphsNotControls) {
    int asked = 0;
    MeasureWrappedText("\xB1\xB2", 220, DpiScale{}, [&](const char*, int) { return ++asked, 5; });
    EXPECT_EQ(2, asked);
}

TEST(SimplePasteNotice, NextEntryOrNone) {
    const std::string longText = std::string(99, 'a') + "あいう";
    struct {
        int pasted, count;
        std::string next;
        const char* title;
        std::string text;
    } const cases[] = {
        {0, 3, "second", "簡易履歴貼付 1/3件 次の貼付内容：", "second"},
        {0, 1, "only", "簡易履歴貼付 1/1件 次の貼付内容：", "only"},
        {2, 0, "", "簡易履歴貼付 0/0件 次の貼付内容：", "次の履歴はありません"},
        {0, 2, std::string(100, 'x'), "簡易履歴貼付 1/2件 次の貼付内容：", std::string(100, 'x')},
        {0, 2, std::string(101, 'x'), "簡易履歴貼付 1/2件 次の貼付内容：", std::string(100, 'x') + "..."},
        // The 100th byte would be half of あ: the cut comes before it.
        {0, 2, longText, "簡易履歴貼付 1/2件 次の貼付内容：", std::string(99, 'a') + "..."},
    };
    for (const auto& c : cases) {
        const Notice n = NextEntryNotice(c.pasted, c.count, c.next);
        EXPECT_EQ(c.title, n.title);
        EXPECT_EQ(c.text, n.text);
    }
}

TEST(Settings, StoredHotkeysNeverBecomeABareKey) {
    struct {
        uint32_t key, modifiers, defaultModifiers, expected;
    } const cases[] = {
        {8, 2, 2, 0x208},   {86, 1, 1, 0x156},  {8, 3, 2, 0x308},
        {8, 0, 2, 0x208},   // ClearKeyWith 0: Backspace alone would clear
        {86, 0, 2, 0x256},  // HistoryKeyWith 0: V alone would be untypable
        {8, 4, 3, 0x308},   {86, 0xFFFFFFFF, 1, 0x156}, {0x1156, 1, 1, 0x156},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, HotkeyFromStored(c.key, c.modifiers, c.defaultModifiers)) << c.key << " " << c.modifiers;
}

TEST(Settings, HistoryLimitAndTabWidthAreHeldToSoundBounds) {
    struct {
        int stored, limit, tab;
    } const cases[] = {
        {-5, 1, 1}, {0, 1, 1}, {1, 1, 1}, {4, 4, 4}, {32, 32, 32}, {33, 33, 32},
        {200, 200, 32}, {255, 255, 32}, {256, 255, 32}, {200000000, 255, 32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.limit, ClampHistoryLimit(c.stored)) << c.stored;
        EXPECT_EQ(c.tab, ClampTabWidth(c.stored)) << c.stored;
    }
}

} // namespace

namespace {

// The hook's key mode from what the program is doing, as every path sets it.
TEST(KeyMode, OneOwnerDecidesFromTheProgramsState) {
    using kst::ProgramKeyState;
    const struct {
        const char* name;
        ProgramKeyState state; // sheet, typing, popup, paused
        kst::KeySnatchMode mode;
    } rows[] = {
        {"resting", {false, false, false, false}, kst::kKeyModeHotkeys},
        {"paused", {false, false, false, true}, kst::kKeyModeStopOnly},
        {"popup open", {false, false, true, false}, kst::kKeyModeAllKeys},
        {"popup open while paused (opened by command)", {false, false, true, true}, kst::kKeyModeAllKeys},
        {"popup typing its paste", {false, true, true, false}, kst::kKeyModeHotkeys},
        {"popup typing its paste while paused", {false, true, true, true}, kst::kKeyModeStopOnly},
        {"typing a simple paste", {false, true, false, false}, kst::kKeyModeHotkeys},
        {"sheet open", {true, false, false, false}, kst::kKeyModeNone},
        {"sheet open while paused", {true, false, false, true}, kst::kKeyModeNone},
    };
    for (const auto& r : rows) EXPECT_EQ(r.mode, kst::KeyModeFor(r.state)) << r.name;
}

// Which messages come up from below the program's integrity level, and what
// a key forward from there may make it do.
TEST(MessageTrust, OnlyWhatMustComeUpFromBelowIsLetInAndNeverTypesUpward) {
    const struct {
        AppMessage message;
        bool elevated, letIn;
    } filter[] = {
        {kMsgKeyboardForward, false, false},      {kMsgKeyboardForward, true, false},
        {kMsgLowerKeyboardForward, false, false}, {kMsgLowerKeyboardForward, true, true},
        {kMsgMouseForward, false, false},         {kMsgMouseForward, true, true},
        {kMsgTrayNotify, false, false},           {kMsgTrayNotify, true, true},
        {kMsgGeneralNotify, false, false},        {kMsgGeneralNotify, true, false},
        {kMsgUpdateClipboardNotify, true, false}, {kMsgAttachedActiveChange, true, false},
    };
    for (const auto& f : filter) EXPECT_EQ(f.letIn, LetInFromBelow(f.message, f.elevated)) << f.message << f.elevated;

    constexpr uint32_t kLow = 0x1000, kMedium = 0x2000, kHigh = 0x3000, kSystem = 0x4000;
    const struct {
        bool fromBelow;
        uint32_t front, program;
        bool acts;
    } forwards[] = {
        {false, kHigh, kHigh, true},     // a hook at the program's own level
        {false, kUnknownIntegrityLevel, kMedium, true},
        {true, kMedium, kHigh, true},    // the user's key in an ordinary application
        {true, kLow, kHigh, true},
        {true, kHigh, kHigh, false},     // an administrator's console in front
        {true, kSystem, kHigh, false},
        {true, kUnknownIntegrityLevel, kHigh, false},
        {true, kLow, kMedium, true},
        {true, kMedium, kMedium, false},
    };
    for (const auto& f : forwards)
        EXPECT_EQ(f.acts, MayActOnForward(f.fromBelow, f.front, f.program)) << f.fromBelow << " " << f.front;
}

} // namespace
