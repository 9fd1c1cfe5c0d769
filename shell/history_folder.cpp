// Where the history file lives: beside the program, as it always has, while
// a save can replace it there; otherwise (a program unpacked under Program
// Files, a read-only file) in a folder of the user's own, remembered.
#include <shlobj.h>

#include <string>

#include "shell/app_shell.h"
#include "shell/app_texts.h"
#include "history/file_io.h"
#include "history/history_file.h"
#include "history/history_place.h"
#include "store/settings_store.h"

namespace kst {
namespace {

// A save makes the temporary file, then replaces the history file and its
// companion: a read-only file, or one held open by another program without
// leave to delete it, fails the replace while the folder takes new files.
bool FileCanBeReplaced(const std::string& path) {
    if (!FileExists(path)) return true;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) == 0;
}

// A save's temporary file can be made there.
bool FolderTakesNewFiles(const std::string& folder) {
    if (folder.empty()) return false;
    HANDLE file = CreateFileA((folder + kHistoryFileName + ".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool FolderTakesSave(const std::string& folder) {
    if (!FolderTakesNewFiles(folder)) return false;
    const std::string history = folder + kHistoryFileName;
    bool replaceable = FileCanBeReplaced(history);
    for (const std::string& companion : CompanionPaths(history)) replaceable = FileCanBeReplaced(companion) && replaceable;
    return replaceable;
}

// The history left beside the program once it lives in the user's folder:
// removed, or emptied where it cannot be removed, so that nothing cleared
// since can come back from it. A file that takes neither stays unread.
void RetireFile(const std::string& path) {
    if (!FileExists(path) || DeleteFileA(path.c_str())) return;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool SavedInUsersFolder() {
    VendorKeyScope store;
    return ReadSwitch(setting::kHistoryInUserFolder);
}

void RememberSavedInUsersFolder(bool inUsers) {
    VendorKeyScope store;
    WriteSetting(setting::kHistoryInUserFolder, inUsers ? 1 : 0);
}

std::string FolderMovedText(const std::string& folder) {
    return std::string(kHistoryMovedText) + folder;
}

} // namespace

// %LOCALAPPDATA%\Kestrane\, made when missing; empty when there is none.
std::string UserHistoryFolder() {
    char base[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base))) return "";
    const std::string folder = std::string(base) + "\\Kestrane\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string AppShell::HistoryFilePath() const {
    return (historyFolder_.empty() ? ProgramFolder() : historyFolder_) + kHistoryFileName;
}

// Chosen once at start, from what a save would meet in each folder and
// where the last save went.
void AppShell::ChooseHistoryFolder() {
    const std::string beside = ProgramFolder();
    const std::string own = UserHistoryFolder();
    HistoryPlaceFacts facts;
    facts.savedInUsers = SavedInUsersFolder();
    facts.besideTakesSave = FolderTakesSave(beside);
    facts.usersTakesSave = (!facts.besideTakesSave || facts.savedInUsers) && FolderTakesSave(own);
    facts.usersFileExists = !own.empty() && FileExists(own + kHistoryFileName);
    const HistoryPlace place = ChooseHistoryPlace(facts);
    const auto folderOf = [&](HistoryFolder f) { return f == HistoryFolder::kUsers && !own.empty() ? own : beside; };
    historyFolder_ = folderOf(place.saveIn);
    historyLoadPath_ = folderOf(place.loadFrom) + kHistoryFileName;
    savedInUsers_ = facts.savedInUsers;
    saveSoonAfterLoad_ = place.saveSoon;
}

std::string AppShell::HistoryLoadPath() const { return historyLoadPath_; }

void AppShell::AnnounceHistoryFolder() {
    if (historyFolder_ != ProgramFolder()) balloon.Information(kHistoryTitle, FolderMovedText(historyFolder_).c_str());
}

// After a save that went through, the registry says which folder holds the
// newest history, and a history that has left the program's folder leaves
// nothing readable behind there.
void AppShell::NoteSaveWritten() {
    const bool inUsers = historyFolder_ != ProgramFolder();
    if (inUsers != savedInUsers_) {
        RememberSavedInUsersFolder(inUsers);
        savedInUsers_ = inUsers;
    }
    if (!inUsers) return;
    const std::string old = ProgramFolder() + kHistoryFileName;
    for (const std::string& companion : CompanionPaths(old)) RetireFile(companion);
    RetireFile(old);
}

// A save that failed beside the program moves the history to the user's
// folder (once), unless the folder still takes new files and it has failed
// fewer than kSaveTriesBeforeMoving times in a row: a file held open for a
// moment there (a backup, a scanner, a reader) is waited out, not fled from.
// One that fails in the user's folder is tried again and told once, until a
// save succeeds.
void AppShell::OnSaveEnded(HistorySaver::WriteResult result) {
    if (result == HistorySaver::kWritten) {
        saveFailureShown_ = false;
        failedSavesBeside_ = 0;
        NoteSaveWritten();
        return;
    }
    if (result == HistorySaver::kWriteLackedMemory) { // not the folder's fault: tried again
        HistoryChanged();
        return;
    }
    if (historyFolder_ == ProgramFolder() && ++failedSavesBeside_ < kSaveTriesBeforeMoving &&
        FolderTakesNewFiles(historyFolder_)) {
        HistoryChanged();
        return;
    }
    if (historyFolder_ == ProgramFolder()) {
        const std::string own = UserHistoryFolder();
        if (FolderTakesSave(own)) {
            historyFolder_ = own;
            AnnounceHistoryFolder();
            HistoryChanged();
            return;
        }
    }
    // Tried again after the usual delay: a file held open for a moment (a
    // backup, a virus scanner, a sync client) must not leave the change
    // unsaved until the next one. The failure is told once.
    HistoryChanged();
    if (saveFailureShown_) return;
    saveFailureShown_ = true;
    balloon.Information(kErrorTitle, kHistoryNotSavedText);
}

} // namespace kst
