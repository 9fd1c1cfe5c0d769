// The popup's placement, list movement, toggles and texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "popup/popup_model.h"
#include "ui/dpi_scale.h"

namespace {

using namespace kst;

constexpr PopupRect kScreen{0, 0, 1024, 738}; // work area above a 30-pixel taskbar

TEST(PopupPlacement, AroundTheCaretWithinTheWorkArea) {
    struct {
        const char* name;
        PopupPoint caret;
        int extra;
        PopupPoint expected;
    } const cases[] = {
        {"below the caret line", {300, 200}, 0, {280, 217}},
        {"100 above the bottom: above, expanded height reserved", {300, 638}, 0, {300 - 20, 638 - 187}},
        {"long list above", {300, 638}, 85, {280, 638 - 272}},
        {"just fits below", {300, 738 - 186 - 17}, 0, {280, 738 - 186}},
        {"one more pixel goes above", {300, 738 - 186 - 16}, 0, {280, 738 - 186 - 16 - 187}},
        {"near the right edge: flush with it", {900, 200}, 0, {1024 - 320, 217}},
        {"x = 10 clamps to 0", {10, 200}, 0, {0, 217}},
        {"no caret answer counts as (0, 0)", {0, 0}, 0, {0, 17}},
    };
    for (const auto& c : cases) {
        const PopupPoint at = PlacePopup(c.caret, c.extra, kScreen, kBaseDpi);
        EXPECT_EQ(c.expected.x, at.x) << c.name;
        EXPECT_EQ(c.expected.y, at.y) << c.name;
    }
}

TEST(PopupPlacement, TheMonitorThatHoldsTheCaret) {
    const Monitor monitors[2] = {
        {{0, 0, 1024, 768}, {0, 0, 1024, 738}},
        {{1024, -200, 2304, 824}, {1024, -200, 2304, 824}}, // right of it, taller, no taskbar
    };
    const struct {
        PopupPoint caret;
        PopupPoint expected;
    } cases[] = {
        {{2200, 100}, {2304 - 320, 117}},    // on the second: its right edge, not the first's
        {{1100, -150}, {1080, -133}},       // above the first monitor's top
        {{500, 700}, {480, 700 - 187}},     // on the first, near its taskbar
        {{1100, 600}, {1080, 617}},         // a height that would go above on the first: below here
        {{3000, 300}, {2304 - 320, 317}},   // off every monitor: the nearest
    };
    for (const auto& c : cases) {
        const PopupPoint at = PlacePopup(c.caret, 0, WorkAreaAt(c.caret, monitors, 2), kBaseDpi);
        EXPECT_EQ(c.expected.x, at.x) << c.caret.x << "," << c.caret.y;
        EXPECT_EQ(c.expected.y, at.y) << c.caret.x << "," << c.caret.y;
    }
    // Every side of the work area holds, on monitors left of and above the
    // primary, and for carets off every screen or below the work area.
    const Monitor around[3] = {
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},            // primary, taskbar at the bottom
        {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}},          // left of it
        {{0, -900, 1600, 0}, {0, -870, 1600, 0}},            // above it, taskbar at its top
    };
    const struct {
        const char* name;
        PopupPoint caret;
        PopupPoint expected;
    } edges[] = {
        {"left monitor, caret at its left edge", {-1275, 300}, {-1280, 317}},
        {"left monitor, right edge: flush with it, not the primary", {-10, 300}, {-320, 317}},
        {"left monitor, near its bottom: above", {-900, 1010}, {-920, 1010 - 187}},
        {"upper monitor, caret in its taskbar at the top", {400, -890}, {380, -870}},
        {"upper monitor, near its bottom: above", {400, -5}, {380, -5 - 187}},
        {"minimised window's caret (-32000, -32000): nearest monitor", {-32000, -32000}, {-1280, 0}},
        {"caret below the work area, on the taskbar", {600, 1060}, {580, 1040 - 186}},
        {"caret far below every screen", {600, 5000}, {580, 1040 - 186}},
        {"caret far right of every screen", {9000, 500}, {1920 - 320, 517}},
    };
    for (const auto& c : edges) {
        const PopupRect work = WorkAreaAt(c.caret, around, 3);
        const PopupPoint at = PlacePopup(c.caret, 0, work, kBaseDpi);
        EXPECT_EQ(c.expected.x, at.x) << c.name;
        EXPECT_EQ(c.expected.y, at.y) << c.name;
        EXPECT_GE(at.x, work.left) << c.name;
        EXPECT_LE(at.x + kPopupWidth, work.right) << c.name;
        EXPECT_GE(at.y, work.top) << c.name;
        EXPECT_LE(at.y + kExpandedHeight, work.bottom) << c.name;
    }
    // A work area smaller than the popup: its top left corner stays on it.
    const PopupPoint tiny = PlacePopup({50, 50}, 0, PopupRect{0, 0, 200, 100}, kBaseDpi);
    EXPECT_EQ(0, tiny.x);
    EXPECT_EQ(0, tiny.y);
    // One monitor: the same as its work area.
    const PopupPoint one = PlacePopup({300, 638}, 0, WorkAreaAt({300, 638}, monitors, 1), kBaseDpi);
    EXPECT_EQ(PlacePopup({300, 638}, 0, kScreen, kBaseDpi).y, one.y);
}

