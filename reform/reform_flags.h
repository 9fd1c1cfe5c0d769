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

// Characters that must not begin a line, and that must not end one.
constexpr char kDefaultCorrectFront[] = "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ";
constexpr char kDefaultCorrectEnd[] = "（［｛「『([{｢";
constexpr char kQuoteText[] = ">";

} // namespace kst
