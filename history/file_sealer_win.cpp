#include "history/file_sealer_win.h"

#include <windows.h>
#include <wincrypt.h>

#include <new>

namespace kst {
namespace {

constexpr size_t kMostSealedBytes = 0x7FFFFFFF;

bool CopyBlob(DATA_BLOB& blob, std::string& out) {
    bool ok = true;
    try {
        out.assign(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    LocalFree(blob.pbData);
    return ok;
}

class DataProtection : public FileSealer {
  public:
    bool Seal(const std::vector<FilePiece>& plain, std::string& sealed) const override {
        std::string whole;
        for (const FilePiece& piece : plain) whole.append(piece.data, piece.size);
        if (whole.size() > kMostSealedBytes) return false;
        DATA_BLOB in{static_cast<DWORD>(whole.size()), reinterpret_cast<BYTE*>(&whole[0])};
        DATA_BLOB out{};
        if (!CryptProtectData(&in, L"Kestrane", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
            return false;
        return CopyBlob(out, sealed);
    }
    bool Unseal(const char* data, size_t size, std::string& plain) const override {
        if (size > kMostSealedBytes) return false;
        DATA_BLOB in{static_cast<DWORD>(size), reinterpret_cast<BYTE*>(const_cast<char*>(data))};
        DATA_BLOB out{};
        if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return false;
        return CopyBlob(out, plain);
    }
};

} // namespace

const FileSealer& UserDataProtection() {
    static const DataProtection protection;
    return protection;
}

} // namespace kst
