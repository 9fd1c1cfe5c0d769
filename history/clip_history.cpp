#include "history/clip_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "history/file_io.h"
#include "history/formats_companion.h"
#include "history/history_file.h"
#include "history/history_texts.h"
#include "history/pin_companion.h"
#include "history/sealed_file.h"
#include "history/wide_companion.h"
#include "reform/cp932_codec.h"

namespace kst {

namespace {
void CopyIntoBuffer(char* destination, size_t size, const char* source) {
    snprintf(destination, size, "%s", source);
}
} // namespace

ClipHistory::ClipHistory(HistoryHost* host) : host_(host) {
    CopyIntoBuffer(correctFront, sizeof correctFront, kDefaultCorrectFront);
    CopyIntoBuffer(correctEnd, sizeof correctEnd, kDefaultCorrectEnd);
    CopyIntoBuffer(quoteText, sizeof quoteText, kQuoteText);
}

ClipHistory::~ClipHistory() = default;

void ClipHistory::ForgetClipboard() {
    clipboard_.textOnClipboard = 1;
    clipboard_.otherFormats = 1;
    clipboard_.formatMask = 1;
    clipboard_.currentEntryIndex = kNoCurrentEntry;
}

void ClipHistory::SetPasteParameters(const PasteParameters& p) {
    columnWidth = p.columnWidth;
    tabWidth = p.tabWidth;
    tabReplace = p.tabReplace;
    CopyIntoBuffer(correctFront, sizeof correctFront, p.correctFront.c_str());
    CopyIntoBuffer(correctEnd, sizeof correctEnd, p.correctEnd.c_str());
}

void ClipHistory::ApplyListSettings(const ListSettings& s) {
    invertOrder = s.invertOrder;
    moveAfterPaste = s.copyOrder != 0;
    if (s.copyOrder != 0) moveToTop = s.copyOrder != 1;
    autoDelete = s.autoDelete;
    pasteDelete = s.pasteDelete;
    limit = s.limit;
    entryBound_ = uint64_t{s.maxEntryKB} * 1024;
    formatsBound_ = uint64_t{s.maxFormatsKB} * 1024;
}

void ClipHistory::SetFlags(int mask, int value) {
    if (mask & 0xFFF) reformFlags = value & 0xFFF;
    if (mask & 0xF000) {
        moveAfterPaste = (value >> 12) & 1;
        invertOrder = (value >> 13) & 1;
    }
}

std::vector<int> ClipHistory::DisplayOrder() const {
    const int n = Count();
    std::vector<int> unranked, ranked;
    for (int k = 0; k < n; ++k) {
        const int index = invertOrder ? n - 1 - k : k;
        (moveAfterPaste && items_[index]->IsPasted() ? ranked : unranked).push_back(index);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [this](int a, int b) {
        return items_[a]->GetPasteMark() < items_[b]->GetPasteMark();
    });
    std::vector<int>& first = moveToTop ? ranked : unranked;
    std::vector<int>& second = moveToTop ? unranked : ranked;
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The rules among the entries not pinned, as if the pinned were not there;
// -1 when every entry is pinned.
int ClipHistory::VictimIndex() const {
    int highestRanked = -1;
    int oldestUnranked = -1;
    int oldest = -1;
    for (int k = 0; k < Count(); ++k) {
        if (items_[k]->IsPinned()) continue;
        if (oldest < 0) oldest = k;
        if (!items_[k]->IsPasted()) {
            if (oldestUnranked < 0) oldestUnranked = k;
        } else if (highestRanked < 0 || items_[k]->GetPasteMark() > items_[highestRanked]->GetPasteMark()) {
            highestRanked = k;
        }
    }
    if (highestRanked < 0 || !moveAfterPaste) return oldest;
    if (moveToTop && oldestUnranked >= 0) return oldestUnranked;
    return highestRanked;
}

int ClipHistory::GetOrderedIndex(int type, int key) const {
    if (Count() == 0) return -1; // callers check the count first
    if (type == ORDER_VICTIM) return VictimIndex();
    const std::vector<int> order = DisplayOrder();
    if (key == -1 || type != ORDER_NEXT) return order.front();
    const auto at = std::find(order.begin(), order.end(), key);
    if (at == order.end() || at + 1 == order.end()) return order.front();
    return *(at + 1);
}

ClipItem* ClipHistory::Item(int index) const { return IsValidIndex(index) ? items_[index].get() : nullptr; }

const char* ClipHistory::GetItemText(int index, int which) const {
    return IsValidIndex(index) ? items_[index]->GetText(which) : "";
}

const LocalTime* ClipHistory::GetItemTime(int index) const {
    return IsValidIndex(index) ? &items_[index]->captureTime : nullptr;
}

int ClipHistory::IsItemPasted(int index) const {
    if (Count() == 0) return 0;
    if (index == -1)
        return std::any_of(items_.begin(), items_.end(), [](const auto& item) { return item->IsPasted(); });
    return IsValidIndex(index) ? items_[index]->IsPasted() : 0;
}

int ClipHistory::SetItemPasteMark(int index, int mark) {
    if (!IsValidIndex(index)) return 0;
    items_[index]->SetPasteMark(mark);
    Changed();
    return 1;
}

// Removing never allocates: the kept entries close up in place.
void ClipHistory::ClearAll() {
    for (int k = Count() - 1; k >= 0; --k)
        if (!items_[k]->IsPinned()) RemoveEntry(k);
    const int kept = Count();
    if (host_) {
        char text[160];
        snprintf(text, sizeof text, kClearedKeptTextFormat, kept);
        host_->Information(kClearedTitle, kept ? text : kClearedText);
    }
    Changed();
}

void ClipHistory::ClipboardEmptied() {
    clipboard_.textOnClipboard = 0;
    clipboard_.otherFormats = 0;
    clipboard_.formatMask = 0;
    clipboard_.currentEntryIndex = kNoCurrentEntry;
}

int ClipHistory::TogglePin(int index) {
    if (!IsValidIndex(index)) return -1;
    ClipItem& item = *items_[index];
    item.SetPinned(!item.IsPinned());
    Changed();
    return item.IsPinned() ? 1 : 0;
}

int ClipHistory::PinnedCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const auto& i) { return i->IsPinned(); }));
}

