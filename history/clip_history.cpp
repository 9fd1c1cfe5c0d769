#include "history/clip_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "history/file_io.h"
#include "history/history_file.h"
#include "history/history_texts.h"
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

int ClipHistory::VictimIndex() const {
    int highestRanked = -1;
    int oldestUnranked = -1;
    for (int k = 0; k < Count(); ++k) {
        if (!items_[k]->IsPasted()) {
            if (oldestUnranked < 0) oldestUnranked = k;
        } else if (highestRanked < 0 || items_[k]->GetPasteMark() > items_[highestRanked]->GetPasteMark()) {
            highestRanked = k;
        }
    }
    if (highestRanked < 0 || !moveAfterPaste) return 0;
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

void ClipHistory::ClearAll() {
    items_.clear();
    if (host_) host_->Information(kClearedTitle, kClearedText);
    Changed();
}

void ClipHistory::AppendEntry() {
    auto item = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
    item->Clear();
    items_.push_back(std::move(item));
}

// Removes an entry and closes the gap its rank leaves.
void ClipHistory::RemoveEntry(int index) {
    const int rank = items_[index]->GetPasteMark();
    if (rank != -1) {
        for (auto& item : items_)
            if (item->GetPasteMark() > rank) item->SetPasteMark(item->GetPasteMark() - 1);
    }
    items_.erase(items_.begin() + index);
}

void ClipHistory::Changed() const {
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

void ClipHistory::RefuseForMemory(const char* text) const {
    if (host_) host_->Information(kNoMemoryTitle, text);
}

// The new entry is made whole before the list changes: an allocation that
// fails refuses the copy and leaves every entry where it was.
int ClipHistory::AddCopy(std::string text, bool isFilePaths, std::u16string* exact) {
    if (Count() >= limit && !autoDelete) {
        clipboard_.currentEntryIndex = kNoCurrentEntry;
        if (host_) host_->Beep();
        Announce(kFullText);
        return 0;
    }
    char overflowText[128];
    const char* note = isFilePaths ? kFilePathsAddedText : kAddedText;
    try {
        auto item = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
        item->SetText(std::move(text));
        if (exact) item->SetWideText(std::move(*exact));
        item->captureTime = host_ ? host_->Now() : LocalTime{};
        items_.reserve(items_.size() + 1);
        // An empty list under an odd limit has nothing to give up.
        if (Count() >= limit && Count() > 0) {
            const int victim = VictimIndex();
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

void ClipHistory::AfterPaste(int index, int keep) {
    if (!IsValidIndex(index)) return;
    if (pasteDelete && !keep) {
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
        entries.push_back({item->SharedText(), item->SharedWideText(), item->GetPasteMark(), item->captureTime});
    return entries;
}

int ClipHistory::Save(const std::string& path, const FileSealer* sealer) const {
    return WriteHistoryFile(path, Snapshot(), sealer);
}

// Read whole, with its exact texts, before the list changes: an allocation
// that fails leaves the history as it was and says that the file is unread,
// so that no save writes over what could not be read.
int ClipHistory::Load(const std::string& path, const FileSealer* sealer) {
    unreadable_ = false;
    keptAside_.clear();
    try {
        std::vector<std::unique_ptr<ClipItem>> loaded;
        std::string file;
        const FileRead read = ReadPlainFile(path, sealer, file);
        if (read == FileRead::kLocked) {
            // Another user's or machine's: kept, and out of the way of saves.
            keptAside_ = KeepAside(path);
            KeepAside(WideCompanionPath(path));
            if (keptAside_.empty()) unreadable_ = true; // not moved: never written over either
        }
        if (read == FileRead::kMissing || read == FileRead::kLocked) {
            ClearAll();
            return 0;
        }
        auto records = DecodeHistoryFile(reinterpret_cast<const unsigned char*>(file.data()), file.size());
        for (HistoryRecord& record : records) {
            auto entry = std::make_unique<ClipItem>(host_ ? host_->NewProgress() : nullptr);
            entry->SetPasteMark(record.rank);
            entry->captureTime = record.time;
            entry->SetText(std::move(record.text));
            loaded.push_back(std::move(entry));
        }
        NormaliseRanks(loaded);
        LoadWideTexts(WideCompanionPath(path), file, sealer, loaded);
        items_.swap(loaded);
    } catch (const std::bad_alloc&) {
        unreadable_ = true; // the program says so once its balloon exists
        return 0;
    }
    Changed();
    return 1;
}

// Only a companion written with this very history file gives texts, and of
// those a record only to the entry it binds to, when it is the text that
// entry's code page 932 form was made from.
void ClipHistory::LoadWideTexts(const std::string& path, const std::string& historyFile, const FileSealer* sealer,
                                std::vector<std::unique_ptr<ClipItem>>& items) {
    std::string file;
    const FileRead read = ReadPlainFile(path, sealer, file);
    if (read == FileRead::kLocked) KeepAside(path);
    if (read != FileRead::kPlain && read != FileRead::kUnsealed) return;
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
