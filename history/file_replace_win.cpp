#include <windows.h>

#include <algorithm>

#include "history/file_io.h"

namespace kst {

static bool WriteAll(HANDLE file, const FilePiece& piece) {
    size_t done = 0;
    while (done < piece.size) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(piece.size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, piece.data + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::vector<FilePiece>& pieces) {
    const std::string temporary = path + ".tmp";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (const FilePiece& piece : pieces) ok = ok && WriteAll(file, piece);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

} // namespace kst