ClipHistory::DeleteResult ClipHistory::DeleteEntry(int index) {
    if (!IsValidIndex(index)) return DeleteResult::kNoEntry;
    if (items_[index]->IsPinned()) {
        if (host_) host_->Information(kPinnedNotDeletedTitle, kPinnedNotDeletedText);
        return DeleteResult::kPinned;
    }
    try {
        deleted_.reserve(deleted_.size() + 1);
    } catch (const std::bad_alloc&) { // nothing deleted that could not come back
        RefuseForMemory(kNoMemoryDeleteText);
        return DeleteResult::kNoEntry;
    }
    deleted_.push_back({RemoveEntry(index), index}); // room reserved: cannot fail
    Changed();
    PostCount();
    return DeleteResult::kDeleted;
}

int ClipHistory::UndoDelete() {
    if (deleted_.empty()) return -1;
    try {
        items_.reserve(items_.size() + 1);
    } catch (const std::bad_alloc&) { // kept for another try
        return -1;
    }
    DeletedEntry last = std::move(deleted_.back());
    deleted_.pop_back();
    const int at = std::min(last.index, Count());
    InsertEntry(at, std::move(last.item));
    Changed();
    PostCount();
    return at;
}

void ClipHistory::ForgetDeleted() { deleted_.clear(); }

void ClipHistory::AppendEntry() {
    auto item = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
    item->Clear();
    items_.push_back(std::move(item));
}

// Removes an entry and closes the gap its rank leaves; the clipboard's entry
// keeps pointing at the same entry, or at none when it was this one.
std::unique_ptr<ClipItem> ClipHistory::RemoveEntry(int index) {
    const int rank = items_[index]->GetPasteMark();
    if (rank != -1) {
        for (auto& item : items_)
            if (item->GetPasteMark() > rank) item->SetPasteMark(item->GetPasteMark() - 1);
    }
    int& current = clipboard_.currentEntryIndex;
    if (current == index)
        current = kNoCurrentEntry;
    else if (current > index && current < Count())
        --current;
    std::unique_ptr<ClipItem> removed = std::move(items_[index]);
    items_.erase(items_.begin() + index);
    return removed;
}

