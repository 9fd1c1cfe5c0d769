// The one clipboard history: entries in storage order (oldest first), the
// size limit and overflow rule, the paste ranking and the display order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/clip_item.h"
#include "history/history_file.h"
#include "history/history_host.h"
#include "reform/reform_flags.h"
#include "reform/reformatter.h"

namespace kst {

enum OrderType { ORDER_FIRST = 0, ORDER_NEXT = 1, ORDER_VICTIM = 3 };

// The current-entry index when the clipboard holds no entry of the history.
constexpr int kNoCurrentEntry = 255;

// The list settings as stored (registry values under "kestrane\ClipText").
struct ListSettings {
    int invertOrder = 0; // bINVERTORDER
    int copyOrder = 0;   // bCOPYORDER: 0 stay, 1 move back, other move to top
    int autoDelete = 1;  // bAUTODELETE
    int pasteDelete = 0; // bPASTEDELETE
    int limit = 20;      // BUFFERLIMIT
    uint32_t maxEntryKB = 16 * 1024; // MaxEntryKB: a larger copy is not kept (0: any size)
    uint32_t maxFormatsKB = 32 * 1024; // MaxFormatsKB: larger pictures and formats are not kept (0: any size)
};

// What a capture takes from the settings (read by the program as it
// captures): the FilePath bits for copied files.
struct CaptureRules {
    int filePath = 0;
};

// The paste's reformatting parameters (read by the program at each paste).
struct PasteParameters {
    int columnWidth = 60;
    int tabWidth = 4;
    int tabReplace = 0;
    std::string correctFront = kDefaultCorrectFront;
    std::string correctEnd = kDefaultCorrectEnd;
};

// What the clipboard holds as the capture last saw it: whether it has text,
// formats other than text, which kinds (formatMask bits), and the entry it
// holds (kNoCurrentEntry: none of ours).
struct ClipboardState {
    int textOnClipboard = 0;
    int otherFormats = 0;
    int formatMask = 0;
    int currentEntryIndex = -1;
};

// The balloon text of a copy too large to keep.
std::string TooLargeText(uint64_t bytes, uint64_t bound);

class ClipHistory {
  public:
    // host may be null until the program's windows exist: then nothing is
    // announced and no message is posted.
    explicit ClipHistory(HistoryHost* host = nullptr);
    ~ClipHistory();
    ClipHistory(const ClipHistory&) = delete;
    ClipHistory& operator=(const ClipHistory&) = delete;

    void SetHost(HistoryHost* host) { host_ = host; }
    void ApplyListSettings(const ListSettings& settings);
    void SetFlags(int mask, int value);

    int Count() const { return static_cast<int>(items_.size()); }
    int GetOrderedIndex(int type, int key) const;
    std::vector<int> DisplayOrder() const;
    const char* GetItemText(int index, int which) const;
    const LocalTime* GetItemTime(int index) const;
    int IsItemPasted(int index) const;
    int SetItemPasteMark(int index, int mark);
    ClipItem* Item(int index) const;

