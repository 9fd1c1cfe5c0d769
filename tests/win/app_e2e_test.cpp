// kestrane.exe started for real under Wine: its registry, its message boxes,
// its history file, its hidden main window.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/app_bench.h"
#include "history/history_file.h"
#include "store/setting_table.h"

namespace {

using bench::App;
using bench::AppCopy;

class AppEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { bench::DeleteVendorKey(); }
    void TearDown() override { bench::DeleteVendorKey(); }

    // Starts the program and waits until it runs (no message box expected).
    static void StartRunning(App& app) {
        ASSERT_TRUE(app.Start()) << app.StartProblem();
        ASSERT_NE(nullptr, app.WaitForMainWindow());
    }

    AppCopy copy;
};

const char* const kMain = kst::kMainKey;
const char* const kClipText = kst::kClipTextKey;

TEST_F(AppEndToEnd, FirstStartWritesEveryFirstRunValueAndTheSecondNothing) {
    {
        App app(copy);
        StartRunning(app);
        EXPECT_FALSE(bench::MessageBoxAppears(app.Id(), 1000));
        for (const kst::StoredValue& v : kst::FirstRunValues()) {
            if (v.text) {
                std::string text;
                EXPECT_TRUE(bench::GetString(v.subkey, v.name, text)) << v.name;
                EXPECT_EQ(v.text, text) << v.name;
            } else {
                DWORD value = 12345;
                EXPECT_TRUE(bench::GetDword(v.subkey, v.name, value)) << v.name;
                EXPECT_EQ(v.number, value) << v.name;
            }
        }
        EXPECT_FALSE(bench::ValueExists(kMain, "AutoLoadKey"));
        EXPECT_EQ(0u, app.Close());
    }
    bench::SetDword(kClipText, "BUFFERLIMIT", 77);
    bench::DeleteValue(kMain, "UsePalette");
    App again(copy);
    StartRunning(again);
    EXPECT_FALSE(bench::MessageBoxAppears(again.Id(), 1000));
    DWORD limit = 0;
    EXPECT_TRUE(bench::GetDword(kClipText, "BUFFERLIMIT", limit));
    EXPECT_EQ(77u, limit);
    EXPECT_FALSE(bench::ValueExists(kMain, "UsePalette")) << "the second start writes nothing";
    again.Close();
}

TEST_F(AppEndToEnd, OlderSettingsAreUpgradedWithTheirMessageOnce) {
    struct {
        DWORD from;
        bool keepsLongList;
        bool writesStopKey;
    } const cases[] = {{105, true, false}, {104, true, true}, {100, false, true}, {42, false, true}};
    for (const auto& c : cases) {
        bench::DeleteVendorKey();
        bench::SetDword(kMain, "Version", c.from);
        bench::SetDword(kMain, "LongList", 1);
        App app(copy);
        ASSERT_TRUE(app.Start()) << app.StartProblem();
        const bench::MessageBoxSeen box = bench::TakeMessageBox(app.Id(), 15000);
        ASSERT_NE(nullptr, box.window) << c.from;
        EXPECT_EQ(kst::kUpgradeCaption, box.caption);
        EXPECT_EQ(kst::UpgradeMessage(c.from), box.text) << c.from;
        ASSERT_NE(nullptr, app.WaitForMainWindow());
        DWORD value = 0;
        EXPECT_TRUE(bench::GetDword(kMain, "Version", value) && value == 106) << c.from;
        EXPECT_TRUE(bench::GetDword(kMain, "AutoLoadKey", value) && value == 86) << c.from;
        EXPECT_TRUE(bench::GetDword(kMain, "AutoLoadKeyWith", value) && value == 1) << c.from;
        EXPECT_TRUE(bench::GetDword(kMain, "LongList", value));
        EXPECT_EQ(c.keepsLongList ? 1u : 0u, value) << c.from;
        EXPECT_EQ(c.writesStopKey, bench::ValueExists(kMain, "StopKeyWith")) << c.from;
        EXPECT_FALSE(bench::ValueExists(kClipText, "BUFFERLIMIT")) << "no first-run values: " << c.from;
        app.Close();
    }
    App next(copy);
    StartRunning(next);
    EXPECT_FALSE(bench::MessageBoxAppears(next.Id(), 1000)) << "shown once";
    next.Close();
}