// Lengths scale as the system scales them: halves away from zero.
TEST(DpiScaling, LengthsRoundAsTheSystemRounds) {
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {320, 96, 320}, {17, 96, 17},   {17, 144, 26},   {20, 144, 30},  {115, 144, 173}, {186, 144, 279},
        {85, 144, 128}, {17, 120, 21},  {17, 192, 34},   {320, 192, 640}, {-20, 144, -30}, {-17, 144, -26},
        {1, 120, 1},    {1, 168, 2},    {0, 144, 0},     {17, 0, 17},     {17, -5, 17},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, ScaleToDpi(c.value, c.dpi)) << c.value << " at " << c.dpi;
    // A logical length of a window at one DPI, in pixels of another.
    EXPECT_EQ(150, ScaleBetweenDpis(100, 96, 144));
    EXPECT_EQ(100, ScaleBetweenDpis(150, 144, 96));
    EXPECT_EQ(100, ScaleBetweenDpis(100, 144, 144));
    EXPECT_EQ(7, ScaleBetweenDpis(7, 0, 0));
}

// On a monitor at 150 % or 200 % every length of the placement is scaled;
// the caret and the work area are already that monitor's pixels.
TEST(PopupPlacement, ScaledForTheCaretsMonitor) {
    constexpr PopupRect kLarge{0, 0, 2560, 1400};
    const struct {
        const char* name;
        PopupPoint caret;
        int extra, dpi;
        PopupPoint expected;
    } cases[] = {
        {"150 %: below the line by 26, left by 30", {600, 300}, 0, 144, {570, 326}},
        {"200 %: below by 34, left by 40", {600, 300}, 0, 192, {560, 334}},
        {"150 % near the bottom: above by the expanded height 279 + 1", {600, 1200}, 0, 144, {570, 1200 - 280}},
        {"150 % long list: 85 + 186 scaled as one length", {600, 1200}, 85, 144, {570, 1200 - 407 - 1}},
        {"150 % near the right edge: flush with 480", {2300, 300}, 0, 144, {2560 - 480, 326}},
        {"200 % near the right edge: flush with 640", {2000, 300}, 0, 192, {2560 - 640, 334}},
        {"96: as ever", {600, 300}, 0, 96, {580, 317}},
    };
    for (const auto& c : cases) {
        const PopupPoint at = PlacePopup(c.caret, c.extra, kLarge, c.dpi);
        EXPECT_EQ(c.expected.x, at.x) << c.name;
        EXPECT_EQ(c.expected.y, at.y) << c.name;
        EXPECT_LE(at.y + ScaleToDpi(kExpandedHeight + c.extra, c.dpi), kLarge.bottom) << c.name;
    }
}

