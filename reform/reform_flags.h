// The set of text conversions applied to an entry before it is pasted.
#pragma once

namespace kst {

enum ReformFlags : int {
    REFORM_TO_FULLWIDTH = 0x001,
    REFORM_TO_HALFWIDTH = 0x002,
    REFORM_TO_UPPER = 0x004,
    REFORM_TO_LOWER = 0x008,
    REFORM_TOUTEN_TO_COMMA = 0x010,
    REFORM_COMMA_TO_TOUTEN = 0x020,
    REFORM_KUTEN_TO_PERIOD = 0x040,
    REFORM_PERIOD_TO_KUTEN = 0x080,
    REFORM_WRAP = 0x100,
    REFORM_QUOTE = 0x200,
    REFORM_KINSOKU = 0x400,
    REFORM_TAG_REMOVE = 0x800,
    REFORM_ALL = 0xFFF,
};

// The conversion switches as stored (and as the popup's panel shows them);
// a direction counts only when its switch is on.
struct ConversionSwitches {
    int width, toFullWidth;
    int upper, toUpper;
    int comma, toComma;
    int period, toPeriod;
    int wrap, quote, kinsoku, tagRemove;
};

constexpr int ReformFlagsFromSwitches(const ConversionSwitches& s) {
    int flags = 0;
    if (s.width) flags |= s.toFullWidth ? REFORM_TO_FULLWIDTH : REFORM_TO_HALFWIDTH;
    if (s.upper) flags |= s.toUpper ? REFORM_TO_UPPER : REFORM_TO_LOWER;
    if (s.comma) flags |= s.toComma ? REFORM_TOUTEN_TO_COMMA : REFORM_COMMA_TO_TOUTEN;
    if (s.period) flags |= s.toPeriod ? REFORM_KUTEN_TO_PERIOD : REFORM_PERIOD_TO_KUTEN;
    if (s.wrap) flags |= REFORM_WRAP;
    if (s.quote) flags |= REFORM_QUOTE;
    if (s.kinsoku) flags |= REFORM_KINSOKU;
    if (s.tagRemove) flags |= REFORM_TAG_REMOVE;
    return flags;
}

// Characters that must not begin a line, and that must not end one.
// The default line-breaking sets, written as their code page 932 bytes so that
// every compiler (the fuzz build's too) sees the same ones:
// "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ" and "（［｛「『([{｢".
constexpr char kDefaultCorrectFront[] =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x6A\x81\x6E\x81\x70\x81\x76\x81\x78\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D\xA1\xA3\xA4\xA5\xB0\xDE\xDF";
constexpr char kDefaultCorrectEnd[] = "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77\x28\x5B\x7B\xA2";
constexpr char kQuoteText[] = ">";

} // namespace kst
