#include "history/clip_item.h"

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
    displayCarrier.reset();
    std::u16string().swap(reformWide);
    std::string().swap(reformText);
    pasteMark = -1;
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

const char* ClipItem::GetText(int which) const { return Selected(which).c_str(); }

int ClipItem::GetLength(int which) const { return static_cast<int>(Selected(which).size()); }

int ClipItem::SetText(const char* text, int length) {
    sourceText = std::make_shared<const std::string>(text, length > 0 ? static_cast<size_t>(length) : 0);
    wideText.reset();
    displayCarrier.reset();
    return 1;
}

void ClipItem::SetWideText(std::u16string text) {
    wideText = std::make_shared<const std::u16string>(std::move(text));
    displayCarrier.reset();
    appliedFlags = 0;
    appliedColumnWidth = -1;
}

std::string ClipItem::DisplayText(size_t maxBytes, std::vector<std::u16string>& standIns) const {
    standIns.clear();
    const std::string* text = &Source();
    if (wideText) {
        if (!displayCarrier) {
            auto carrier = std::make_shared<WideCarrier>();
            if (BuildCarrier(*wideText, SystemCp932(), *carrier)) displayCarrier = carrier;
        }
        if (displayCarrier) text = &displayCarrier->text;
    }
    const std::string start = text->substr(0, CharBoundaryPrefix(text->data(), text->size(), maxBytes));
    if (text != &Source()) standIns = displayCarrier->held;
    return start;
}

std::u16string ClipItem::GetWideText(int which) const {
    if (wideText) return UsesReformText(which) ? reformWide : *wideText;
    return SystemCp932().FromCp932(Selected(which));
}

// The conversions run over the code page 932 text with the characters it
// lacks standing in; they come back in place. A text with more distinct
// such characters than there are stand-ins is pasted unconverted.
void ClipItem::ReformWide(const ReformParams& params, void* instance) {
    const Cp932Codec& codec = SystemCp932();
    WideCarrier carrier;
    if (BuildCarrier(*wideText, codec, carrier))
        reformWide = RestoreCarrier(Reformat(carrier.text.data(), carrier.text.size(), params, progress.get(), instance),
                                    carrier, codec);
    else
        reformWide = *wideText;
    reformText = codec.ToCp932(reformWide);
}

void ClipItem::SetReformFlag(int flags, int columnWidth, int tabWidth, int tabReplace,
                             const char* quoteText, const char* correctFront, const char* correctEnd,
                             void* instance, void* /*window*/) {
    // The cache key: the column width counts only when wrapping.
    if (flags == appliedFlags && tabWidth == appliedTabWidth && tabReplace == appliedTabReplace &&
        (!(flags & REFORM_WRAP) || columnWidth == appliedColumnWidth))
        return;
    appliedFlags = flags;
    appliedColumnWidth = columnWidth;
    appliedTabWidth = tabWidth;
    appliedTabReplace = tabReplace;

    ReformParams params;
    params.flags = flags;
    params.columnWidth = columnWidth;
    params.tabWidth = tabWidth;
    params.tabReplace = tabReplace;
    params.quoteText = quoteText;
    params.correctFront = correctFront;
    params.correctEnd = correctEnd;
    if (wideText)
        ReformWide(params, instance);
    else
        reformText = Reformat(Source().data(), Source().size(), params, progress.get(), instance);
}

} // namespace kst
