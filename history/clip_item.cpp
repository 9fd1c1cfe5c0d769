#include "history/clip_item.h"

#include <algorithm>

#include "image/image_scale.h"
#include "reform/char_convert.h"
#include "reform/reform_flags.h"
#include "reform/reformatter.h"

namespace kst {

ClipItem::ClipItem(std::unique_ptr<ProgressIndicator> progressDisplay)
    : sourceText(std::make_shared<const std::string>()), progress(std::move(progressDisplay)) {}

ClipItem::~ClipItem() { alive = 0; }

void ClipItem::Clear() {
    sourceText = std::make_shared<const std::string>();
    wideText.reset();
    formats.reset();
    thumbnail.reset();
    displayCarrier.reset();
    displayFailed = false;
    std::u16string().swap(reformWide);
    std::string().swap(reformText);
    pasteMark = -1;
    pinned = false;
    appliedFlags = 0;
    appliedColumnWidth = -1;
    appliedTabWidth = 4;
    appliedTabReplace = 0;
}

bool ClipItem::UsesReformText(int which) const {
    return which == 1 && (appliedFlags != 0 || appliedTabReplace != 0);
}

const std::string& ClipItem::Selected(int which) const {
    return UsesReformText(which) ? reformText : Source();
}

// Drawn at every paint of the row: made the first time, for the box asked.
const Image* ClipItem::Thumbnail(uint32_t boxWidth, uint32_t boxHeight) const {
    if (thumbnail && thumbnailBox[0] == boxWidth && thumbnailBox[1] == boxHeight) return thumbnail.get();
    const StoredFormat* source = IsPicture() ? formats->Find(FormatKind::kThumbnail) : nullptr;
    if (!source) return nullptr;
    try {
        Image decoded;
        if (!DecodePicture(*source, decoded)) return nullptr;
        auto made = std::make_unique<Image>();
        if (!FitImage(decoded, boxWidth, boxHeight, true, *made)) return nullptr;
        thumbnail = std::move(made);
        thumbnailBox[0] = boxWidth;
        thumbnailBox[1] = boxHeight;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return thumbnail.get();
}

const char* ClipItem::GetText(int which) const { return Selected(which).c_str(); }

int ClipItem::GetLength(int which) const { return static_cast<int>(Selected(which).size()); }

int ClipItem::SetText(const char* text, int length) {
    return SetText(std::string(text, length > 0 ? static_cast<size_t>(length) : 0));
}

int ClipItem::SetText(std::string text) {
    sourceText = std::make_shared<const std::string>(std::move(text));
    wideText.reset();
    displayCarrier.reset();
    displayFailed = false;
    return 1;
}

void ClipItem::SetWideText(std::u16string text) {
    wideText = std::make_shared<const std::u16string>(std::move(text));
    displayCarrier.reset();
    displayFailed = false;
    appliedFlags = 0;
    appliedColumnWidth = -1;
}

namespace {

// Every UTF-16 unit gives at least one byte of code page 932 (a pair gives
// one stand-in of two): this many units show any row or balloon there is,
// and fewer distinct characters than there are stand-ins.
constexpr size_t kDisplayUnits = 1024;
static_assert(kDisplayUnits < kMaxStandIns, "a shown prefix always has stand-ins enough");

// The start of a text that a display of maxBytes needs, never half a pair.
std::u16string DisplayPrefix(const std::u16string& text, size_t units) {
    size_t n = std::min(text.size(), units);
    if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) ++n;
    return text.substr(0, n);
}

} // namespace

// Only a prefix is converted for showing, made once and kept; a failure is
// kept too, so that no row drawn tries again.
std::string ClipItem::DisplayText(size_t maxBytes, std::vector<std::u16string>& standIns) const {
    standIns.clear();
    const std::string* text = &Source();
    if (wideText) {
        const size_t units = std::max(kDisplayUnits, maxBytes + 1);
        const bool tooShort = displayUnits < units && displayUnits < wideText->size();
        if (!displayFailed && (!displayCarrier || tooShort)) {
            auto carrier = std::make_shared<WideCarrier>();
            if (BuildCarrier(DisplayPrefix(*wideText, units), SystemCp932(), *carrier)) {
                displayCarrier = carrier;
                displayUnits = units;
            } else {
                displayCarrier.reset();
                displayFailed = true;
            }
        }
        if (displayCarrier) text = &displayCarrier->text;
    }
    const std::string start = text->substr(0, CharBoundaryPrefix(text->data(), text->size(), maxBytes));
    if (text != &Source()) standIns = displayCarrier->held;
    return start;
}

const std::u16string* ClipItem::ExactText(int which) const {
    if (!wideText) return nullptr;
    return UsesReformText(which) ? &reformWide : wideText.get();
}

std::u16string ClipItem::GetWideText(int which) const {
    if (wideText) return UsesReformText(which) ? reformWide : *wideText;
    return SystemCp932().FromCp932(Selected(which));
}

// The conversions run over the code page 932 text with the characters it
// lacks standing in; they come back in place. A text with more distinct
// such characters than there are stand-ins is pasted unconverted.
void ClipItem::ReformWide(const ReformParams& params, void* instance, std::string& text, std::u16string& wide) {
    const Cp932Codec& codec = SystemCp932();
    WideCarrier carrier;
    if (BuildCarrier(*wideText, codec, carrier))
        wide = RestoreCarrier(Reformat(carrier.text.data(), carrier.text.size(), params, progress.get(), instance),
                              carrier, codec);
    else
        wide = *wideText;
    text = codec.ToCp932(wide);
}

// The converted text is made first and the entry changed only once it is
// complete: an allocation that fails leaves the entry as it was.
void ClipItem::SetReformFlag(int flags, int columnWidth, int tabWidth, int tabReplace,
                             const char* quoteText, const char* correctFront, const char* correctEnd,
                             void* instance, void* /*window*/) {
    // The cache key: the column width counts only when wrapping.
    if (flags == appliedFlags && tabWidth == appliedTabWidth && tabReplace == appliedTabReplace &&
        (!(flags & REFORM_WRAP) || columnWidth == appliedColumnWidth))
        return;
    ReformParams params;
    params.flags = flags;
    params.columnWidth = columnWidth;
    params.tabWidth = tabWidth;
    params.tabReplace = tabReplace;
    params.quoteText = quoteText;
    params.correctFront = correctFront;
    params.correctEnd = correctEnd;
    std::string text;
    std::u16string wide;
    if (wideText)
        ReformWide(params, instance, text, wide);
    else
        text = Reformat(Source().data(), Source().size(), params, progress.get(), instance);
    reformText.swap(text);
    reformWide.swap(wide);
    appliedFlags = flags;
    appliedColumnWidth = columnWidth;
    appliedTabWidth = tabWidth;
    appliedTabReplace = tabReplace;
}

} // namespace kst
