// The release as a user gets it: the program unpacked from its zip (folder in
// KST_RELEASE_DIR) starts, records a Ctrl+C copy typed in the test editor and
// ends cleanly when asked, leaving the copy in its history file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "tests/win/app_bench.h"
#include "history/history_file.h"
#include "tests/apps/testeditor_protocol.h"

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

    bench::ChildProcess editor;
    ASSERT_TRUE(editor.Start("\"" + bench::ExeDirectory() + "testeditor.exe\"", true));
    HWND window = bench::WaitForWindow(KSTTEST_EDITOR_CLASS, editor.Id(), 20000);
    ASSERT_NE(nullptr, window);
    HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_TRUE(bench::BringToFront(window));
    bench::PumpFor(500);
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "リリース版でコピー");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    bench::Chord({VK_CONTROL}, 'C');
    bench::PumpFor(1000);

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, app.WaitExitCode(15000)) << "a clean exit";
    const std::string bytes = bench::ReadFileBytes(folder + "clipbuf.dat");
    const auto records = kst::DecodeHistoryFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("リリース版でコピー", records[0].text);
    editor.Stop();
    bench::DeleteVendorKey();
}

} // namespace
