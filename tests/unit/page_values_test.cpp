// The settings pages' value mapping and the code page 932 path helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reform/cp932_path.h"
#include "settings/page_values.h"

namespace {

using namespace kst;

TEST(PageValues, NumbersAreClampedAsTheBoxesStoreThem) {
    struct {
        const char* text;
        uint32_t low, high, stored;
    } const cases[] = {
        {"5", 20, 200, 20},    {"1000", 20, 200, 200}, {"", 20, 200, 20},     {"120", 20, 200, 120},
        {"19", 20, 256, 20},   {"300", 20, 256, 256},  {"256", 20, 256, 256}, {"99999999999", 20, 200, 200},
        {"abc", 20, 200, 20},  {"45x", 20, 200, 45},
    };
    for (const auto& c : cases) EXPECT_EQ(c.stored, StoredInRange(c.text, c.low, c.high)) << '"' << c.text << '"';
    EXPECT_EQ(0u, ParseUnsigned(nullptr));
}

TEST(PageValues, RadioGroups) {
    const int copyOrder[] = {0, 1, 2, -1, -1};
    for (uint32_t v = 0; v < 5; ++v) EXPECT_EQ(copyOrder[v], CopyOrderButton(v)) << v;
    EXPECT_EQ(0u, StoredCopyOrder(false, false));
    EXPECT_EQ(1u, StoredCopyOrder(true, false));
    EXPECT_EQ(2u, StoredCopyOrder(false, true));
    const struct {
        uint32_t nTab;
        int button;
    } tabs[] = {{2, 0}, {4, 1}, {8, 2}, {3, -1}, {0, -1}, {16, -1}};
    for (const auto& t : tabs) EXPECT_EQ(t.button, TabButton(t.nTab)) << t.nTab;
    EXPECT_EQ(0u, StoredTab(false, false, false)) << "none chosen stores 0";
    EXPECT_EQ(8u, StoredTab(false, false, true));
}

TEST(PageValues, FilePathBits) {
    struct {
        uint32_t stored;
        bool record, toClipboard, nameOnly, enabled;
    } const shown[] = {
        {0, false, false, false, false}, {6, false, false, false, false}, {1, true, false, false, true},
        {3, true, true, false, true},    {7, true, true, true, true},     {5, true, false, true, true},
    };
    for (const auto& c : shown) {
        const FilePathBoxes b = FilePathShown(c.stored);
        EXPECT_EQ(c.record, b.record) << c.stored;
        EXPECT_EQ(c.toClipboard, b.toClipboard) << c.stored;
        EXPECT_EQ(c.nameOnly, b.nameOnly) << c.stored;
        EXPECT_EQ(c.enabled, b.dependentsEnabled) << c.stored;
    }
    EXPECT_EQ(0u, StoredFilePath(false, true, true)) << "the dependents count only with the first";
    EXPECT_EQ(7u, StoredFilePath(true, true, true));
    EXPECT_EQ(5u, StoredFilePath(true, false, true));
}

TEST(PageValues, SelectionAfterDeletingARow) {
    EXPECT_EQ(1, SelectionAfterDelete(3, 2)) << "the last of three: the new last";
    EXPECT_EQ(0, SelectionAfterDelete(3, 0)) << "the first: what followed it";
    EXPECT_EQ(1, SelectionAfterDelete(3, 1));
    EXPECT_EQ(-1, SelectionAfterDelete(1, 0)) << "the only one: no selection";
    EXPECT_EQ(-1, SelectionAfterDelete(3, -1));
}

TEST(PageValues, KeyNamesByteForByte) {
    const std::vector<KeyName> names = {{8, "BackSpace"}, {28, "変換(XFER)"}, {123, "F12 Key"},
                                        {220, "\\ (|) Key"}, {226, "\\ (_) Key"}};
    EXPECT_EQ(123, KeyCodeOfName(names, "F12 Key"));
    EXPECT_EQ(226, KeyCodeOfName(names, "\\ (_) Key"));
    EXPECT_EQ(28, KeyCodeOfName(names, "変換(XFER)"));
    EXPECT_EQ(-1, KeyCodeOfName(names, "f12 key")) << "case counts";
    EXPECT_EQ(-1, KeyCodeOfName(names, ""));
    EXPECT_EQ(3, RowOfKeyCode(names, 220));
    EXPECT_EQ(-1, RowOfKeyCode(names, 86)) << "a code without a name shows no row";
}

TEST(Cp932Path, SeparatorsAreNeverTrailBytes) {
    struct {
        const char* path;
        const char* folder;
        const char* name;
    } const cases[] = {
        {"C:\\data\\予定表.txt", "C:\\data\\", "予定表.txt"},
        {"C:\\data\\ソース.txt", "C:\\data\\", "ソース.txt"},
        {"C:\\能力\\十.exe", "C:\\能力\\", "十.exe"},
        {"C:\\予定表", "C:\\", "予定表"},
        {"予定表.exe", "", "予定表.exe"},
        {"C:\\dir\\", "C:\\dir\\", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, ParentFolder(c.path)) << c.path;
        EXPECT_EQ(c.name, FileNameOf(c.path)) << c.path;
    }
    // A lead byte at the very end stands alone and never swallows the zero.
    const char dangling[] = {'a', '\\', 'b', static_cast<char>(0x95), '\0'};
    EXPECT_EQ(2u, FileNameOffset(dangling, 4));
}

TEST(Cp932Path, SamePathIgnoresTheCaseOfSingleByteLettersOnly) {
    EXPECT_TRUE(SamePath("C:\\Tools\\Editor.EXE", "c:\\tools\\editor.exe"));
    EXPECT_TRUE(SamePath("C:\\予定表\\a.exe", "c:\\予定表\\A.EXE"));
    // ア is 83 41 ("A" as its second byte), ヂ is 83 61 ("a"): different.
    EXPECT_FALSE(SamePath("C:\\ア.exe", "C:\\ヂ.exe"));
    EXPECT_FALSE(SamePath("C:\\a.exe", "C:\\a.ex"));
    EXPECT_TRUE(SamePath("", ""));
}

} // namespace
