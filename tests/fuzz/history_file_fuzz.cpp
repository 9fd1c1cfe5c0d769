// The history file reader and its Unicode and pin companions' readers on
// arbitrary bytes: they must never read past the data, and what they read must write
// back to the same records. The companion is also tried with its checksum
// made right, so that the fuzzer reaches past it into the records.
// The companions are told apart by their first bytes, so one input can be
// either.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "history/history_file.h"
#include "history/pin_companion.h"
#include "history/wide_companion.h"

namespace {

void CheckCompanion(const uint8_t* data, size_t size) {
    const kst::WideCompanion companion = kst::DecodeWideCompanion(data, size);
    // A version 1 companion is written again as version 2: no round trip.
    if (companion.records.empty() || !companion.boundToFile) return;
    const std::string again = kst::EncodeWideCompanion(companion.records, companion.file);
    if (again.size() != size || memcmp(again.data(), data, size) != 0) abort();
}

void CheckPins(const uint8_t* data, size_t size) {
    kst::PinCompanion pins;
    if (!kst::DecodePinCompanion(data, size, pins)) return;
    const std::string again = kst::EncodePinCompanion(pins.records, pins.file);
    if (again.size() != size || memcmp(again.data(), data, size) != 0) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckCompanion(data, size);
    std::string sealed(reinterpret_cast<const char*>(data), size);
    const uint32_t crc = kst::Crc32(sealed.data(), sealed.size());
    for (int shift = 24; shift >= 0; shift -= 8) sealed += static_cast<char>(crc >> shift);
    CheckCompanion(reinterpret_cast<const uint8_t*>(sealed.data()), sealed.size());
    CheckPins(data, size);
    CheckPins(reinterpret_cast<const uint8_t*>(sealed.data()), sealed.size());

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
