// A folder of its own for each test that writes history files, and the
// helpers that add copies as the capture does and read the texts back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "history/history_file.h"
#include "reform/cp932_codec.h"
#include "tests/unit/fake_history_host.h"

class HistoryTestFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("kst-" + std::to_string(std::random_device{}()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        path = (dir / kst::kHistoryFileName).string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // As the capture adds a copy: the code page 932 text, and the exact
    // text when that is not the same. 1 when added.
    static int AddCopy(kst::ClipHistory& h, const std::u16string& text) {
        const kst::Cp932Codec& codec = kst::SystemCp932();
        const std::string cp932 = codec.ToCp932(text);
        return h.AddEntry(cp932.data(), int(cp932.size()), false, codec.HoldsExactly(text) ? nullptr : &text);
    }
    static std::vector<std::u16string> Texts(const kst::ClipHistory& h) {
        std::vector<std::u16string> texts;
        for (int k = 0; k < h.Count(); ++k) texts.push_back(h.Item(k)->GetWideText(0));
        return texts;
    }

    std::filesystem::path dir;
    std::string path;
    FakeHistoryHost host;
};
