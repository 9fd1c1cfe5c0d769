// The platform the tests stand on: a Japanese code page and resources
// stored with the right encoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/app_shell.h"
#include "tests/win/bench.h"
#include "version.h"

namespace {

TEST(Platform, AnsiCodePageIsJapanese) { EXPECT_EQ(932u, GetACP()); }

TEST(Platform, VersionResourceReadsBackAsShiftJis) {
    const std::string exe = bench::ExeDirectory() + "kestrane.exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041103a4\\FileDescription",
                               (void**)&text, &length));
    EXPECT_EQ("クリップボード履歴ツール", std::string(text));

    // The version in both forms, from the one the build was given.
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041103a4\\ProductVersion", (void**)&text, &length));
    EXPECT_EQ(KST_VERSION_TEXT, std::string(text));
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(DWORD(MAKELONG(KST_VERSION_MINOR, KST_VERSION_MAJOR)), fixed->dwFileVersionMS);
    EXPECT_EQ(DWORD(MAKELONG(KST_VERSION_MINOR, KST_VERSION_MAJOR)), fixed->dwProductVersionMS);
}

} // namespace

namespace {

TEST(ProgramDirectory, IsTheFolderOfTheProgramWithItsBackslash) {
    char buffer[MAX_PATH];
    EXPECT_EQ(1, kst::ProgramDirectory(buffer, sizeof buffer));
    EXPECT_EQ(bench::ExeDirectory(), std::string(buffer));
    char tiny[4] = "xyz";
    EXPECT_EQ(1, kst::ProgramDirectory(tiny, sizeof tiny));
    EXPECT_EQ(3u, strlen(tiny)) << "cut to the buffer, always terminated";
}

} // namespace

namespace {

// The program tells its own clipboard writes by the sequence number it reads
// right after writing: it must stay put until the next write, and move then.
TEST(Platform, ClipboardSequenceNumberMovesWithEachWriteOnly) {
    ASSERT_TRUE(bench::SetClipboardText("first"));
    const DWORD afterFirst = GetClipboardSequenceNumber();
    bench::PumpFor(300);
    ASSERT_TRUE(OpenClipboard(nullptr));
    GetClipboardData(CF_TEXT);
    CloseClipboard();
    EXPECT_EQ(afterFirst, GetClipboardSequenceNumber()) << "reading changes nothing";
    ASSERT_TRUE(bench::SetClipboardText("second"));
    EXPECT_NE(afterFirst, GetClipboardSequenceNumber());
}

} // namespace