TEST(PopupKeys, PageAndLineMovesOfTheList) {
    struct {
        const char* name;
        ListKey key;
        int rows, selected, top, page;
        int newTop, newSelection;
    } const cases[] = {
        {"page up below zero", ListKey::PageUp, 12, 6, 4, 5, 0, 0},
        {"page up a page", ListKey::PageUp, 12, 7, 5, 5, 0, 2},
        {"page up on row 0", ListKey::PageUp, 12, 0, 0, 5, -1, -1},
        {"page down a page", ListKey::PageDown, 12, 6, 5, 5, 10, 11},
        {"page down to the end", ListKey::PageDown, 12, 8, 7, 5, 6, 11},
        {"page down on the last", ListKey::PageDown, 12, 11, 7, 5, -1, -1},
        {"page down, short list", ListKey::PageDown, 3, 0, 0, 5, -1, 2},
        {"long list page down", ListKey::PageDown, 30, 0, 0, 10, 10, 10},
        {"end", ListKey::End, 12, 3, 0, 5, 11, 11},
        {"home", ListKey::Home, 12, 9, 7, 5, 0, 0},
        {"up", ListKey::Up, 12, 3, 0, 5, -1, 2},
        {"up on row 0", ListKey::Up, 12, 0, 0, 5, -1, -1},
        {"down", ListKey::Down, 12, 3, 0, 5, -1, 4},
        {"down on the last", ListKey::Down, 12, 11, 7, 5, -1, -1},
        {"down with nothing selected", ListKey::Down, 12, -1, 0, 5, -1, 0},
        {"empty list", ListKey::End, 0, -1, 0, 5, -1, -1},
    };
    for (const auto& c : cases) {
        const ListMove m = MoveInList(c.key, c.rows, c.selected, c.top, c.page);
        EXPECT_EQ(c.newTop, m.top) << c.name;
        EXPECT_EQ(c.newSelection, m.selection) << c.name;
    }
}

TEST(PopupToggles, FlagsOfThePanel) {
    struct {
        const char* name;
        bool pressed[8];
        bool forward[4];
        int flags;
    } const cases[] = {
        {"nothing", {}, {true, true, true, true}, 0},
        {"width backwards", {true}, {false, true, true, true}, 0x002},
        {"width forwards", {true}, {true, true, true, true}, 0x001},
        {"F4: Western comma and full stop", {false, false, true, true}, {true, true, true, true}, 0x050},
        {"F5: Japanese comma and full stop", {false, false, true, true}, {true, true, false, false}, 0x0A0},
        {"F3: wrap, quote, kinsoku", {false, false, false, false, true, true, true}, {}, 0x700},
        {"case down and tags", {false, true, false, false, false, false, false, true}, {}, 0x808},
    };
    for (const auto& c : cases) {
        PanelState panel;
        for (int k = 0; k < kPanelConversions; ++k) panel.on[k] = c.pressed[k];
        for (int k = 0; k < kTwoWayConversions; ++k) panel.forward[k] = c.forward[k];
        EXPECT_EQ(c.flags, FlagsOfPanel(panel)) << c.name;
    }
}

// Keys typed one after another, each seeing the panel the one before left;
// the flags and what changed after each.
TEST(PopupToggles, KeysChangeThePanel) {
    constexpr unsigned kSpace = 0x20, kF2 = 0x71, kF3 = 0x72, kF4 = 0x73, kF5 = 0x74;
    struct Step {
        unsigned vk;
        int changed;
        int flags;
        bool shown;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"H thrice: backwards, forwards, off", {{'H', kPanelConverts, 0x002, true}, {'H', kPanelConverts, 0x001, true},
                                                {'H', kPanelConverts, 0x000, true}}},
        {"R Q E T on, then R off", {{'R', kPanelConverts, 0x100, true}, {'Q', kPanelConverts, 0x300, true},
                                   {'E', kPanelConverts, 0x700, true}, {'T', kPanelConverts, 0xF00, true},
                                   {'R', kPanelConverts, 0xE00, true}}},
        {"folded: conversion keys do nothing", {{kSpace, kPanelFolded, 0, false}, {'H', kPanelUnchanged, 0, false},
                                                {'R', kPanelUnchanged, 0, false}, {kSpace, kPanelFolded, 0, true}}},
        {"F3 unfolds and sets wrap, quote, kinsoku", {{kSpace, kPanelFolded, 0, false},
                                                      {kF3, kPanelFolded | kPanelConverts, 0x700, true}}},
        {"F4 then F5: comma and full stop both ways", {{kF4, kPanelConverts, 0x050, true}, {kF5, kPanelConverts, 0x0A0, true}}},
        {"F2 clears everything", {{'H', kPanelConverts, 0x002, true}, {'T', kPanelConverts, 0x802, true},
                                  {kF2, kPanelConverts, 0x000, true}}},
        {"C switches the order only", {{'C', kPanelCopyOrder, 0, true}}},
        {"other keys change nothing", {{'A', kPanelUnchanged, 0, true}, {0x26, kPanelUnchanged, 0, true}}},
    };
    for (const auto& c : cases) {
        PanelState panel;
        int k = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE(std::string(c.name) + ", step " + std::to_string(k++));
            EXPECT_EQ(step.changed, ApplyPanelKey(panel, step.vk));
            EXPECT_EQ(step.flags, FlagsOfPanel(panel));
            EXPECT_EQ(step.shown, panel.shown);
        }
    }
    PanelState panel;
    ApplyPanelKey(panel, 'C');
    ApplyPanelKey(panel, 'C');
    EXPECT_FALSE(panel.copyOrder) << "C twice: back to the stored order";
}

