// The history file reader on arbitrary bytes: it must never read past the
// data, and what it reads must write back to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/history_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto records = kst::DecodeHistoryFile(data, size);
    if (records.size() > 255) abort();
    std::string file(1, static_cast<char>(records.size()));
    for (const auto& r : records) {
        if (r.text.find('\0') != std::string::npos) abort();
        kst::EncodeRecord(file, r.text.data(), r.text.size(), r.rank, r.time);
    }
    const auto again = kst::DecodeHistoryFile(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    if (again.size() != records.size()) abort();
    for (size_t k = 0; k < records.size(); ++k)
        if (again[k].text != records[k].text || again[k].rank != records[k].rank) abort();
    return 0;
}
