// Where the history file lives: beside the program, as it always has, while
// that folder can be written; otherwise (a program unpacked under Program
// Files, where nothing virtualises the writes) in a folder of the user's own.
#include <shlobj.h>

#include <string>

#include "shell/app_shell.h"
#include "shell/app_texts.h"
#include "history/history_file.h"

namespace kst {
namespace {

// A file of the name a save writes first, made and removed again: the one
// write that tells whether a save there can succeed.
bool FolderTakesHistory(const std::string& folder) {
    if (folder.empty()) return false;
    const std::string probe = folder + kHistoryFileName + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

// Chosen once at start. With the program's folder closed to us the history
// is read from the user's folder, or, the first time, from the file that
// may lie beside the program.
void AppShell::ChooseHistoryFolder() {
    const std::string beside = ProgramFolder();
    historyFolder_ = beside;
    if (FolderTakesHistory(beside)) return;
    const std::string own = UserHistoryFolder();
    if (!FolderTakesHistory(own)) return; // nowhere better: failures are told
    historyFolder_ = own;
}

std::string AppShell::HistoryLoadPath() const {
    const std::string chosen = HistoryFilePath();
    if (historyFolder_ == ProgramFolder() || FileExists(chosen)) return chosen;
    return ProgramFolder() + kHistoryFileName;
}

void AppShell::AnnounceHistoryFolder() {
    if (historyFolder_ != ProgramFolder()) balloon.Information(kHistoryTitle, FolderMovedText(historyFolder_).c_str());
}

// A save that failed beside the program moves the history to the user's
// folder (once); one that fails there is told once, until a save succeeds.
void AppShell::OnSaveEnded(bool written) {
    if (written) {
        saveFailureShown_ = false;
        return;
    }
    if (historyFolder_ == ProgramFolder()) {
        const std::string own = UserHistoryFolder();
        if (FolderTakesHistory(own)) {
            historyFolder_ = own;
            AnnounceHistoryFolder();
            HistoryChanged();
            return;
        }
    }
    if (saveFailureShown_) return;
    saveFailureShown_ = true;
    balloon.Information(kErrorTitle, kHistoryNotSavedText);
}

} // namespace kst
