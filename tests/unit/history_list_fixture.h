// A history with a recording host, and the helpers the list's tests share:
// adding copies, the list settings, the texts in storage and display order.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "tests/unit/fake_history_host.h"

namespace kst_test {

class HistoryListFixture : public ::testing::Test {
  protected:
    // 1 when added.
    int Add(const std::string& text, bool paths = false) {
        return history.AddEntry(text.data(), static_cast<int>(text.size()), paths);
    }
    void AddAll(std::initializer_list<const char*> texts) {
        for (const char* t : texts) Add(t);
    }
    void Settings(int invert, int copyOrder, int autoDelete = 1, int pasteDelete = 0, int limit = 20) {
        history.ApplyListSettings({invert, copyOrder, autoDelete, pasteDelete, limit});
    }
    std::string Texts() const {
        std::string all;
        for (int k = 0; k < history.Count(); ++k) all += history.GetItemText(k, 0);
        return all;
    }
    std::string DisplayedTexts() const {
        std::string all;
        for (int index : history.DisplayOrder()) all += history.GetItemText(index, 0);
        return all;
    }
    // Ranks of all entries are 0 ... k-1, each once.
    void ExpectContiguousRanks() const {
        std::vector<int> seen(history.Count(), 0);
        int ranked = 0;
        for (int k = 0; k < history.Count(); ++k) {
            const int mark = history.Item(k)->GetPasteMark();
            if (mark == -1) continue;
            ++ranked;
            ASSERT_GE(mark, 0);
            ASSERT_LT(mark, history.Count());
            ++seen[mark];
        }
        for (int r = 0; r < ranked; ++r) EXPECT_EQ(1, seen[r]) << "rank " << r;
    }

    FakeHistoryHost host;
    kst::ClipHistory history{&host};
};

} // namespace kst_test
