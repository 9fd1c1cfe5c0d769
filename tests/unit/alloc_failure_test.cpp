// An allocation that fails refuses the one action it was part of, and
// leaves the history, its entries' conversions and its files as they were.
// Every allocation of an action is made to fail in turn, the first, then
// the second, and so on until the action goes through.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "history/history_file.h"
#include "history/history_texts.h"
#include "reform/cp932_codec.h"
#include "reform/reform_flags.h"
#include "tests/unit/history_test_folder.h"

// The replacement below pairs malloc with free on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
// Allocations still to be made before one fails; negative: none fails.
std::atomic<long> g_allocationsBeforeFailure{-1};
} // namespace

void* operator new(std::size_t size) {
    if (g_allocationsBeforeFailure.load() >= 0 && g_allocationsBeforeFailure.fetch_sub(1) == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// Every form replaced, so that none pairs another allocator's with free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using namespace kst;
namespace fs = std::filesystem;

const Cp932Codec& codec = SystemCp932();
constexpr int kEnoughTries = 100000;

// Arms the failure of the n-th allocation from here on; disarmed on leaving.
struct FailingAllocation {
    explicit FailingAllocation(long n) { g_allocationsBeforeFailure = n; }
    ~FailingAllocation() { g_allocationsBeforeFailure = -1; }
};

class AllocationFailure : public HistoryTestFolder {
  protected:
    static void Add(ClipHistory& h, const std::u16string& text) { ASSERT_EQ(1, AddCopy(h, text)); }
    bool SaidNoMemory() const {
        for (const auto& note : host.notes)
            if (note.first == kNoMemoryTitle) return true;
        return false;
    }
};

const std::vector<std::u16string> kBefore = {u"one", u"\U0001F600 two", u"\u3042\u3044three"};

TEST_F(AllocationFailure, ACopyThatCannotBeTakenChangesNothing) {
    ClipHistory history(&host);
    history.ApplyListSettings({0, 0, 1, 0, 3}); // full: a copy also removes the oldest
    for (const auto& t : kBefore) Add(history, t);
    const std::u16string copy = u"new \u2212 copy";
    const std::string cp932 = codec.ToCp932(copy);
    int tries = 0;
    for (; tries < kEnoughTries; ++tries) {
        host.notes.clear();
        int added = 0;
        {
            FailingAllocation failing(tries);
            added = history.AddEntry(cp932.data(), int(cp932.size()), false, &copy);
        }
        if (added) break;
        ASSERT_EQ(kBefore, Texts(history)) << "allocation " << tries;
        EXPECT_TRUE(SaidNoMemory()) << "allocation " << tries;
    }
    EXPECT_GT(tries, 0);
    EXPECT_EQ((std::vector<std::u16string>{kBefore[1], kBefore[2], copy}), Texts(history));
}

TEST_F(AllocationFailure, AConversionThatCannotBeMadeLeavesNoStaleResult) {
    ClipHistory history(&host);
    Add(history, u"\uFF21\uFF22 \U0001F600 \uFF23");
    Add(history, u"\uFF21\uFF22\uFF23 plain");
    history.SetFlags(0xFFF, REFORM_TO_HALFWIDTH);
    for (int index : {0, 1}) {
        ClipItem& item = *history.Item(index);
        int tries = 0;
        for (; tries < kEnoughTries; ++tries) {
            bool failed = false;
            try {
                FailingAllocation failing(tries);
                history.ReformItem(index);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
            if (!failed) break;
            EXPECT_EQ(item.GetWideText(0), item.GetWideText(1)) << "still unconverted after allocation " << tries;
        }
        EXPECT_GT(tries, 0);
        const std::u16string converted = item.GetWideText(1);
        EXPECT_EQ(std::u16string::npos, converted.find(u'\uFF21')) << index;
        EXPECT_EQ(u'A', converted[0]) << index;
    }
}

// A deletion that could not be put back is not made; a return that cannot
// be made keeps the entry for another try.
TEST_F(AllocationFailure, ADeleteOrUndoShortOfMemoryLosesNothing) {
    ClipHistory history(&host);
    for (const auto& t : kBefore) Add(history, t);
    int tries = 0;
    for (; tries < kEnoughTries; ++tries) {
        ClipHistory::DeleteResult result;
        {
            FailingAllocation failing(tries);
            result = history.DeleteEntry(1);
        }
        if (result == ClipHistory::DeleteResult::kDeleted) break;
        ASSERT_EQ(kBefore, Texts(history)) << "allocation " << tries;
        EXPECT_TRUE(SaidNoMemory());
    }
    EXPECT_GT(tries, 0);
    for (tries = 0; tries < kEnoughTries; ++tries) {
        int back;
        {
            FailingAllocation failing(tries);
            back = history.UndoDelete();
        }
        if (back >= 0) break;
        ASSERT_EQ((std::vector<std::u16string>{kBefore[0], kBefore[2]}), Texts(history)) << "allocation " << tries;
    }
    EXPECT_EQ(kBefore, Texts(history));
}

// A load short of memory keeps the entries it could read, each whole (its
// exact text, or its code page 932 form when that could not be had), and
// holds the file until the history changes.
TEST_F(AllocationFailure, ALoadShortOfMemoryKeepsWhatItReadAndHoldsTheFile) {
    {
        ClipHistory saved(&host);
        for (const auto& t : kBefore) Add(saved, t);
        saved.TogglePin(2);
        ASSERT_EQ(1, saved.Save(path));
    }
    int tries = 0;
    for (; tries < kEnoughTries; ++tries) {
        ClipHistory history(&host);
        Add(history, u"in memory");
        int loaded = 0;
        {
            FailingAllocation failing(tries);
            loaded = history.Load(path);
        }
        if (loaded) break;
        ASSERT_TRUE(history.LoadWasRefused()) << "allocation " << tries;
        ASSERT_TRUE(history.LoadLackedMemory()) << "allocation " << tries;
        ASSERT_LE(history.Count(), 3) << "allocation " << tries;
        for (int k = 0; k < history.Count(); ++k) {
            const std::u16string text = history.Item(k)->GetWideText(0);
            ASSERT_TRUE(text == kBefore[k] || text == codec.FromCp932(codec.ToCp932(kBefore[k])))
                << "allocation " << tries << " entry " << k;
        }
        Add(history, u"a new copy"); // a change of the user's
        EXPECT_FALSE(history.LoadWasRefused()) << "allocation " << tries;
    }
    EXPECT_GT(tries, 0);
    ClipHistory history(&host);
    ASSERT_EQ(1, history.Load(path));
    EXPECT_FALSE(history.LoadWasRefused());
    EXPECT_EQ(kBefore, Texts(history));
    EXPECT_TRUE(history.Item(2)->IsPinned());
}

// Whichever allocation fails, the files hold the old history or the new
// one, and never give an entry another entry's exact text.
TEST_F(AllocationFailure, ASaveThatCannotBeMadeLeavesAHistoryFileWholeAndBound) {
    ClipHistory history(&host);
    for (const auto& t : kBefore) Add(history, t);
    ASSERT_EQ(1, history.Save(path));
    Add(history, u"\U0001F601 four");
    const std::vector<std::u16string> after = Texts(history);
    int tries = 0;
    for (; tries < kEnoughTries; ++tries) {
        int saved = 0;
        try {
            FailingAllocation failing(tries);
            saved = history.Save(path);
        } catch (const std::bad_alloc&) {
        }
        ClipHistory loaded(&host);
        ASSERT_EQ(1, loaded.Load(path));
        const std::vector<std::u16string> texts = Texts(loaded);
        if (saved) {
            EXPECT_EQ(after, texts);
            break;
        }
        for (size_t k = 0; k < texts.size(); ++k) {
            const std::vector<std::u16string>& whole = texts.size() == kBefore.size() ? kBefore : after;
            ASSERT_LT(k, whole.size());
            // Either the exact text, or its code page 932 form without one.
            EXPECT_TRUE(texts[k] == whole[k] || texts[k] == codec.FromCp932(codec.ToCp932(whole[k])))
                << "allocation " << tries << ", entry " << k;
        }
    }
    EXPECT_GT(tries, 0);
}

} // namespace
