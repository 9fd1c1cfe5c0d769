#include <gtest/gtest.h>

#include <string>

#include "history/clip_item.h"
#include "tests/unit/recording_progress.h"
#include "reform/reform_flags.h"

namespace {

using namespace kst;

struct Entry {
    RecordingProgress* progress;
    ClipItem item;
    explicit Entry(const std::string& text)
        : progress(new RecordingProgress), item(std::unique_ptr<ProgressIndicator>(progress)) {
        item.Clear();
        item.SetText(text.data(), static_cast<int>(text.size()));
    }
    void Reform(int flags, int column = 60, int tab = 4, int tabReplace = 0) {
        item.SetReformFlag(flags, column, tab, tabReplace, ">", kDefaultCorrectFront, kDefaultCorrectEnd,
                           nullptr, nullptr);
    }
};

TEST(ClipItem, TextSelection) {
    Entry e("abc");
    EXPECT_STREQ("abc", e.item.GetText(1));
    EXPECT_EQ(3, e.item.GetLength(1));
    EXPECT_EQ(0, e.item.IsPasted());

    e.Reform(0);
    EXPECT_STREQ("abc", e.item.GetText(1)) << "flags 0 and no tab replacement: the source";

    Entry tags("<b></b>");
    tags.Reform(REFORM_TAG_REMOVE);
    EXPECT_STREQ("", tags.item.GetText(1)) << "the reformatted text even when empty";
    EXPECT_EQ(0, tags.item.GetLength(1));
    EXPECT_STREQ("<b></b>", tags.item.GetText(0));

    Entry tabs("a\tb");
    tabs.Reform(0, 60, 4, 1);
    EXPECT_STREQ("a   b", tabs.item.GetText(1)) << "tab replacement alone selects the result";
}

TEST(ClipItem, ClearKeepsTimeAndDropsRank) {
    Entry e("x");
    e.item.captureTime.wYear = 2024;
    e.item.SetPasteMark(0);
    EXPECT_EQ(1, e.item.IsPasted());
    e.item.SetPasteMark(-1);
    EXPECT_EQ(0, e.item.IsPasted());
    e.item.SetPasteMark(3);
    e.item.Clear();
    EXPECT_EQ(0, e.item.IsPasted());
    EXPECT_EQ(2024, e.item.captureTime.wYear);
    EXPECT_STREQ("", e.item.GetText(0));
}

TEST(ClipItem, ConversionIsCachedByFlagsTabsAndColumnWhenWrapping) {
    const std::string longText(20000, 'a'); // long enough to show when it converts
    Entry e(longText);
    auto rebuilds = [&] { return e.progress->created; };

    e.Reform(0);
    EXPECT_EQ(0, rebuilds()) << "the fresh entry's parameters: nothing to do";
    e.Reform(REFORM_TO_UPPER);
    EXPECT_EQ(1, rebuilds());
    e.Reform(REFORM_TO_UPPER);
    EXPECT_EQ(1, rebuilds()) << "same parameters";
    e.Reform(REFORM_TO_UPPER, 30);
    EXPECT_EQ(1, rebuilds()) << "the column alone counts only when wrapping";
    e.Reform(REFORM_TO_UPPER | REFORM_WRAP, 30);
    EXPECT_EQ(2, rebuilds());
    e.Reform(REFORM_TO_UPPER | REFORM_WRAP, 40);
    EXPECT_EQ(3, rebuilds());
    e.Reform(REFORM_TO_UPPER | REFORM_WRAP, 40, 8);
    EXPECT_EQ(4, rebuilds());
    e.Reform(REFORM_TO_UPPER | REFORM_WRAP, 40, 8, 1);
    EXPECT_EQ(5, rebuilds());
    EXPECT_EQ(e.progress->created, e.progress->destroyed);
}

} // namespace