// Room for it is reserved by the caller. Its rank goes back where it was
// among the ranked entries now there.
void ClipHistory::InsertEntry(int index, std::unique_ptr<ClipItem> item) {
    const int rank = item->GetPasteMark();
    if (rank != -1) {
        int ranked = 0;
        for (auto& other : items_) {
            if (other->GetPasteMark() == -1) continue;
            ++ranked;
            if (other->GetPasteMark() >= rank) other->SetPasteMark(other->GetPasteMark() + 1);
        }
        if (rank > ranked) item->SetPasteMark(ranked);
    }
    int& current = clipboard_.currentEntryIndex;
    if (current >= index && current < Count()) ++current;
    items_.insert(items_.begin() + index, std::move(item));
}

// A change of the user's ends the hold a load short of memory put on the file.
void ClipHistory::Changed() {
    heldForMemory_ = false;
    if (host_) host_->HistoryChanged();
}

void ClipHistory::Announce(const char* text) const {
    if (!host_) return;
    char title[64];
    snprintf(title, sizeof title, kAddedTitleFormat, Count(), limit);
    host_->Information(title, text);
}

int ClipHistory::AddEntry(const char* text, int length, bool isFilePaths, const std::u16string* wide) {
    try {
        std::u16string exact = wide ? *wide : std::u16string();
        return AddCopy(std::string(text, length > 0 ? static_cast<size_t>(length) : 0), isFilePaths,
                       wide ? &exact : nullptr);
    } catch (const std::bad_alloc&) {
        RefuseForMemory(kNoMemoryCaptureText);
        return 0;
    }
}

// Telling may fail for memory too; the refusal stands.
void ClipHistory::RefuseForMemory(const char* text) const {
    try {
        if (host_) host_->Information(kNoMemoryTitle, text);
    } catch (const std::bad_alloc&) {
    }
}

void ClipHistory::PostCount() const {
    try {
        if (host_) host_->PostUpdateCount(Count());
    } catch (const std::bad_alloc&) {
    }
}

// The new entry is made whole before the list changes: an allocation that
// fails refuses the copy and leaves every entry where it was.
int ClipHistory::AddCopy(std::string text, bool isFilePaths, std::u16string* exact,
                         std::shared_ptr<const ClipFormats> formats) {
    if (!KeepsTextOfSize(text.size())) return 0;
    // An empty list under an odd limit has nothing to give up.
    const bool full = Count() >= limit && Count() > 0;
    const int victim = full && autoDelete ? VictimIndex() : -1;
    if (Count() >= limit && (!autoDelete || (full && victim < 0))) {
        clipboard_.currentEntryIndex = kNoCurrentEntry;
        if (host_) host_->Beep();
        Announce(autoDelete ? kAllPinnedText : kFullText);
        return 0;
    }
    char overflowText[128];
    const bool picture = formats && formats->pictureEntry;
    const char* note = isFilePaths ? kFilePathsAddedText : picture ? kPictureAddedText : kAddedText;
    try {
        auto item = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
        item->SetText(std::move(text));
        if (exact) item->SetWideText(std::move(*exact));
        item->SetFormats(std::move(formats));
        item->captureTime = host_ ? host_->Now() : LocalTime{};
        items_.reserve(items_.size() + 1);
        if (full) {
            RemoveEntry(victim);
            snprintf(overflowText, sizeof overflowText, kOverflowTextFormat, victim + 1);
            if (!isFilePaths) note = overflowText;
        }
        items_.push_back(std::move(item)); // room reserved: cannot fail
    } catch (const std::bad_alloc&) {
        RefuseForMemory(kNoMemoryCaptureText);
        return 0;
    }
    clipboard_.currentEntryIndex = Count() - 1;
    try { // the entry is in: telling of it may fail, taking it back may not
        if (host_) host_->PostUpdateCount(Count());
        Changed();
        Announce(note);
    } catch (const std::bad_alloc&) {
    }
    return 1;
}

