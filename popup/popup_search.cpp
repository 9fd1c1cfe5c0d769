#include "popup/popup_search.h"

#include <new>
#include <utility>

#include "reform/cp932_codec.h"

namespace kst {
namespace {

class Locked {
  public:
    explicit Locked(CRITICAL_SECTION& c) : c(c) { EnterCriticalSection(&c); }
    ~Locked() { LeaveCriticalSection(&c); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    CRITICAL_SECTION& c;
};

} // namespace

PopupSearch::PopupSearch() { InitializeCriticalSection(&lock); }

PopupSearch::~PopupSearch() {
    stopping = 1;
    cancel = 1;
    if (wake) SetEvent(wake);
    // The load ends by itself (a few hundred milliseconds at most).
    for (HANDLE t : {searchThread, loadThread})
        if (t) {
            WaitForSingleObject(t, INFINITE);
            CloseHandle(t);
        }
    if (wake) CloseHandle(wake);
    DeleteCriticalSection(&lock);
}

int PopupSearch::Begin(HWND notify, const std::string& path) {
    {
        Locked l(lock);
        notifyWindow = notify;
        if (searchThread) return 1;
        dictionaryPath = path;
    }
    wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!wake) return 0;
    searchThread = CreateThread(nullptr, 0, SearchThread, this, 0, nullptr);
    if (!searchThread) return 0;
    loadThread = CreateThread(nullptr, 0, LoadThread, this, 0, nullptr);
    if (!loadThread) {
        Locked l(lock);
        dictionary = DictionaryState::kMissing;
    }
    return 1;
}

void PopupSearch::End() {
    Locked l(lock);
    notifyWindow = nullptr;
    hasRequest = false;
    texts.clear();
    cancel = 1;
}

void PopupSearch::Submit(const std::string& newQuery, std::vector<SearchText> newTexts) {
    {
        Locked l(lock);
        query = newQuery;
        texts = std::move(newTexts);
        hasRequest = true;
        ++requestNumber;
        cancel = 1;
    }
    SetEvent(wake);
}

bool PopupSearch::TakeOutcome(SearchOutcome& outcome) {
    Locked l(lock);
    if (doneNumber != requestNumber || done.query != query) return false;
    outcome = done;
    return true;
}

DictionaryState PopupSearch::Dictionary() const {
    Locked l(lock);
    return dictionary;
}

DWORD WINAPI PopupSearch::SearchThread(void* self) {
    static_cast<PopupSearch*>(self)->SearchLoop();
    return 0;
}

DWORD WINAPI PopupSearch::LoadThread(void* self) {
    static_cast<PopupSearch*>(self)->LoadDictionary();
    return 0;
}

void PopupSearch::Notify() {
    Locked l(lock);
    if (notifyWindow) PostMessageA(notifyWindow, kSearchDoneMessage, 0, 0);
}

void PopupSearch::LoadDictionary() {
    std::unique_ptr<QueryExpander> expander(new (std::nothrow) QueryExpander);
    std::string path;
    {
        Locked l(lock);
        path = dictionaryPath;
    }
    const bool ok = expander && expander->Ready() && expander->LoadDictionary(path);
    {
        Locked l(lock);
        dictionary = ok ? DictionaryState::kLoaded : DictionaryState::kMissing;
        if (ok) {
            loaded = std::move(expander);
            hasRequest = hasRequest || requestNumber > 0; // the current query again, with words
        }
    }
    if (ok) SetEvent(wake);
    else Notify(); // the status line says so
}

// Each query in turn, the newest only; a failed allocation drops that one.
void PopupSearch::SearchLoop() {
    std::unique_ptr<QueryExpander> expander(new (std::nothrow) QueryExpander);
    EntrySearch search(SystemCp932());
    while (!stopping) {
        WaitForSingleObject(wake, INFINITE);
        for (;;) {
            std::string q;
            std::vector<SearchText> t;
            unsigned number;
            {
                Locked l(lock);
                if (loaded) {
                    expander = std::move(loaded);
                    search.Forget();
                }
                if (!hasRequest || stopping) break;
                hasRequest = false;
                q = query;
                t = texts;
                number = requestNumber;
                cancel = 0;
            }
            SearchOutcome outcome;
            bool finished = false;
            try {
                finished = expander && search.Run(*expander, q, t, cancel, outcome);
            } catch (const std::bad_alloc&) {
                finished = false;
                search.Forget();
            }
            if (!finished) continue;
            {
                Locked l(lock);
                if (number != requestNumber) continue;
                done = std::move(outcome);
                doneNumber = number;
            }
            Notify();
        }
    }
}

} // namespace kst
