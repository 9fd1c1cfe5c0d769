#include <windows.h>

#include "reform/cp932_codec.h"

namespace kst {
namespace {

// Lengths above INT_MAX are not texts anyone copies; they convert to nothing.
class SystemCodec : public Cp932Codec {
    static std::string Convert(const char16_t* text, size_t length, DWORD flags, const char* stand) {
        if (length == 0 || length > 0x3FFFFFFF) return std::string();
        const auto* wide = reinterpret_cast<const wchar_t*>(text);
        const int n = static_cast<int>(length);
        const int size = WideCharToMultiByte(kCodePage932, flags, wide, n, nullptr, 0, stand, nullptr);
        std::string out(size > 0 ? static_cast<size_t>(size) : 0, '\0');
        if (size > 0) WideCharToMultiByte(kCodePage932, flags, wide, n, &out[0], size, stand, nullptr);
        return out;
    }

  public:
    std::string ToCp932(const char16_t* text, size_t length) const override {
        return Convert(text, length, 0, nullptr);
    }
    std::string ToCp932Strict(const char16_t* text, size_t length, char missing) const override {
        const char stand[2] = {missing, 0};
        return Convert(text, length, WC_NO_BEST_FIT_CHARS, stand);
    }
    std::u16string FromCp932(const char* text, size_t length) const override {
        if (length == 0 || length > 0x7FFFFFFF) return std::u16string();
        const int size = MultiByteToWideChar(kCodePage932, 0, text, static_cast<int>(length), nullptr, 0);
        std::u16string out(size > 0 ? static_cast<size_t>(size) : 0, u'\0');
        if (size > 0)
            MultiByteToWideChar(kCodePage932, 0, text, static_cast<int>(length), reinterpret_cast<wchar_t*>(&out[0]), size);
        return out;
    }
};

} // namespace

const Cp932Codec& SystemCp932() {
    static const SystemCodec codec;
    return codec;
}

} // namespace kst