bool ClipHistory::KeepsTextOfSize(uint64_t bytes) {
    if (entryBound_ == 0 || bytes <= entryBound_) return true;
    clipboard_.currentEntryIndex = kNoCurrentEntry;
    RefuseTooLarge(bytes);
    return false;
}

namespace {
std::string SizeText(uint64_t bytes) {
    char text[32];
    constexpr double kMega = 1024.0 * 1024.0;
    if (bytes >= 1024 * 1024)
        snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / kMega);
    else
        snprintf(text, sizeof text, "%u KB", static_cast<unsigned>((bytes + 1023) / 1024));
    return text;
}
} // namespace

int ClipHistory::AddPicture(std::shared_ptr<const ClipFormats> picture) {
    const StoredFormat* full = picture ? picture->Picture() : nullptr;
    if (!full || !picture->pictureEntry) return 0;
    try {
        return AddCopy(PictureEntryText(full->width, full->height), false, nullptr, std::move(picture));
    } catch (const std::bad_alloc&) {
        RefuseForMemory(kNoMemoryCaptureText);
        return 0;
    }
}

bool ClipHistory::KeepsPictureOfSize(uint32_t width, uint32_t height) {
    const uint64_t bytes = Image::BytesOf(width, height);
    if (formatsBound_ == 0 || bytes <= formatsBound_) return true;
    clipboard_.currentEntryIndex = kNoCurrentEntry;
    if (host_) {
        char text[320];
        snprintf(text, sizeof text, kPictureTooLargeTextFormat, width, height, SizeText(bytes).c_str(),
                 SizeText(formatsBound_).c_str());
        host_->Information(kTooLargeTitle, text);
    }
    return false;
}

bool ClipHistory::KeepsFormatsOfSize(uint64_t bytes) {
    if (formatsBound_ == 0 || bytes <= formatsBound_) return true;
    if (host_) {
        char text[320];
        snprintf(text, sizeof text, kFormatsTooLargeTextFormat, SizeText(bytes).c_str(), SizeText(formatsBound_).c_str());
        host_->Information(kTooLargeTitle, text);
    }
    return false;
}

void ClipHistory::RefuseTooLarge(uint64_t bytes) const {
    if (host_) host_->Information(kTooLargeTitle, TooLargeText(bytes, entryBound_).c_str());
}


std::string TooLargeText(uint64_t bytes, uint64_t bound) {
    char text[256];
    snprintf(text, sizeof text, kTooLargeTextFormat, SizeText(bytes).c_str(), SizeText(bound).c_str());
    return text;
}

ClipHistory::JoinedText ClipHistory::JoinTexts(const std::vector<int>& indices, int which) const {
    std::vector<const ClipItem*> parts;
    for (int index : indices)
        if (IsValidIndex(index)) parts.push_back(items_[index].get());
    JoinedText joined;
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const ClipItem* i) { return i->IsPicture(); }),
                parts.end());
    joined.hasExact = std::any_of(parts.begin(), parts.end(), [which](const ClipItem* i) { return i->ExactText(which); });
    const Cp932Codec& codec = SystemCp932();
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) {
            joined.cp932 += "\r\n";
            if (joined.hasExact) joined.exact += u"\r\n";
        }
        joined.cp932 += parts[k]->Text(which);
        if (!joined.hasExact) continue;
        if (const std::u16string* exact = parts[k]->ExactText(which))
            joined.exact += *exact;
        else
            joined.exact += codec.FromCp932(parts[k]->Text(which));
    }
    return joined;
}

std::vector<int> ClipHistory::EntriesWithText(const std::vector<int>& indices) const {
    std::vector<int> texts;
    for (int index : indices)
        if (IsValidIndex(index) && !items_[index]->IsPicture()) texts.push_back(index);
    return texts;
}

void ClipHistory::AfterPasteOfMany(const std::vector<int>& indices, int keep) {
    AfterPasteOfItems(ItemsAt(indices), keep);
}

