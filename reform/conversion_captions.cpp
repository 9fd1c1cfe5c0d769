#include "reform/conversion_captions.h"

#include <cstdio>

namespace kst {

const char* TwoWayCaption(int k, bool forward) {
    static const char* const kForward[4] = {"半角 -> 全角(&H)", "小文字 -> 大文字(&L)", "｢、｣ -> ｢，｣(&K)",
                                            "｢。｣ -> ｢．｣(&P)"};
    static const char* const kBackward[4] = {"全角 -> 半角(&H)", "大文字 -> 小文字(&L)", "｢，｣ -> ｢、｣(&K)",
                                             "｢．｣ -> ｢。｣(&P)"};
    if (k < 0 || k > 3) return "";
    return forward ? kForward[k] : kBackward[k];
}

std::string WrapCaption(int columnWidth) {
    char caption[64];
    snprintf(caption, sizeof caption, "改行整形[%d文字](&R)", columnWidth);
    return caption;
}

} // namespace kst