TEST(PopupToggles, HStepsOffBackwardsForwardsOff) {
    TwoWay state{false, false};
    const TwoWay expected[] = {{true, false}, {true, true}, {false, false}, {true, false}};
    for (const TwoWay& e : expected) {
        state = StepTwoWay(state);
        EXPECT_EQ(e.on, state.on);
        EXPECT_EQ(e.forward, state.forward);
    }
    EXPECT_STREQ("全角 -> 半角(&H)", TwoWayCaption(0, false));
    EXPECT_STREQ("｢．｣ -> ｢。｣(&P)", TwoWayCaption(3, false));
    EXPECT_STREQ("小文字 -> 大文字(&L)", TwoWayCaption(1, true));
    EXPECT_EQ("改行整形[40文字](&R)", WrapCaption(40));
}

TEST(PopupKeys, DigitsPickTheEntryWithThatNumber) {
    struct {
        unsigned vk;
        int count, index;
    } const cases[] = {
        {'1', 5, 0},  {'3', 5, 2},  {'5', 5, 4},   {'6', 5, -1}, {'9', 9, 8},   {'0', 9, -1},
        {'0', 10, 9}, {'0', 200, 9}, {0x61, 5, 0}, {0x67, 5, -1}, {0x60, 10, 9}, {'1', 0, -1},
        {'A', 5, -1}, {0x69, 10, 8}, {0x6A, 20, -1}, // the keypad's * is no digit
    };
    for (const auto& c : cases) EXPECT_EQ(c.index, EntryOfDigitKey(c.vk, c.count)) << c.vk << " of " << c.count;
}

// With the input method on, the keys it takes come as VK_PROCESSKEY; the
// scan code tells which they are.
TEST(PopupKeys, KeysTheInputMethodTookAreTheKeysTheyAre) {
    constexpr unsigned kProcessKey = 0xE5;
    struct {
        unsigned vk, scan, key;
    } const cases[] = {
        {kProcessKey, 0x23, 'H'}, {kProcessKey, 0x26, 'L'}, {kProcessKey, 0x25, 'K'}, {kProcessKey, 0x19, 'P'},
        {kProcessKey, 0x13, 'R'}, {kProcessKey, 0x10, 'Q'}, {kProcessKey, 0x12, 'E'}, {kProcessKey, 0x14, 'T'},
        {kProcessKey, 0x2E, 'C'}, {kProcessKey, 0x2F, 'V'}, {kProcessKey, 0x02, '1'}, {kProcessKey, 0x0B, '0'},
        {kProcessKey, 0x39, ' '}, {kProcessKey, 0x1C, 0x0D}, {kProcessKey, 0x01, 0x1B},
        {kProcessKey, 0x3B, kProcessKey}, // F1: nothing of the popup's
        {'H', 0x23, 'H'}, {0x0D, 0x1C, 0x0D}, {0x28, 0x50, 0x28}, // keys the method left alone stay
    };
    for (const auto& c : cases) EXPECT_EQ(c.key, KeyBehindInputMethod(c.vk, c.scan)) << std::hex << c.scan;
    // Through the panel: H taken by the input method steps the width.
    PanelState panel;
    EXPECT_EQ(kPanelConverts, ApplyPanelKey(panel, KeyBehindInputMethod(kProcessKey, 0x23)));
    EXPECT_TRUE(panel.on[kPanelWidth]);
}

