// Made-up key events through the keyboard hook's real decision code.
#include <gtest/gtest.h>

#include <vector>

#include "hook/key_decision.h"

namespace {

using kst::DecideKey;
using kst::KeyDecision;
using kst::KeyEvent;

constexpr uint32_t kPress = 0x002F0001;              // repeat 1, scan code of V
constexpr uint32_t kRepeat = kPress | (1u << 30);    // held down: auto-repeat
constexpr uint32_t kRelease = kPress | (3u << 30);   // key up
constexpr uint32_t kVkBack = 0x08, kVkV = 0x56, kVkA = 0x41;

// The first-run keys: Ctrl+V, Ctrl+Backspace, Ctrl+Alt+Backspace, Alt+V.
constexpr kst::Hotkeys kDefaultKeys{0x256, 0x208, 0x308, 0x156};

enum Mods { kNone = 0, kCtrl = 1, kAlt = 2, kCtrlAlt = 3 };

struct Case {
    const char* name;
    int32_t mode;
    uint32_t vk;
    Mods mods;
    uint32_t lParam;
    bool onceThrough;
    bool swallow;
    std::vector<uint32_t> posts;
    bool clearsOnceThrough;
};

KeyDecision Decide(const Case& c, const kst::Hotkeys& keys = kDefaultKeys) {
    const KeyEvent e{c.vk, c.lParam, (c.mods & kCtrl) != 0, (c.mods & kAlt) != 0};
    return DecideKey(c.mode, e, keys, c.onceThrough);
}

void ExpectDecision(const Case& c, const KeyDecision& d) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.swallow, d.swallow);
    EXPECT_EQ(c.clearsOnceThrough, d.clearOnceThrough);
    ASSERT_GE(d.postCount, 0);
    ASSERT_LE(d.postCount, 2);
    EXPECT_EQ(c.posts, std::vector<uint32_t>(d.posts, d.posts + d.postCount));
}

const Case kCases[] = {
    // Mode 0: the popup key is taken in every transition unless let through once.
    {"popup press", 0, kVkV, kCtrl, kPress, false, true, {0x256}, false},
    {"popup repeat", 0, kVkV, kCtrl, kRepeat, false, true, {0x256}, false},
    {"popup release", 0, kVkV, kCtrl, kRelease, false, true, {0x256}, false},
    {"popup once-through press", 0, kVkV, kCtrl, kPress, true, false, {}, true},
    {"popup once-through repeat", 0, kVkV, kCtrl, kRepeat, true, false, {}, true},
    {"release keeps once-through", 0, kVkV, kCtrl, kRelease, true, true, {0x256}, false},
    {"bare V passes", 0, kVkV, kNone, kPress, false, false, {}, false},
    {"Ctrl+Alt+V is not the popup key", 0, kVkV, kCtrlAlt, kPress, false, false, {}, false},
    // Clear, stop and simple-paste keys: only the fresh press is taken.
    {"clear press", 0, kVkBack, kCtrl, kPress, false, true, {0x208}, false},
    {"clear repeat passes", 0, kVkBack, kCtrl, kRepeat, false, false, {}, false},
    {"clear release passes", 0, kVkBack, kCtrl, kRelease, false, false, {}, false},
    {"stop press", 0, kVkBack, kCtrlAlt, kPress, false, true, {0x308}, false},
    {"stop repeat passes", 0, kVkBack, kCtrlAlt, kRepeat, false, false, {}, false},
    {"simple paste press", 0, kVkV, kAlt, kPress, false, true, {0x156}, false},
    {"simple paste repeat passes", 0, kVkV, kAlt, kRepeat, false, false, {}, false},
    {"bare Backspace passes", 0, kVkBack, kNone, kPress, false, false, {}, false},
    // Copy notices are reported and never swallowed.
    {"Ctrl+C reported", 0, kst::kVkC, kCtrl, kPress, false, false, {0x243}, false},
    {"Ctrl+X reported", 0, kst::kVkX, kCtrl, kPress, false, false, {0x258}, false},
    {"Ctrl+C repeat not reported", 0, kst::kVkC, kCtrl, kRepeat, false, false, {}, false},
    {"Ctrl+C release not reported", 0, kst::kVkC, kCtrl, kRelease, false, false, {}, false},
    {"Ctrl+Alt+C not reported", 0, kst::kVkC, kCtrlAlt, kPress, false, false, {}, false},
    {"bare C not reported", 0, kst::kVkC, kNone, kPress, false, false, {}, false},
    // Mode 1: every transition of every key, bare code, swallowed.
    {"all keys: press", 1, kVkA, kNone, kPress, false, true, {kVkA}, false},
    {"all keys: release", 1, kVkA, kNone, kRelease, false, true, {kVkA}, false},
    {"all keys: Ctrl+V bare", 1, kVkV, kCtrl, kPress, false, true, {kVkV}, false},
    {"all keys: once-through untouched", 1, kVkV, kCtrl, kPress, true, true, {kVkV}, false},
    // Mode 2 and unknown modes take nothing and report nothing.
    {"none: popup passes", 2, kVkV, kCtrl, kPress, false, false, {}, false},
    {"none: copy not reported", 2, kst::kVkC, kCtrl, kPress, false, false, {}, false},
    {"mode 7: popup passes", 7, kVkV, kCtrl, kPress, false, false, {}, false},
    {"mode -1: stop passes", -1, kVkBack, kCtrlAlt, kPress, false, false, {}, false},
    // Mode 3: the stop key's fresh press only.
    {"stop only: stop press", 3, kVkBack, kCtrlAlt, kPress, false, true, {0x308}, false},
    {"stop only: stop repeat", 3, kVkBack, kCtrlAlt, kRepeat, false, false, {}, false},
    {"stop only: popup passes", 3, kVkV, kCtrl, kPress, false, false, {}, false},
    {"stop only: clear passes", 3, kVkBack, kCtrl, kPress, false, false, {}, false},
    {"stop only: copy not reported", 3, kst::kVkC, kCtrl, kPress, false, false, {}, false},
    {"stop only: our paste uses once-through", 3, kVkV, kCtrl, kPress, true, false, {}, true},
};

