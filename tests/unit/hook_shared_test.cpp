#include <gtest/gtest.h>

#include "hook/hook_shared.h"

namespace {

TEST(HotkeyCode, ComposedFromRegistryKeyAndModifiers) {
    struct {
        uint32_t key, modifiers, code;
    } const cases[] = {
        {0x56, 2, 0x256},  {0x08, 2, 0x208}, {0x08, 3, 0x308}, {0x56, 1, 0x156},
        {0x56, 0, 0x056},  {0x56, 4, 0x056}, // unknown modifier bits are ignored
        {0x1FF, 2, 0x2FF},                   // an odd key cannot set a modifier bit
    };
    for (const auto& c : cases) EXPECT_EQ(c.code, kst::ComposeHotkeyCode(c.key, c.modifiers)) << c.key;
}

TEST(CaretPos, PacksLow16BitsOfEachCoordinate) {
    struct {
        int32_t x, y;
        uint32_t packed;
    } const cases[] = {
        {-5, 20, 0x0014FFFB}, {100, 200, 0x00C80064}, {0, 1, 0x00010000},
        {0x12345, -1, 0xFFFF2345}, {-1, -1, 0xFFFFFFFF},
    };
    for (const auto& c : cases) EXPECT_EQ(c.packed, kst::PackCaretPos(c.x, c.y)) << c.x << "," << c.y;
}

} // namespace