std::vector<const ClipItem*> ClipHistory::ItemsAt(const std::vector<int>& indices) const {
    std::vector<const ClipItem*> items;
    for (int index : indices)
        if (IsValidIndex(index)) items.push_back(items_[index].get());
    return items;
}

// Allocates nothing: it runs once the clipboard holds the paste.
void ClipHistory::AfterPasteOfItems(const std::vector<const ClipItem*>& pasted, int keep) {
    for (const ClipItem* item : pasted) {
        const auto at = std::find_if(items_.begin(), items_.end(), [item](const auto& i) { return i.get() == item; });
        if (at != items_.end()) AfterPaste(static_cast<int>(at - items_.begin()), keep);
    }
}

void ClipHistory::AfterPaste(int index, int keep) {
    if (!IsValidIndex(index)) return;
    if (pasteDelete && !keep && !items_[index]->IsPinned()) {
        RemoveEntry(index);
        if (host_) host_->PostUpdateCount(Count());
        Changed();
        return;
    }
    ClipItem& pasted = *items_[index];
    const int rank = pasted.GetPasteMark();
    for (auto& item : items_) {
        const int mark = item->GetPasteMark();
        if (mark == -1 || item.get() == &pasted) continue;
        // Close the gap the pasted entry leaves, then make room at rank 0.
        item->SetPasteMark((rank != -1 && mark > rank ? mark - 1 : mark) + 1);
    }
    pasted.SetPasteMark(0);
    Changed();
}

void ClipHistory::ReformItem(int index) {
    if (!IsValidIndex(index)) return;
    items_[index]->SetReformFlag(reformFlags, columnWidth, tabWidth, tabReplace, quoteText, correctFront,
                                 correctEnd, instance, mainWindow);
}

HistorySnapshot ClipHistory::Snapshot() const {
    HistorySnapshot entries;
    entries.reserve(items_.size());
    for (const auto& item : items_)
        entries.push_back(
            {item->SharedText(), item->SharedWideText(), item->GetPasteMark(), item->captureTime, item->IsPinned(),
             item->Formats()});
    return entries;
}

int ClipHistory::Save(const std::string& path, const FileSealer* sealer) const {
    return WriteHistoryFile(path, Snapshot(), sealer);
}