    // Removes every entry but the pinned ones.
    void ClearAll();
    // The clipboard was emptied: it holds no entry now.
    void ClipboardEmptied();
    // Insert's switch on entry index: 1 pinned now, 0 unpinned, -1 no entry.
    int TogglePin(int index);
    int PinnedCount() const;
    enum class DeleteResult { kDeleted, kPinned, kNoEntry };
    // Removes one entry, kept aside for UndoDelete; a pinned one stays.
    DeleteResult DeleteEntry(int index);
    // Puts the last deleted entry back in its place, with its rank, pin and
    // texts: its index, -1 when there is none to put back.
    int UndoDelete();
    // The deleted entries can no longer come back (the popup closed).
    void ForgetDeleted();
    // A copy larger than this many bytes of text is not kept (0: any size).
    void SetEntryBound(uint64_t bytes) { entryBound_ = bytes; }
    uint64_t EntryBound() const { return entryBound_; }
    // Whether a text of this size is kept; a refused one is announced.
    bool KeepsTextOfSize(uint64_t bytes);
    // Pictures and formats larger than this many bytes uncompressed are not kept (0: any size).
    void SetFormatsBound(uint64_t bytes) { formatsBound_ = bytes; }
    uint64_t FormatsBound() const { return formatsBound_; }
    // Whether a picture entry of this size is kept; a refused one is announced.
    bool KeepsPictureOfSize(uint32_t width, uint32_t height);
    // Whether a text's formats of this size are kept beside it; when not,
    // the text alone is, and that is announced.
    bool KeepsFormatsOfSize(uint64_t bytes);
    // Adds a picture entry (formats holding its picture) by the rules of AddCopy.
    int AddPicture(std::shared_ptr<const ClipFormats> picture);
    // Adds a captured text by the overflow rules: 1 added, 0 refused (full).
    // wide: the copied text exactly, when code page 932 cannot hold it.
    int AddEntry(const char* text, int length, bool isFilePaths, const std::u16string* wide = nullptr);
    // The same, taking the texts over (exact: moved from when not null).
    // formats: what the copy carried beside the text (null: nothing).
    int AddCopy(std::string text, bool isFilePaths, std::u16string* exact,
                std::shared_ptr<const ClipFormats> formats = nullptr);
    // Updates the ranking (or removes the entry) after entry index was pasted.
    void AfterPaste(int index, int keep);
    // The texts of entries (which as for GetText), in the order given, each
    // ended by CR LF but the last: what several at once paste. Picture
    // entries have no text to give and are left out.
    struct JoinedText {
        std::string cp932;
        std::u16string exact; // with hasExact: the whole text as copied
        bool hasExact = false;
    };
    JoinedText JoinTexts(const std::vector<int>& indices, int which) const;
    // The entries of these that have a text to join: picture entries left out.
    std::vector<int> EntriesWithText(const std::vector<int>& indices) const;
    // Each entry pasted, in that order, as AfterPaste does for one.
    void AfterPasteOfMany(const std::vector<int>& indices, int keep);
    // Reformats entry index with the paste parameters held here.
    void ReformItem(int index);
    void SetPasteParameters(const PasteParameters& parameters);

    // The entries as the file keeps them, sharing their texts: cheap.
    HistorySnapshot Snapshot() const;
    // sealer: the files sealed for the user when saved, unsealed when read
    // (null: plain only; a sealed file then counts as one that cannot be).
    int Save(const std::string& path, const FileSealer* sealer = nullptr) const;
    int Load(const std::string& path, const FileSealer* sealer = nullptr);
    // Where the last Load moved a file this user cannot unseal (empty: none).
    const std::string& KeptAside() const { return keptAside_; }
    // The last Load found a file it could not take in (memory ran out): it
    // must not be written over.
    bool LoadWasRefused() const { return unreadable_ || heldForMemory_; }
    // The last Load ran out of memory: it kept the first Count() of the
    // file's FileHeld() entries, and the file is not written until the
    // history changes.
    bool LoadLackedMemory() const { return heldForMemory_ || lackedMemoryAtLoad_; }
    size_t FileHeld() const { return fileHeld_; }

    // The clipboard side (Windows only).
    void Attach(void* window, void* programInstance);
    int SetViewer(int mode);
    // WM_DRAWCLIPBOARD and WM_CHANGECBCHAIN, passed on by the main window.
    void OnClipboardChainMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
    void RestartQuietPeriod();
    void ReadFormats();
    int Capture(const CaptureRules& rules);
    // 1 when the entry is on the clipboard (and ranked or removed as pasted);
    // 0 when the clipboard could not be written, and nothing changed.
    // asCopied: the text unconverted with the formats it was copied with. A
    // picture entry puts its picture there, unconverted either way.
    int PasteToClipboard(int index, int keep, const PasteParameters& parameters, bool asCopied = false);
    // The same for several entries at once, joined as JoinTexts does, each
    // converted; only the text entries count as pasted. Pictures alone: the
    // first of them is pasted as one entry would be. Each
    // converted.
    int PasteManyToClipboard(const std::vector<int>& indices, int keep, const PasteParameters& parameters,
                             bool asCopied = false);
    // The last paste was refused for want of memory (and said so).
    bool PasteLackedMemory() const { return pasteLackedMemory_; }

