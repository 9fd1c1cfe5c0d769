// The popup's search, off the user-interface thread: one thread expands each
// query and looks through the texts, another loads the dictionary once. The
// popup hands over a query with shared texts and takes the outcome when told
// (kSearchDoneMessage); a newer query drops the older one's work.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "search/entry_search.h"

namespace kst {

constexpr UINT kSearchDoneMessage = WM_APP + 2;

enum class DictionaryState { kLoading, kLoaded, kMissing };

class PopupSearch {
  public:
    PopupSearch();
    ~PopupSearch();
    PopupSearch(const PopupSearch&) = delete;
    PopupSearch& operator=(const PopupSearch&) = delete;

    // Outcomes go to the window as kSearchDoneMessage. The threads start the
    // first time (the dictionary's load with them); 1/0.
    int Begin(HWND notify, const std::string& dictionaryPath);
    // No more outcomes for the window (it goes).
    void End();
    void Submit(const std::string& query, std::vector<SearchText> texts);
    // The outcome of the newest query, once there; false before.
    bool TakeOutcome(SearchOutcome& outcome);
    DictionaryState Dictionary() const;

  private:
    static DWORD WINAPI SearchThread(void* self);
    static DWORD WINAPI LoadThread(void* self);
    void SearchLoop();
    void LoadDictionary();
    void Notify();

    mutable CRITICAL_SECTION lock;
    HANDLE wake = nullptr;
    HANDLE searchThread = nullptr;
    HANDLE loadThread = nullptr;
    std::atomic<int> stopping{0};
    std::atomic<int> cancel{0};
    // Under the lock:
    HWND notifyWindow = nullptr;
    std::string dictionaryPath;
    bool hasRequest = false;
    std::string query;
    std::vector<SearchText> texts;
    unsigned requestNumber = 0;
    unsigned doneNumber = 0;
    SearchOutcome done;
    std::unique_ptr<QueryExpander> loaded; // the loaded dictionary, for the search thread to take
    DictionaryState dictionary = DictionaryState::kLoading;
};

} // namespace kst