// Read before the list changes. Memory running out keeps the entries read
// so far (without their exact texts and pins if those could not be had) and
// holds the file: no save writes over it until the history changes.
int ClipHistory::Load(const std::string& path, const FileSealer* sealer) {
    unreadable_ = heldForMemory_ = lackedMemoryAtLoad_ = false;
    fileHeld_ = 0;
    keptAside_.clear();
    std::vector<std::unique_ptr<ClipItem>> loaded;
    bool lacked = false;
    try {
        std::string file;
        const FileRead read = ReadPlainFile(path, sealer, file);
        if (read == FileRead::kLocked) {
            // Another user's or machine's: kept, and out of the way of saves.
            keptAside_ = KeepAside(path);
            for (const std::string& companion : CompanionPaths(path)) KeepAside(companion);
            if (keptAside_.empty()) unreadable_ = true; // not moved: never written over either
        }
        if (read == FileRead::kMissing || read == FileRead::kLocked) {
            items_.clear();
            Changed();
            return 0;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
        HistoryRecordReader reader(bytes, file.size());
        fileHeld_ = reader.Declared();
        try {
            loaded.reserve(reader.Declared());
            HistoryRecord record;
            while (reader.Next(record)) {
                auto entry = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
                entry->SetPasteMark(record.rank);
                entry->captureTime = record.time;
                entry->SetText(std::move(record.text));
                loaded.push_back(std::move(entry)); // reserved: cannot fail
            }
        } catch (const std::bad_alloc&) {
            lacked = true;
        }
        NormaliseRanks(loaded);
        try {
            LoadWideTexts(WideCompanionPath(path), file, sealer, loaded);
            LoadPins(PinCompanionPath(path), file, sealer, loaded);
            LoadFormats(FormatsCompanionPath(path), file, sealer, loaded);
        } catch (const std::bad_alloc&) {
            lacked = true;
        }
    } catch (const std::bad_alloc&) {
        lacked = true;
    }
    items_.swap(loaded);
    Changed();
    heldForMemory_ = lackedMemoryAtLoad_ = lacked; // after Changed, which would end the hold
    return lacked ? 0 : 1;
}

namespace {
// A companion's plain bytes; one this user cannot unseal is moved aside.
bool ReadCompanion(const std::string& path, const FileSealer* sealer, std::string& file) {
    const FileRead read = ReadPlainFile(path, sealer, file);
    if (read == FileRead::kLocked) KeepAside(path);
    return read == FileRead::kPlain || read == FileRead::kUnsealed;
}
} // namespace

void ClipHistory::LoadPins(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                           std::vector<std::unique_ptr<ClipItem>>& items) {
    std::string file;
    if (!ReadCompanion(path, sealer, file)) return;
    PinCompanion companion;
    if (!DecodePinCompanion(reinterpret_cast<const unsigned char*>(file.data()), file.size(), companion)) return;
    std::vector<const std::string*> texts;
    texts.reserve(items.size());
    for (const auto& item : items) texts.push_back(item->SharedText().get());
    for (size_t place : PinnedPlaces(companion, SumOfFile(historyFile), texts)) items[place]->SetPinned(true);
}

// As for the exact texts; a picture record only to an entry whose text is
// the one that names that picture.
void ClipHistory::LoadFormats(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                              std::vector<std::unique_ptr<ClipItem>>& items) {
    std::string file;
    if (!ReadCompanion(path, sealer, file)) return;
    FormatsCompanion companion;
    if (!DecodeFormatsCompanion(reinterpret_cast<const unsigned char*>(file.data()), file.size(), companion)) return;
    const HistoryFileSum sum = SumOfFile(historyFile);
    if (companion.file.length != sum.length || companion.file.crc != sum.crc) return;
    for (FormatsRecord& r : companion.records) {
        if (r.index >= items.size()) continue;
        ClipItem& entry = *items[r.index];
        const std::string& text = *entry.SharedText();
        if (entry.Formats() || !FormatsBindTo(r, text)) continue;
        const StoredFormat* picture = r.formats->Picture();
        if (r.formats->pictureEntry && text != PictureEntryText(picture->width, picture->height)) continue;
        entry.SetFormats(std::move(r.formats));
    }
}

// Only a companion written with this very history file gives texts, and of
// those a record only to the entry it binds to, when it is the text that
// entry's code page 932 form was made from.
void ClipHistory::LoadWideTexts(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                                std::vector<std::unique_ptr<ClipItem>>& items) {
    std::string file;
    if (!ReadCompanion(path, sealer, file)) return;
    WideCompanion companion = DecodeWideCompanion(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    if (!BelongsTo(companion, SumOfFile(historyFile))) return;
    const Cp932Codec& codec = SystemCp932();
    for (WideRecord& r : companion.records) {
        if (r.index >= items.size()) continue;
        ClipItem& entry = *items[r.index];
        const std::string& cp932 = *entry.SharedText();
        if (entry.HasWideText() || !BindsTo(r, cp932) || codec.ToCp932(r.text) != cp932 || codec.HoldsExactly(r.text))
            continue;
        entry.SetWideText(std::move(r.text));
    }
}

// A file may carry ranks with gaps or twins (damage, or entries dropped
// above); the ranking needs 0 ... k-1, kept in the stored rank order.
void ClipHistory::NormaliseRanks(std::vector<std::unique_ptr<ClipItem>>& items) {
    std::vector<ClipItem*> ranked;
    for (auto& item : items)
        if (item->IsPasted()) ranked.push_back(item.get());
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const ClipItem* a, const ClipItem* b) { return a->GetPasteMark() < b->GetPasteMark(); });
    for (size_t rank = 0; rank < ranked.size(); ++rank) ranked[rank]->SetPasteMark(static_cast<int>(rank));
}

} // namespace kst
