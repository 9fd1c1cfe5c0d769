#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "reform/cp932_codec.h"

namespace kst {
namespace {

// An iconv handle closed however the conversion ends (a string that cannot
// grow throws).
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (IsOpen()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// One conversion through iconv; what does not convert becomes the
// replacement and the scan goes on one unit further, as the system does.
template <typename From, typename To>
std::basic_string<To> Convert(const char* to, const char* from, const From* text, size_t length, To replacement) {
    std::basic_string<To> out;
    const IconvHandle handle(to, from);
    if (!handle.IsOpen()) return out;
    const iconv_t cd = handle.get();
    out.resize(length * 2 + 8);
    char* in = reinterpret_cast<char*>(const_cast<From*>(text));
    size_t inLeft = length * sizeof(From), used = 0;
    while (inLeft > 0) {
        char* at = reinterpret_cast<char*>(&out[0]) + used;
        size_t outLeft = out.size() * sizeof(To) - used;
        if (iconv(cd, &in, &inLeft, &at, &outLeft) != static_cast<size_t>(-1)) {
            used = out.size() * sizeof(To) - outLeft;
            break;
        }
        used = out.size() * sizeof(To) - outLeft;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (outLeft < sizeof(To)) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: one unit of the input does not convert.
        memcpy(reinterpret_cast<char*>(&out[0]) + used, &replacement, sizeof(To));
        used += sizeof(To);
        in += sizeof(From);
        inLeft -= sizeof(From);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used / sizeof(To));
    return out;
}

class IconvCodec : public Cp932Codec {
  public:
    std::string ToCp932(const char16_t* text, size_t length) const override {
        return Convert<char16_t, char>("CP932", "UTF-16LE", text, length, '?');
    }
    // iconv makes no near characters: what does not convert is replaced.
    std::string ToCp932Strict(const char16_t* text, size_t length, char missing) const override {
        return Convert<char16_t, char>("CP932", "UTF-16LE", text, length, missing);
    }
    std::u16string FromCp932(const char* text, size_t length) const override {
        return Convert<char, char16_t>("UTF-16LE", "CP932", text, length, u'\u30FB');
    }
};

} // namespace

const Cp932Codec& SystemCp932() {
    static const IconvCodec codec;
    return codec;
}

} // namespace kst
