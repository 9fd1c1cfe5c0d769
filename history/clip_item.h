// One history entry: the captured text, its capture time, its paste rank and
// a cached reformatted copy of the text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "history/clip_formats.h"
#include "history/local_time.h"
#include "reform/progress_indicator.h"
#include "reform/reformatter.h"
#include "reform/wide_carrier.h"

namespace kst {

class ClipItem {
  public:
    // progress: the display for long conversions; may be null.
    explicit ClipItem(std::unique_ptr<ProgressIndicator> progress = nullptr);
    ~ClipItem();
    ClipItem(const ClipItem&) = delete;
    ClipItem& operator=(const ClipItem&) = delete;

    void Clear();
    // which 1: the reformatted text when a conversion applies, else the source.
    const char* GetText(int which) const;
    const std::string& Text(int which) const { return Selected(which); }
    int GetLength(int which) const;
    int SetText(const char* text, int length);
    // Takes the text over without copying it.
    int SetText(std::string text);
    // The captured text as one unchanging string: a saved snapshot of the
    // history shares it, so taking one copies no text.
    std::shared_ptr<const std::string> SharedText() const { return sourceText; }
    // The copied text exactly, for an entry that code page 932 cannot hold
    // (its code page 932 text is then what an ANSI program would read).
    void SetWideText(std::u16string text);
    std::shared_ptr<const std::u16string> SharedWideText() const { return wideText; }
    bool HasWideText() const { return wideText != nullptr; }
    // which as for GetText, as UTF-16: exact for an entry with a Unicode
    // text, else the code page 932 text converted.
    std::u16string GetWideText(int which) const;
    // which as for GetText: the exact text where the entry keeps one, read
    // in place; null where the code page 932 text is the whole of it.
    const std::u16string* ExactText(int which) const;
    // The start of the source text for showing, at most maxBytes of code
    // page 932 and never half a character: the characters code page 932
    // lacks stand in it (two bytes each), and standIns says what they are.
    std::string DisplayText(size_t maxBytes, std::vector<std::u16string>& standIns) const;
    void SetReformFlag(int flags, int columnWidth, int tabWidth, int tabReplace, const char* quoteText,
                       const char* correctFront, const char* correctEnd, void* instance, void* window);
    void SetPasteMark(int mark) { pasteMark = mark; }
    int GetPasteMark() const { return pasteMark; }
    int IsPasted() const { return pasteMark != -1 ? 1 : 0; }
    // What the copy carried beside its text, or the picture of a picture
    // entry (whose text then only names it); null: a text alone.
    void SetFormats(std::shared_ptr<const ClipFormats> kept) { formats = std::move(kept); }
    const std::shared_ptr<const ClipFormats>& Formats() const { return formats; }
    bool IsPicture() const { return formats && formats->pictureEntry; }
    // A text entry that kept formats of its copy.
    bool HasCopiedFormats() const { return formats && !formats->pictureEntry; }
    // A picture entry's thumbnail, fitted in the box: made once for a box,
    // from the thumbnail's source. Null when it cannot be had.
    const Image* Thumbnail(uint32_t boxWidth, uint32_t boxHeight) const;
    // Pinned by the user: no rule of the list removes it.
    bool IsPinned() const { return pinned; }
    void SetPinned(bool on) { pinned = on; }

    int alive = 1;
    LocalTime captureTime{};

  private:
    bool UsesReformText(int which) const;
    const std::string& Selected(int which) const;
    const std::string& Source() const { return *sourceText; }

    void ReformWide(const ReformParams& params, void* instance, std::string& text, std::u16string& wide);

    std::shared_ptr<const std::string> sourceText;
    std::shared_ptr<const std::u16string> wideText; // null: code page 932 holds the text
    std::shared_ptr<const ClipFormats> formats;
    mutable std::unique_ptr<Image> thumbnail;
    mutable uint32_t thumbnailBox[2] = {0, 0};
    int pasteMark = -1;
    bool pinned = false;
    std::string reformText;
    std::u16string reformWide; // with a Unicode text: the converted text exactly
    mutable std::shared_ptr<const WideCarrier> displayCarrier; // of a prefix, made when first shown
    mutable size_t displayUnits = 0;   // the prefix's length
    mutable bool displayFailed = false; // no carrier to be had: the code page 932 text is shown
    int appliedFlags = 0;
    int appliedColumnWidth = -1;
    int appliedTabWidth = 4;
    int appliedTabReplace = 0;
    std::unique_ptr<ProgressIndicator> progress;
};

} // namespace kst
