// What the history keeps and what it keeps out: copies marked as not to be
// recorded never enter it, and what it holds is on disk soon enough to
// survive a kill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <shlobj.h>

#include "tests/win/app_fixture.h"
#include "tests/apps/marked_copy.h"
#include "popup/paste_popup.h"
#include "reform/cp932_path.h"

namespace {

using namespace fixture;

// The files made in a folder, as the system reports them: a save makes its
// temporary file first, whether or not it can then replace the history.
class FolderWatch {
  public:
    explicit FolderWatch(const std::string& folder)
        : dir_(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)) {
        overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        Ask();
    }
    ~FolderWatch() {
        CancelIo(dir_);
        CloseHandle(dir_);
        CloseHandle(overlapped_.hEvent);
    }
    // How often a file of that name has been made so far.
    int Made(const wchar_t* name) {
        DWORD bytes = 0;
        while (GetOverlappedResult(dir_, &overlapped_, &bytes, FALSE)) {
            for (size_t at = 0; bytes && at < bytes;) {
                const auto* n = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
                const std::wstring file(n->FileName, n->FileNameLength / sizeof(wchar_t));
                if (n->Action == FILE_ACTION_ADDED && file == name) ++made_;
                if (!n->NextEntryOffset) break;
                at += n->NextEntryOffset;
            }
            Ask();
        }
        return made_;
    }

  private:
    void Ask() {
        ResetEvent(overlapped_.hEvent);
        ReadDirectoryChangesW(dir_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                              &overlapped_, nullptr);
    }
    HANDLE dir_;
    OVERLAPPED overlapped_{};
    alignas(DWORD) char buffer_[16384];
    int made_ = 0;
};

class KeepEndToEnd : public AppFixture {
  protected:
    void KillApp() {
        app_->Kill();
        app_.reset();
    }
    // Where the history goes when the program's folder cannot take it.
    static std::string UsersHistoryFile() {
        char base[MAX_PATH];
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base))) return "";
        return std::string(base) + "\\Kestrane\\clipbuf.dat";
    }
};

TEST_F(KeepEndToEnd, MarkedCopiesAreNotRecorded) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp();
    const struct {
        CopyMarker marker;
        const char* text;
    } copies[] = {
        {kMarkNone, "ordinary"},         {kMarkExclude, "secret 1"},  {kMarkViewerIgnore, "secret 2"},
        {kMarkConsentNo, "secret 3"},    {kMarkConsentYes, "allowed"},
    };
    for (const auto& c : copies) {
        ASSERT_TRUE(PutMarkedCopy(nullptr, c.text, c.marker));
        bench::PumpFor(700);
    }
    EXPECT_EQ((std::vector<std::string>{"ordinary", "allowed"}), SavedTexts());
}

TEST_F(KeepEndToEnd, AMarkedCtrlCCopyIsNotRecordedAndTheNextOneIs) {
    StartApp(); // copy keys only
    CopyInEditor("typed before");
    Ask(kEditorMarkCopies, kMarkExclude);
    CopyInEditor("typed secret");
    EXPECT_EQ("typed secret", ClipboardText()) << "the editor's own copy";
    Ask(kEditorMarkCopies, kMarkConsentNo);
    CopyInEditor("typed secret 2");
    Ask(kEditorMarkCopies, kMarkNone);
    CopyInEditor("typed after");
    EXPECT_EQ((std::vector<std::string>{"typed before", "typed after"}), SavedTexts());
}

// The popup offers a kept-out copy as the current clipboard, never its text,
// and pastes it unchanged.
TEST_F(KeepEndToEnd, TheCurrentClipboardRowPastesAMarkedCopy) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp(HistoryOf({"a"}));
    ASSERT_TRUE(PutMarkedCopy(nullptr, "hunter2", kMarkExclude));
    bench::PumpFor(700);
    ClearEditor();
    bench::Chord({VK_CONTROL}, 'V');
    HWND popup = WaitForPopup();
    ASSERT_NE(nullptr, popup);
    HWND list = GetDlgItem(popup, kst::kHistoryList);
    ASSERT_EQ(2, SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(255, SendMessageA(list, LB_GETITEMDATA, 0, 0)) << "the current-clipboard row first";
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    bench::PumpUntil([&] { return EditorText() == "hunter2"; }, 3000);
    EXPECT_EQ("hunter2", EditorText());
    EXPECT_EQ((std::vector<std::string>{"a"}), SavedTexts());
}