TEST(PopupTexts, StatusLineAndDetailTitle) {
    const LocalTime t{2000, 3, 2, 7, 9, 5, 0, 0};
    EXPECT_EQ("2/5 (最大20件)", EntryStatusLine(1, 5, 20));
    EXPECT_EQ("2/5件 2000/03/07 09:05  12Bytes ", EntryDetailTitle(1, 5, &t, 12));
    EXPECT_EQ("[ERR-1]時間情報取得失敗", EntryDetailTitle(1, 5, nullptr, 12));
}

} // namespace

namespace {

using namespace kst;

TEST(PopupSearchKeys, WhatEachKeyDoesWithAndWithoutASearch) {
    constexpr unsigned kBack = 0x08, kEscape = 0x1B, kReturn = 0x0D, kDown = 0x28, kSlashKey = 0xBF;
    struct {
        bool searching;
        unsigned vk;
        bool ctrl, alt;
        char typed;
        SearchKey expected;
    } const cases[] = {
        {false, kSlashKey, false, false, '/', SearchKey::kStart},
        {false, 'F', true, false, 0, SearchKey::kStart},
        {false, 'F', false, false, 'f', SearchKey::kOther},  // F alone: the panel's
        {false, 'F', true, true, 0, SearchKey::kOther},
        {false, kSlashKey, false, false, '?', SearchKey::kOther}, // Shift: not a slash
        {false, 0x6F, false, false, '/', SearchKey::kStart},       // the keypad's slash
        {false, 'H', false, false, 'h', SearchKey::kOther},
        {false, kEscape, false, false, 0, SearchKey::kOther},
        {true, 'H', false, false, 'h', SearchKey::kType},
        {true, 'H', false, false, 'H', SearchKey::kType},
        {true, '1', false, false, '1', SearchKey::kType},
        {true, ' ', false, false, ' ', SearchKey::kType},
        {true, kSlashKey, false, false, '/', SearchKey::kType},
        {true, '1', false, true, 0, SearchKey::kOther},   // Alt+digit: the numbered entry
        {true, 'V', true, false, 0, SearchKey::kOther},   // Ctrl+V: down, as the popup key
        {true, 'Z', true, false, 0, SearchKey::kOther},   // Ctrl+Z: undo the deletion
        {true, 'F', true, false, 0, SearchKey::kOther},
        {true, kBack, false, false, '\b', SearchKey::kErase},
        {true, kEscape, false, false, 0, SearchKey::kEnd},
        {true, kEscape, true, false, 0, SearchKey::kEnd},
        {true, kReturn, false, false, '\r', SearchKey::kOther},
        {true, kDown, false, false, 0, SearchKey::kOther},
        {true, 0x7F, false, false, 0x7F, SearchKey::kOther},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, DecideSearchKey(c.searching, c.vk, c.ctrl, c.alt, c.typed))
            << c.searching << " vk " << c.vk << " ctrl " << c.ctrl << " alt " << c.alt;
}

TEST(PopupSearchTexts, QueriesShortenByWholeCharactersAndTheStatusSaysWhatIsFound) {
    struct {
        const char* query;
        const char* shorter;
    } const erases[] = {{"kaigi", "kaig"}, {"k", ""}, {"", ""}, {"aソ", "a"}, {"ソa", "ソ"}, {"表", ""}, {"a\x81", "a"}};
    for (const auto& e : erases) EXPECT_EQ(e.shorter, WithoutLastCharacter(e.query)) << e.query;
    EXPECT_EQ("/kaigi  3件", SearchStatusLine("kaigi", 3, false));
    EXPECT_EQ("/kaigi", SearchStatusLine("kaigi", -1, false));
    EXPECT_EQ("/  6件", SearchStatusLine("", 6, false));
    EXPECT_EQ("/kaigi  2件 (辞書なし)", SearchStatusLine("kaigi", 2, true));
}

TEST(PopupSearchTexts, MatchesFollowDeletionAndItsUndo) {
    EXPECT_EQ((std::vector<int>{0, 2, 4}), EntriesAfterRemoval({0, 2, 3, 5}, 3));
    EXPECT_EQ((std::vector<int>{1, 2}), EntriesAfterRemoval({1, 2}, 7));
    EXPECT_EQ((std::vector<int>{0, 3, 4, 2}), EntriesAfterReturn({0, 2, 3}, 2));
    // Deleted and put back: the same matches.
    EXPECT_EQ((std::vector<int>{0, 4, 2}), EntriesAfterReturn(EntriesAfterRemoval({0, 2, 4}, 2), 2));
}

} // namespace
