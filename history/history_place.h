// Which folder the history file is read from and saved in: beside the
// program while that folder takes a save, else the user's own; once a save
// has gone to the user's folder, that is where the newest history is, even
// when the program's folder takes saves again or the file there is gone (a
// clear), so the stale file beside the program is never read again. No
// Windows headers: tested natively.
#pragma once

namespace kst {

enum class HistoryFolder { kBesideProgram, kUsers };

struct HistoryPlaceFacts {
    bool besideTakesSave = false; // the history file there can be written and replaced
    bool usersTakesSave = false;
    bool savedInUsers = false; // the stored mark: the last save went to the user's folder
    bool usersFileExists = false;
};

struct HistoryPlace {
    HistoryFolder saveIn = HistoryFolder::kBesideProgram;
    HistoryFolder loadFrom = HistoryFolder::kBesideProgram;
    // The history was read from the other folder: save it soon, so that the
    // folder it now lives in holds it.
    bool saveSoon = false;
};

constexpr HistoryPlace ChooseHistoryPlace(const HistoryPlaceFacts& f) {
    using F = HistoryFolder;
    if (f.savedInUsers) {
        const F save = f.usersTakesSave || !f.besideTakesSave ? F::kUsers : F::kBesideProgram;
        const F load = f.usersFileExists || save == F::kUsers ? F::kUsers : F::kBesideProgram;
        return {save, load, save != load};
    }
    if (f.besideTakesSave || !f.usersTakesSave) return {F::kBesideProgram, F::kBesideProgram, false};
    // The first move: the history still lies beside the program.
    if (f.usersFileExists) return {F::kUsers, F::kUsers, false};
    return {F::kUsers, F::kBesideProgram, true};
}

} // namespace kst
