// The reformatter on arbitrary text, flags, column and tab widths (odd
// values included) and kinsoku sets, with two properties: every flag off
// gives the text back unchanged, and wrapping (with quotation and line-
// breaking rules) only inserts line breaks and quotation prefixes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reform/reform_flags.h"
#include "reform/reformatter.h"

namespace {
// Reads what the header of the input says; short inputs read as zeros.
struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (!size) return 0;
        --size;
        return *data++;
    }
};
// The text without line-break bytes and quotation marks. None of them is
// ever the second byte of a double-byte character (those are 0x40 and up).
std::string WithoutBreaksAndQuotes(const char* text, size_t size) {
    std::string kept;
    for (size_t i = 0; i < size; ++i)
        if (text[i] != '\r' && text[i] != '\n' && text[i] != '>') kept += text[i];
    return kept;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    kst::ReformParams p;
    p.flags = (in.Byte() | in.Byte() << 8) & kst::REFORM_ALL;
    p.columnWidth = static_cast<int8_t>(in.Byte()); // -128 ... 127: -1, 0 and negatives too
    p.tabWidth = static_cast<int8_t>(in.Byte());
    p.tabReplace = in.Byte() & 1;
    const uint8_t setLength = in.Byte() % 32;
    std::string sets(reinterpret_cast<const char*>(in.data), setLength < in.size ? setLength : in.size);
    in.data += sets.size();
    in.size -= sets.size();
    const size_t half = sets.size() / 2;
    const std::string front = sets.substr(0, half), end = sets.substr(half);
    p.correctFront = sets.empty() ? kst::kDefaultCorrectFront : front.c_str();
    p.correctEnd = sets.empty() ? kst::kDefaultCorrectEnd : end.c_str();
    p.quoteText = kst::kQuoteText;

    const std::string out = kst::Reformat(reinterpret_cast<const char*>(in.data), in.size, p);
    const char* text = reinterpret_cast<const char*>(in.data);
    if (p.flags == 0 && !p.tabReplace && (out.size() != in.size || memcmp(out.data(), text, in.size))) abort();
    const int wrapping = kst::REFORM_WRAP | kst::REFORM_QUOTE | kst::REFORM_KINSOKU;
    if (!(p.flags & ~wrapping) && !p.tabReplace &&
        WithoutBreaksAndQuotes(out.data(), out.size()) != WithoutBreaksAndQuotes(text, in.size))
        abort();
    return 0;
}