    // What the clipboard holds, as the last capture saw it.
    const ClipboardState& Clipboard() const { return clipboard_; }
    // After a pause nothing is known of the clipboard: the popup offers it
    // as the current clipboard until the next capture.
    void ForgetClipboard();

    int Limit() const { return limit; }
    int InvertOrder() const { return invertOrder; }
    int AutoDelete() const { return autoDelete; }
    int PasteDelete() const { return pasteDelete; }
    int ReformFlagsNow() const { return reformFlags; }
    int MoveAfterPaste() const { return moveAfterPaste; }
    int MoveToTop() const { return moveToTop; }

  private:
    bool IsValidIndex(int index) const { return index >= 0 && index < Count(); }
    int VictimIndex() const;
    void AppendEntry();
    std::unique_ptr<ClipItem> RemoveEntry(int index);
    void InsertEntry(int index, std::unique_ptr<ClipItem> item);
    int WriteToClipboard(const std::string* cp932, const std::u16string* exact, const ClipFormats* formats);
    bool PasteWasWritten(int written);
    std::vector<const ClipItem*> ItemsAt(const std::vector<int>& indices) const;
    void AfterPasteOfItems(const std::vector<const ClipItem*>& pasted, int keep);
    void RefuseTooLarge(uint64_t bytes) const;
    static void NormaliseRanks(std::vector<std::unique_ptr<ClipItem>>& items);
    void Announce(const char* text) const;
    void RefuseForMemory(const char* text) const;
    void PostCount() const;
    void Changed();
    bool IsOwnClipboardWrite() const;
    void NoteOwnWrite();
    bool AddPathTextToClipboard(int filePath);
    void KeepOutOfHistory();
    int CaptureCopy(const CaptureRules& rules);
    int CapturePicture();
    void LoadWideTexts(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                       std::vector<std::unique_ptr<ClipItem>>& items);
    void LoadFormats(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                     std::vector<std::unique_ptr<ClipItem>>& items);
    void LoadPins(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                  std::vector<std::unique_ptr<ClipItem>>& items);
    std::string keptAside_;
    bool unreadable_ = false;
    bool heldForMemory_ = false;
    bool lackedMemoryAtLoad_ = false;
    size_t fileHeld_ = 0;
    uint64_t entryBound_ = 0;
    uint64_t formatsBound_ = 0;
    struct DeletedEntry {
        std::unique_ptr<ClipItem> item;
        int index;
    };
    std::vector<DeletedEntry> deleted_;
    bool pasteLackedMemory_ = false;

    // Capture state (clipboard side).
    void* mainWindow = nullptr;
    void* instance = nullptr;
    ClipboardState clipboard_;
    uint32_t lastPasteTick = 0;
    int skipNextChange = 0;
    uint32_t ownWriteSequence = 0; // clipboard sequence number right after our last write
    unsigned captureMessage = 0;   // "KESTRANE_GENERALNOTIFY", posted by the quiet period
    int viewerJoined = 0;
    void* nextViewer = nullptr;
    void* waitThread = nullptr;

    // List rules.
    int limit = 200;
    int autoDelete = 0;
    int pasteDelete = 0;
    int moveAfterPaste = 0;
    int moveToTop = 0;
    int invertOrder = 0;

    // Paste parameters.
    int reformFlags = 0;
    int columnWidth = 60;
    int tabWidth = 4;
    int tabReplace = 0;
    char correctFront[260];
    char correctEnd[260];
    char quoteText[20];

    HistoryHost* host_;
    std::vector<std::unique_ptr<ClipItem>> items_;
};

} // namespace kst
