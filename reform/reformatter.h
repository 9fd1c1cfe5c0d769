// Reformatting of an entry's text for pasting: width, case and punctuation
// conversions, line wrapping with kinsoku, quotation prefix, tag removal and
// tab expansion, in one scan over code page 932 text.
#pragma once

#include <cstddef>
#include <string>

#include "reform/progress_indicator.h"

namespace kst {

struct ReformParams {
    int flags = 0;          // ReformFlags
    int columnWidth = 60;   // -1: never wrap
    int tabWidth = 4;
    int tabReplace = 0;     // 1: tabs become spaces
    const char* quoteText = ">";
    const char* correctFront = nullptr; // must not begin a line; null: none
    const char* correctEnd = nullptr;   // must not end a line; null: none
};

// Texts longer than this get a progress display while they are converted.
constexpr size_t kProgressThreshold = 10000;

// Converts source into a new text. progress may be null; it is used only for
// sources longer than kProgressThreshold, with instance handed to Create.
std::string Reformat(const char* source, size_t length, const ReformParams& params,
                     ProgressIndicator* progress = nullptr, void* instance = nullptr);

} // namespace kst