// Three copies and a paste, then a kill: the next start has all three, in
// order, with the paste's rank.
TEST_F(KeepEndToEnd, TheHistorySurvivesAKill) {
    StartApp();
    for (const char* text : {"one", "two", "three"}) CopyInEditor(text);
    ClearEditor();
    bench::Chord({VK_MENU}, 'V'); // the simple paste ranks what it pastes
    ASSERT_TRUE(bench::PumpUntil([&] { return !EditorText().empty(); }, 3000));
    const std::string pasted = EditorText();
    const std::vector<std::string> texts{"one", "two", "three"};
    ASSERT_TRUE(WaitForDisk(texts));
    ASSERT_TRUE(bench::PumpUntil([&] {
        for (const auto& r : RecordsOnDisk())
            if (r.rank == 0) return true;
        return false;
    }, 10000)) << "the rank is saved too";
    bench::PumpFor(2000);
    KillApp();

    StartApp();
    const auto records = RecordsOnDisk();
    app_->Close();
    app_.reset();
    ASSERT_EQ(texts, TextsOf(records));
    for (const auto& r : records) EXPECT_EQ(r.text == pasted ? 0 : -1, r.rank) << r.text;
    EXPECT_EQ(texts, TextsOf(RecordsOnDisk())) << "and the clean exit saved the same";
}

// A kill in the middle of a save leaves the new file half-written under
// its temporary name: the start takes the last complete history, and the
// next save replaces both.
TEST_F(KeepEndToEnd, AHalfWrittenSaveIsIgnored) {
    bench::WriteFileBytes(copy_.HistoryFile() + ".tmp", HistoryOf({"new 1", "new 2"}).substr(0, 20));
    StartApp(HistoryOf({"kept 1", "kept 2"}, {-1, 0}));
    CopyInEditor("after");
    ASSERT_TRUE(WaitForDisk({"kept 1", "kept 2", "after"}));
    EXPECT_EQ(0, RecordsOnDisk()[1].rank);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((copy_.HistoryFile() + ".tmp").c_str()));
    KillApp();
}

TEST_F(KeepEndToEnd, AClearIsSavedAndWithoutKeepingNothingIsWritten) {
    StartApp(HistoryOf({"old"}));
    PostGeneral(app_->MainWindow(), 1); // clear, as the tray menu does
    EXPECT_TRUE(bench::PumpUntil([&] {
        return GetFileAttributesA(copy_.HistoryFile().c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 10000)) << "an empty history has no file";
    KillApp();

    bench::SetDword(kClipText, "bSAVEBUFFER", 0);
    StartApp();
    CopyInEditor("not kept");
    bench::PumpFor(2500);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(copy_.HistoryFile().c_str()));
    EXPECT_TRUE(SavedTexts().empty());
}

// A killed program can leave its hook registered (Wine keeps it): the next
// program, from another folder or from the same one, still gets each key
// once and its pastes through.
TEST_F(KeepEndToEnd, AfterAKillTheNextProgramGetsEveryKeyOnce) {
    const std::string history = HistoryOf({"one", "two", "three"});
    StartApp(history);
    KillApp();
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "another folder" : "the same folder again");
        AppCopy other("kst-other");
        const AppCopy& where = run == 0 ? other : copy_;
        bench::WriteFileBytes(where.HistoryFile(), history);
        App app(where);
        ASSERT_TRUE(app.Start());
        ASSERT_NE(nullptr, app.WaitForMainWindow());
        ASSERT_TRUE(bench::BringToFront(editorWindow_));
        bench::PumpFor(300);
        ClearEditor();
        bench::Chord({VK_CONTROL}, 'V');
        ASSERT_NE(nullptr, app.WaitForVisible(bench::kPopupClass, 5000));
        bench::SendKeys({{VK_DOWN, false}, {VK_DOWN, true}});
        bench::PumpFor(150);
        bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
        EXPECT_TRUE(bench::PumpUntil([&] { return EditorText() == "two"; }, 3000))
            << "one row down, pasted once: " << EditorText();
        bench::PumpFor(300);
        EXPECT_EQ("two", EditorText());
        if (run == 0) {
            app.Close();
        } else {
            app.Kill();
        }
    }
}

// A read-only history file beside the program takes no save while the
// folder takes new files: the history moves to the user's folder for good.
// Copies made there survive a restart, and after a clear nothing comes back
// from the stale file.
TEST_F(KeepEndToEnd, AHistoryThatMovedIsReadFromWhereItLivesAfterARestart) {
    const std::string users = UsersHistoryFile();
    ASSERT_FALSE(users.empty());
    DeleteFileA(users.c_str());
    const std::string beside = copy_.HistoryFile();
    bench::WriteFileBytes(beside, HistoryOf({"stale"}));
    ASSERT_TRUE(SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_READONLY));
    struct Writable { // the copy's folder is removed after the test
        std::string path;
        ~Writable() { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    } writable{beside};

    StartApp();
    CopyInEditor("one");
    CopyInEditor("two");
    const std::vector<std::string> kept{"stale", "one", "two"};
    EXPECT_TRUE(bench::PumpUntil([&] { return TextsIn(users) == kept; }, 10000)) << "saved in the user's folder";
    DWORD mark = 0;
    EXPECT_TRUE(bench::PumpUntil([&] { return bench::GetDword(kMain, "HistoryInUserFolder", mark) && mark == 1; },
                                 5000)) << "the move is remembered";
    KillApp();

    StartApp();
    app_->Close();
    app_.reset();
    EXPECT_EQ(kept, TextsIn(users)) << "the restart read the newest history";

    StartApp();
    PostGeneral(app_->MainWindow(), 1); // clear
    EXPECT_TRUE(bench::PumpUntil([&] { return GetFileAttributesA(users.c_str()) == INVALID_FILE_ATTRIBUTES; },
                                 10000));
    KillApp();
    StartApp();
    app_->Close();
    app_.reset();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(users.c_str())) << "nothing cleared came back";
    DeleteFileA(users.c_str());
}