TEST(KeyDecision, EveryModeAndRule) {
    for (const Case& c : kCases) ExpectDecision(c, Decide(c));
}

TEST(KeyDecision, ShiftIsIgnoredBecauseItIsNotPartOfTheEvent) {
    // The hook reads only Ctrl and Alt, so Shift+Ctrl+V arrives as Ctrl+V.
    const Case c{"shift+ctrl+V", 0, kVkV, kCtrl, kPress, false, true, {0x256}, false};
    ExpectDecision(c, Decide(c));
}

TEST(KeyDecision, KeysFollowTheSharedBlock) {
    const kst::Hotkeys moved{0x251 /* Ctrl+Q */, 0x208, 0x308, 0x156};
    ExpectDecision({"Ctrl+Q taken", 0, 0x51, kCtrl, kPress, false, true, {0x251}, false},
                   Decide({"", 0, 0x51, kCtrl, kPress, false, {}, {}, {}}, moved));
    ExpectDecision({"Ctrl+V passes", 0, kVkV, kCtrl, kPress, false, false, {}, false},
                   Decide({"", 0, kVkV, kCtrl, kPress, false, {}, {}, {}}, moved));
}

// Our own Ctrl+V carries the once-through flag and passes whichever hotkey
// it matches; without the flag the same key is the user's and is taken.
TEST(KeyDecision, OurOwnCtrlVPassesWhicheverHotkeyItMatches) {
    const struct {
        const char* name;
        int32_t mode;
        kst::Hotkeys keys;
        Mods mods;
    } rows[] = {
        {"simple paste on Ctrl+V, popup on Alt+V", 0, {0x156, 0x208, 0x308, 0x256}, kCtrl},
        {"clear on Ctrl+V", 0, {0x156, 0x256, 0x308, 0x351}, kCtrl},
        {"popup on Ctrl+V", 0, kDefaultKeys, kCtrl},
        {"popup on Ctrl+Alt+V, Alt held by the hands", 0, {0x356, 0x208, 0x308, 0x156}, kCtrlAlt},
        {"stop on Ctrl+V while paused", 3, {0x156, 0x208, 0x256, 0x151}, kCtrl},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const KeyEvent e{kVkV, kPress, (r.mods & kCtrl) != 0, (r.mods & kAlt) != 0};
        const KeyDecision ours = DecideKey(r.mode, e, r.keys, true);
        EXPECT_FALSE(ours.swallow);
        EXPECT_EQ(0, ours.postCount) << "no action of ours follows our own key";
        EXPECT_TRUE(ours.clearOnceThrough);
        const KeyDecision users = DecideKey(r.mode, e, r.keys, false);
        EXPECT_TRUE(users.swallow);
        EXPECT_EQ(1, users.postCount);
    }
    // Another key with the flag set is the user's: the flag waits for ours.
    const kst::Hotkeys clearOnCtrlBack{0x208, 0x208, 0x308, 0x156};
    ExpectDecision({"Ctrl+Backspace taken, flag kept", 0, kVkBack, kCtrl, kPress, true, true, {0x208}, false},
                   Decide({"", 0, kVkBack, kCtrl, kPress, true, {}, {}, {}}, clearOnCtrlBack));
}