TEST_F(AppEndToEnd, TabrivetWarnsAtEveryStart) {
    bench::SetDword(kMain, "Version", 106);
    bench::SetDword(kst::kOtherProgramKey, "tabrivet", 1);
    for (int start = 0; start < 2; ++start) {
        App app(copy);
        ASSERT_TRUE(app.Start()) << app.StartProblem();
        const bench::MessageBoxSeen box = bench::TakeMessageBox(app.Id(), 15000);
        EXPECT_EQ(kst::kTabrivetCaption, box.caption) << start;
        EXPECT_EQ(kst::kTabrivetWarning, box.text) << start;
        ASSERT_NE(nullptr, app.WaitForMainWindow());
        app.Close();
    }
}

TEST_F(AppEndToEnd, OddRegistryValuesFallBackAndTheProgramRuns) {
    bench::SetDword(kMain, "Version", 106);
    bench::SetRaw(kMain, "HistoryKey", REG_SZ, "V", 2);
    const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    bench::SetRaw(kClipText, "BUFFERLIMIT", REG_BINARY, eight, 8);
    const std::string overlong(400, 'x');
    bench::SetRaw(kClipText, "CorrectFront", REG_SZ, overlong.c_str(), (DWORD)overlong.size() + 1);
    bench::SetDword(kst::kExceptKey, "count", 0x7FFFFFFF);
    bench::SetRaw(kst::kExceptKey, "ModuleFileName0", REG_DWORD, eight, 4);
    App app(copy);
    StartRunning(app);
    bench::PumpFor(500);
    EXPECT_TRUE(IsWindow(app.MainWindow())) << "still running";
    EXPECT_EQ(0u, app.Close());
}

TEST_F(AppEndToEnd, SecondStartSaysSoAndEndsWithZero) {
    App first(copy);
    StartRunning(first);
    App second(copy);
    ASSERT_TRUE(second.Start());
    const bench::MessageBoxSeen box = bench::TakeMessageBox(second.Id(), 15000);
    EXPECT_EQ("kestrane", box.caption);
    EXPECT_EQ("kestraneは既に起動しています", box.text);
    EXPECT_EQ(0u, second.WaitExit());
    EXPECT_TRUE(IsWindow(first.MainWindow())) << "the first keeps running";
    first.Close();
}

std::string SampleHistoryFile() {
    std::string file(1, '\x03');
    const kst::LocalTime t{2024, 11, 0, 30, 23, 59, 0, 0};
    kst::EncodeRecord(file, "first", 5, -1, t);
    const std::string japanese = "日本語のテキスト\r\n二行目";
    kst::EncodeRecord(file, japanese.data(), japanese.size(), 0, t);
    kst::EncodeRecord(file, "", 0, 1, t);
    return file;
}

TEST_F(AppEndToEnd, HistoryFileIsLoadedAndWrittenBackUnchanged) {
    const std::string file = SampleHistoryFile();
    for (bool endSession : {false, true}) {
        bench::WriteFileBytes(copy.HistoryFile(), file);
        App app(copy);
        StartRunning(app);
        if (endSession) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(app.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 10000, &answer);
            EXPECT_EQ(1u, answer) << "log-off may go on";
            EXPECT_EQ(0u, app.WaitExit());
        } else {
            EXPECT_EQ(0u, app.Close());
        }
        EXPECT_EQ(file, bench::ReadFileBytes(copy.HistoryFile())) << (endSession ? "end session" : "close");
    }
}

TEST_F(AppEndToEnd, WithoutSaveBufferTheFileIsNeitherReadNorWritten) {
    // Trailing bytes would be dropped by a load and save: the file must stay.
    const std::string file = SampleHistoryFile() + "trailing";
    bench::WriteFileBytes(copy.HistoryFile(), file);
    bench::SetDword(kMain, "Version", 106);
    bench::SetDword(kClipText, "bSAVEBUFFER", 0);
    App app(copy);
    StartRunning(app);
    app.Close();
    EXPECT_EQ(file, bench::ReadFileBytes(copy.HistoryFile()));

    bench::SetDword(kClipText, "bSAVEBUFFER", 1);
    App saving(copy);
    StartRunning(saving);
    saving.Close();
    EXPECT_EQ(SampleHistoryFile(), bench::ReadFileBytes(copy.HistoryFile())) << "read and written back whole";
}

TEST_F(AppEndToEnd, MainWindowIsHiddenAndNamed) {
    App app(copy);
    StartRunning(app);
    char title[32] = "";
    GetWindowTextA(app.MainWindow(), title, sizeof title);
    EXPECT_STREQ("kestrane", title);
    for (int k = 0; k < 5; ++k) {
        EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
        bench::PumpFor(100);
    }
    EXPECT_NE(0, GetWindowLongA(app.MainWindow(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    app.Close();
}

} // namespace
