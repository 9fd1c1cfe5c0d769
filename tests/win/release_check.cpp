// The release as a user gets it: the program unpacked from its zip (folder in
// KST_RELEASE_DIR) starts, records a Ctrl+C copy typed in the test editor and
// ends cleanly when asked, leaving the copy in its history file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "tests/win/app_bench.h"
#include "tests/win/editor.h"

namespace {

TEST(Release, StartsRecordsACopyAndExitsCleanly) {
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

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, app.WaitExitCode(15000)) << "a clean exit";
    EXPECT_EQ(copied, bench::HistoryTextsIn(folder + "clipbuf.dat"));
    editor.Stop();
    bench::DeleteVendorKey();
}

} // namespace