// In key mode 1 only keys typed in the popup's application are the popup's;
// a program that has stopped taking its forwards takes nothing at all.
TEST(KeyDecision, ThePopupsThreadAndAStuckProgramDecideWhatIsTaken) {
    const struct {
        const char* name;
        int32_t mode;
        kst::KeySituation situation;
        uint32_t vk;
        Mods mods;
        bool swallow;
        std::vector<uint32_t> posts;
    } rows[] = {
        {"popup open, its application", 1, {true, false}, kVkA, kNone, true, {kVkA}},
        {"popup open, another application", 1, {false, false}, kVkA, kNone, false, {}},
        {"popup open, Enter elsewhere", 1, {false, false}, 0x0D, kNone, false, {}},
        {"popup open, program stuck", 1, {true, true}, kVkA, kNone, false, {}},
        {"hotkeys, program stuck: Ctrl+V passes", 0, {true, true}, kVkV, kCtrl, false, {}},
        {"hotkeys, program stuck: copy not reported", 0, {true, true}, kst::kVkC, kCtrl, false, {}},
        {"hotkeys, other thread does not matter", 0, {false, false}, kVkV, kCtrl, true, {0x256}},
        {"paused, program stuck: stop passes", 3, {true, true}, kVkBack, kCtrlAlt, false, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const KeyEvent e{r.vk, kPress, (r.mods & kCtrl) != 0, (r.mods & kAlt) != 0};
        const KeyDecision d = DecideKey(r.mode, e, kDefaultKeys, false, 0, r.situation);
        EXPECT_EQ(r.swallow, d.swallow);
        EXPECT_EQ(r.posts, std::vector<uint32_t>(d.posts, d.posts + d.postCount));
    }
    // The key that follows our own keystrokes is ours whatever the state.
    const KeyEvent done{kst::kOwnKeysDoneVk, kPress, true, false};
    EXPECT_TRUE(DecideKey(1, done, kDefaultKeys, false, 0, {false, true}).swallow);
}

TEST(KeyDecision, AProgramLooksStuckOnlyWithForwardsWaitingAndNoProgress) {
    const struct {
        const char* name;
        uint32_t posted, taken, progress, now;
        bool stuck;
    } rows[] = {
        {"nothing waiting, long idle", 40, 40, 1000, 900000, false},
        {"one waiting, just posted", 41, 40, 1000, 1100, false},
        {"one waiting, at the limit", 41, 40, 1000, 1000 + kst::kProgramStuckMs, false},
        {"one waiting, past the limit", 41, 40, 1000, 1001 + kst::kProgramStuckMs, true},
        {"the tick count wrapped", 41, 40, 0xFFFFFF00u, 0x100, false},
        {"wrapped and past the limit", 41, 40, 0xFFFFFF00u, kst::kProgramStuckMs + 0x200, true},
        {"counts wrapped too", 2, 0xFFFFFFFFu, 1000, 1200, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.stuck, kst::ProgramLooksStuck(r.posted, r.taken, r.progress, r.now)) << r.name;
}

TEST(KeyDecision, CopyNoticeAndSimplePasteOnOneKeyPostTwice) {
    const kst::Hotkeys copyPaste{0x256, 0x208, 0x308, 0x243 /* Ctrl+C */};
    ExpectDecision({"both", 0, kst::kVkC, kCtrl, kPress, false, true, {0x243, 0x243}, false},
                   Decide({"", 0, kst::kVkC, kCtrl, kPress, false, {}, {}, {}}, copyPaste));
}

TEST(KeyDecision, CodesAboveOneByteNeverMatch) {
    // wParam beyond the virtual-key range must not alias a hotkey's low byte.
    ExpectDecision({"0x156 as vk", 0, 0x156, kAlt, kPress, false, false, {}, false},
                   Decide({"", 0, 0x156, kAlt, kPress, false, {}, {}, {}}));
}

// A person's hands across several key events: each event sees the record
// that the one before it left.
struct Hands {
    int32_t mode = 0;
    bool onceThrough = false;
    uint32_t held = 0;
    KeyDecision Key(uint32_t vk, Mods state, uint32_t lParam, Mods physical = kNone,
                    const kst::Hotkeys& keys = kDefaultKeys) {
        KeyEvent e{vk, lParam, (state & kCtrl) != 0, (state & kAlt) != 0};
        e.ctrlPhysical = (physical & kCtrl) != 0;
        e.altPhysical = (physical & kAlt) != 0;
        const KeyDecision d = DecideKey(mode, e, keys, onceThrough, held);
        held = d.heldAfter;
        if (d.clearOnceThrough) onceThrough = false;
        return d;
    }
};

constexpr uint32_t kVkControl = 0x11, kVkMenu = 0x12, kVkLMenu = 0xA4;

TEST(KeyDecision, AHeldModifierStaysHeldAfterOurPasteResetTheState) {
    struct Row {
        const char* name;
        uint32_t vk;
        Mods hotkeyMods;
        uint32_t code;
    } const rows[] = {
        {"Ctrl held, V tapped again", kVkV, kCtrl, 0x256},
        {"Alt held, V tapped again", kVkV, kAlt, 0x156},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Hands hands;
        EXPECT_TRUE(hands.Key(r.vk, r.hotkeyMods, kPress, r.hotkeyMods).swallow);
        hands.Key(r.vk, r.hotkeyMods, kRelease, r.hotkeyMods);
        // Our paste reset the application's key state; the hands still hold the modifier.
        const KeyDecision again = hands.Key(r.vk, kNone, kPress, r.hotkeyMods);
        EXPECT_TRUE(again.swallow);
        EXPECT_EQ(std::vector<uint32_t>{r.code}, std::vector<uint32_t>(again.posts, again.posts + again.postCount));
        // Released where the hook did not see it: the physical state decides.
        EXPECT_FALSE(hands.Key(r.vk, kNone, kPress, kNone).swallow) << "a bare key is typed";
    }
}

TEST(KeyDecision, TheModifiersOwnPressOrReleaseEndsTheRecord) {
    Hands hands;
    hands.Key(kVkV, kCtrl, kPress, kCtrl);
    EXPECT_NE(0u, hands.held);
    EXPECT_FALSE(hands.Key(kVkControl, kCtrl, kRepeat, kCtrl).swallow);
    EXPECT_NE(0u, hands.held) << "an auto-repeat of Ctrl changes nothing";
    EXPECT_FALSE(hands.Key(kVkControl, kNone, kRelease, kNone).swallow) << "Ctrl's release reaches the application";
    EXPECT_EQ(0u, hands.held);
    EXPECT_FALSE(hands.Key(kVkV, kNone, kPress, kCtrl).swallow) << "no record: the state decides";
}

TEST(KeyDecision, TheReleaseOfAnAltWhoseHotkeyWeTookNeverReachesTheApplication) {
    // A quick Alt+V: Alt released before V. The application saw Alt go down
    // and nothing else; a lone Alt release would open its menu bar.
    Hands hands;
    EXPECT_FALSE(hands.Key(kVkMenu, kNone, kPress).swallow);
    EXPECT_TRUE(hands.Key(kVkV, kAlt, kPress, kAlt).swallow);
    EXPECT_TRUE(hands.Key(kVkMenu, kAlt, kRelease).swallow);
    EXPECT_FALSE(hands.Key(kVkV, kNone, kRelease).swallow);
    // The next lone Alt tap is the user's own: it opens the menu as usual.
    EXPECT_FALSE(hands.Key(kVkLMenu, kNone, kPress).swallow);
    EXPECT_FALSE(hands.Key(kVkLMenu, kAlt, kRelease).swallow);
    // A stale record from another application: a fresh Alt press ends it.
    hands.held = kst::kHotkeyAlt;
    EXPECT_FALSE(hands.Key(kVkMenu, kNone, kPress).swallow);
    EXPECT_FALSE(hands.Key(kVkMenu, kAlt, kRelease).swallow);
}

TEST(KeyDecision, TheRecordAppliesInTheModesThatTakeHotkeys) {
    struct Row {
        int32_t mode;
        bool altReleaseTaken;
    } const rows[] = {{0, true}, {3, true}, {2, false}, {1, true /* every key is taken */}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        Hands hands;
        hands.held = kst::kHotkeyAlt;
        hands.mode = r.mode;
        EXPECT_EQ(r.altReleaseTaken, hands.Key(kVkMenu, kAlt, kRelease).swallow);
        EXPECT_EQ(0u, hands.held);
    }
    Hands popupOpen;
    popupOpen.mode = 1;
    popupOpen.Key(kVkV, kCtrl, kPress, kCtrl);
    EXPECT_EQ(0u, popupOpen.held) << "bare codes in mode 1 carry no modifiers";
}

TEST(KeyDecision, OurOwnCtrlVTypedWithAltClearedIsAPlainCtrlV) {
    // Alt held, Alt+V taken; we type Ctrl+V with Alt cleared from the state.
    Hands hands;
    hands.Key(kVkV, kAlt, kPress, kAlt);
    hands.onceThrough = true;
    const KeyDecision ours = hands.Key(kVkV, kCtrl, kPress, kAlt);
    EXPECT_FALSE(ours.swallow) << "let through once";
    EXPECT_FALSE(hands.onceThrough) << "and the flag is used up";
}

TEST(KeyDecision, TheKeyAfterOurOwnKeystrokesIsTakenAndReportedInEveryMode) {
    for (int32_t mode : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(mode);
        Hands hands;
        hands.mode = mode;
        hands.held = kst::kHotkeyCtrl;
        const KeyDecision press = hands.Key(kst::kOwnKeysDoneVk, kCtrl, kPress, kCtrl);
        EXPECT_TRUE(press.swallow);
        EXPECT_EQ(std::vector<uint32_t>{kst::kOwnKeysDoneCode}, std::vector<uint32_t>(press.posts, press.posts + press.postCount));
        EXPECT_EQ(kst::kHotkeyCtrl, hands.held) << "it changes no record";
        const KeyDecision release = hands.Key(kst::kOwnKeysDoneVk, kCtrl, kRelease, kCtrl);
        EXPECT_TRUE(release.swallow);
        EXPECT_EQ(0, release.postCount);
    }
}

// In the main program's process (the system's path for an application of
// the other bitness) the thread's own key state is ours: the decision must
// come out as it would inside the application, from the asynchronous state.
TEST(KeyDecision, InTheMainProcessTheAsynchronousStateTellsTheModifiers) {
    const struct {
        const char* name;
        bool inMain;
        Mods thread, async;
        uint32_t vk;
        bool swallow;
        std::vector<uint32_t> posts;
    } cases[] = {
        {"main: Ctrl held, thread state up", true, kNone, kCtrl, kVkV, true, {0x256}},
        {"main: Alt held", true, kNone, kAlt, kVkV, true, {0x156}},
        {"main: Ctrl+Alt held", true, kNone, kCtrlAlt, kVkBack, true, {0x308}},
        {"main: Ctrl+C copy notice", true, kNone, kCtrl, 0x43, false, {0x243}},
        {"main: stale Ctrl in our thread's state", true, kCtrl, kNone, kVkV, false, {}},
        {"application: its thread state rules", false, kCtrl, kNone, kVkV, true, {0x256}},
        {"application: async alone is not enough", false, kNone, kCtrl, kVkV, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyEvent e = kst::MakeKeyEvent(c.vk, kPress, c.inMain, {(c.thread & kCtrl) != 0, (c.thread & kAlt) != 0},
                                             {(c.async & kCtrl) != 0, (c.async & kAlt) != 0});
        const KeyDecision d = DecideKey(0, e, kDefaultKeys, false);
        EXPECT_EQ(c.swallow, d.swallow);
        EXPECT_EQ(c.posts, std::vector<uint32_t>(d.posts, d.posts + d.postCount));
    }
}

// Two registrations of the hook call it twice for one message; nothing else
// may look like that, not even an auto-repeat of the same key.
TEST(KeyDecision, OnlyTheSameMessageInTheSameThreadIsTheSameCall) {
    const kst::KeyCallStamp first{7, kVkV, kPress, 1000};
    const struct {
        const char* name;
        kst::KeyCallStamp other;
        bool same;
    } cases[] = {
        {"the same message again", {7, kVkV, kPress, 1000}, true},
        {"an auto-repeat a moment later", {7, kVkV, kRepeat, 1033}, false},
        {"an identical repeat a moment later", {7, kVkV, kPress, 1033}, false},
        {"its release", {7, kVkV, kRelease, 1000}, false},
        {"another thread", {8, kVkV, kPress, 1000}, false},
        {"another key", {7, kVkA, kPress, 1000}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, kst::IsSameKeyCall(first, c.other)) << c.name;
}

} // namespace
