// The release as a user gets it: the program unpacked from its zip (folder in
// KST_RELEASE_DIR) starts, records a Ctrl+C copy typed in the test editor,
// finds a copy in kanji by its romaji through the dictionary beside it, and
// ends cleanly when asked, leaving the copies in its history file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "popup/paste_popup.h"
#include "tests/win/app_bench.h"
#include "tests/win/editor.h"

namespace {

TEST(Release, StartsRecordsFindsByRomajiAndExitsCleanly) {
    const char* folderVariable = getenv("KST_RELEASE_DIR");
    if (!folderVariable) GTEST_SKIP() << "KST_RELEASE_DIR names the unpacked release";
    const std::string folder = folderVariable;
    bench::DeleteVendorKey();

    bench::ChildProcess app;
    ASSERT_TRUE(app.Start("\"" + folder + "kestrane.exe\"", true));
    HWND main = nullptr;
    ASSERT_TRUE(bench::PumpUntil([&] { return (main = bench::FindWindowOfProcess("KestraneMain", app.Id())); }, 30000));

    bench::Editor editor;
    ASSERT_TRUE(editor.Start("", "", true));
    ASSERT_TRUE(editor.BringToFront());
    bench::PumpFor(500);
    editor.SetText("リリース版でコピー");
    bench::Chord({VK_CONTROL}, 'C');
    const std::vector<std::string> copied{"リリース版でコピー"};
    EXPECT_TRUE(bench::PumpUntil([&] { return bench::HistoryTextsIn(folder + "clipbuf.dat") == copied; }, 5000))
        << "saved after the copy";

    // 会議 for "kaigi" only through the dictionary.
    editor.SetText("会議の資料");
    bench::Chord({VK_CONTROL}, 'C');
    const std::vector<std::string> both{"リリース版でコピー", "会議の資料"};
    EXPECT_TRUE(bench::PumpUntil([&] { return bench::HistoryTextsIn(folder + "clipbuf.dat") == both; }, 5000));
    bench::Chord({VK_CONTROL}, 'V');
    HWND popup = nullptr;
    ASSERT_TRUE(bench::PumpUntil([&] {
        popup = bench::FindWindowOfProcess(bench::kPopupClass, app.Id());
        return popup && IsWindowVisible(popup);
    }, 5000));
    for (WORD vk : {WORD(VK_OEM_2), WORD('K'), WORD('A'), WORD('I'), WORD('G'), WORD('I')})
        bench::SendKeys({{vk, false}, {vk, true}});
    HWND list = GetDlgItem(popup, kst::kHistoryList);
    char status[128] = {};
    EXPECT_TRUE(bench::PumpUntil([&] {
        GetWindowTextA(GetDlgItem(popup, kst::kStatusLine), status, sizeof status);
        return std::string(status) == "/kaigi  1件" && SendMessageA(list, LB_GETCOUNT, 0, 0) == 1 &&
               SendMessageA(list, LB_GETITEMDATA, 0, 0) == 1;
    }, 10000)) << status;
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}, {VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(bench::PumpUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 5000));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, app.WaitExitCode(15000)) << "a clean exit";
    EXPECT_EQ(both, bench::HistoryTextsIn(folder + "clipbuf.dat"));
    editor.Stop();
    bench::DeleteVendorKey();
}

} // namespace
