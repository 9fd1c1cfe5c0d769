#include <cstdio>

#include <unistd.h>

#include "history/file_io.h"

namespace kst {

bool WriteFileReplacing(const std::string& path, const std::vector<FilePiece>& pieces) {
    const std::string temporary = path + ".tmp";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) return false;
    bool ok = true;
    for (const FilePiece& piece : pieces) ok = ok && fwrite(piece.data, 1, piece.size, file) == piece.size;
    ok = fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
    remove(temporary.c_str());
    return false;
}

} // namespace kst