// With sealing on, the history file holds none of the copied bytes and a
// restart reads it back; a file this user cannot unseal (here: damaged, as
// another user's would be to us) is moved aside, never written over.
TEST_F(KeepEndToEnd, AnEncryptedHistoryHoldsNothingReadableAndAnotherUsersIsKeptAside) {
    bench::SetDword(kClipText, "bENCRYPT", 1);
    StartApp();
    const std::string secret = "kestrane sealed secret";
    CopyInEditor(secret.c_str());
    const std::string file = copy_.HistoryFile();
    std::string bytes;
    ASSERT_TRUE(bench::PumpUntil([&] { return (bytes = bench::ReadFileBytes(file)).size() > 16; }, 10000));
    EXPECT_EQ(std::string("\0KSTSEAL\1", 9), bytes.substr(0, 9));
    EXPECT_EQ(std::string::npos, bytes.find("sealed secret")) << "none of the copied bytes";
    app_->Close();
    app_.reset();

    StartApp();
    ClearEditor();
    bench::Chord({VK_MENU}, 'V');
    EXPECT_TRUE(WaitForEditorText(secret)) << "read back after a restart: " << EditorText();
    app_->Close();
    app_.reset();

    bytes = bench::ReadFileBytes(file);
    ASSERT_GT(bytes.size(), 16u);
    for (size_t at = bytes.size() / 2; at < bytes.size(); ++at) bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    bench::WriteFileBytes(file, bytes);
    StartApp();
    EXPECT_EQ(kErrorTitle, BalloonTitle(5000)) << "a balloon says so";
    EXPECT_EQ(bytes, bench::ReadFileBytes(file + ".locked")) << "kept as it was";
    CopyInEditor("after");
    app_->Close();
    app_.reset();
    EXPECT_EQ(bytes, bench::ReadFileBytes(file + ".locked")) << "never written over";

    bench::SetDword(kClipText, "bENCRYPT", 0); // turned off: plain again
    StartApp();
    EXPECT_EQ((std::vector<std::string>{"after"}), SavedTexts());
}

// A history file held open for a moment (a backup, a virus scanner) makes a
// save fail; it is tried again, so the change reaches the disk without
// waiting for the next one.
TEST_F(KeepEndToEnd, ASaveRefusedForAMomentIsTriedAgain) {
    const std::string users = UsersHistoryFile();
    ASSERT_FALSE(users.empty());
    bench::SetDword(kMain, "HistoryInUserFolder", 1);
    CreateDirectoryA(kst::ParentFolder(users).c_str(), nullptr);
    bench::WriteFileBytes(users, HistoryOf({"a"}));
    StartApp();
    HANDLE held = INVALID_HANDLE_VALUE;
    bench::PumpUntil([&] {
        held = CreateFileA(users.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        return held != INVALID_HANDLE_VALUE;
    }, 3000);
    ASSERT_NE(INVALID_HANDLE_VALUE, held) << "error " << GetLastError();
    CopyInEditor("b");
    EXPECT_TRUE(bench::PumpUntil([&] { return BalloonTitle(0) == kErrorTitle; }, 5000)) << "the failed save is told";
    CloseHandle(held);
    EXPECT_TRUE(bench::PumpUntil([&] { return TextsIn(users) == std::vector<std::string>{"a", "b"}; }, 10000));
    KillApp();
    DeleteFileA(users.c_str());
}

// The same beside the program: a history file held open for a moment there
// (the folder still takes new files) is waited out, and the history stays.
TEST_F(KeepEndToEnd, AFileHeldOpenBesideTheProgramDoesNotMoveTheHistory) {
    const std::string users = UsersHistoryFile();
    ASSERT_FALSE(users.empty());
    DeleteFileA(users.c_str());
    const std::string beside = copy_.HistoryFile();
    bench::WriteFileBytes(beside, HistoryOf({"a"}));
    StartApp();
    FolderWatch watch(copy_.Folder());
    HANDLE held = CreateFileA(beside.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held) << "error " << GetLastError();
    CopyInEditor("b");
    // Held through two failed saves: each makes the temporary file, and the
    // look whether the folder still takes new files makes it once more.
    EXPECT_TRUE(bench::PumpUntil([&] { return watch.Made(L"clipbuf.dat.tmp") >= 3; }, 10000))
        << watch.Made(L"clipbuf.dat.tmp");
    CloseHandle(held);
    EXPECT_TRUE(bench::PumpUntil([&] { return TextsIn(beside) == std::vector<std::string>{"a", "b"}; }, 10000));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(users.c_str())) << "nothing in the user's folder";
    DWORD mark = 0;
    EXPECT_FALSE(bench::GetDword(kMain, "HistoryInUserFolder", mark) && mark == 1);
    KillApp();
}

} // namespace
