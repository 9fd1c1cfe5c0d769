// Pictures in the history, under Wine: a 1920 x 1080 screenshot of an
// application (see screenshot.h) taken into an entry and saved, and what 200
// of them take in memory and on disk. The picture steps are the program's own
// code, timed here one by one; median of 9. Prints Markdown tables.
#include <windows.h>
#include <psapi.h>

#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench/screenshot.h"
#include "history/clip_formats.h"
#include "history/clip_history.h"
#include "history/file_io.h"
#include "history/formats_companion.h"
#include "history/history_file.h"
#include "image/dib_codec.h"
#include "image/image_scale.h"

namespace {

constexpr int kRounds = 9;
constexpr int kEntries = 200;
constexpr int kVariants = 10;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

template <typename Step> double MedianMs(Step step) {
    std::vector<double> times;
    for (int k = 0; k < kRounds; ++k) {
        const double start = Now();
        step();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double CommittedMB() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PagefileUsage / (1024.0 * 1024.0); // what it has committed
}

double FileMB(const std::string& path) {
    std::string bytes;
    kst::ReadWholeFile(path, bytes);
    return bytes.size() / (1024.0 * 1024.0);
}

} // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "kst-picture-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + kst::kHistoryFileName;

    std::vector<std::string> dibs;
    for (int v = 0; v < kVariants; ++v) {
        std::string dib;
        kst::EncodeDib(bench_shot::DrawScreenshot(v), dib);
        dibs.push_back(std::move(dib));
    }
    std::shared_ptr<const kst::ClipFormats> one;
    const double toEntry = MedianMs([&] { one = bench_shot::PictureOfDib(dibs[0]); });
    if (!one) return 1;
    const double pngKB = one->Picture()->stored.size() / 1024.0;

    // What choosing a picture's row costs: its preview for the detail balloon.
    const double preview = MedianMs([&] {
        kst::Image whole, shown;
        kst::DecodePicture(*one->Picture(), whole);
        kst::FitImage(whole, 208, 156, false, shown);
    });
    const double oneToDisk = MedianMs([&] { kst::WriteHistoryFile(path, {bench_shot::SavedPicture(one)}); });

    // 200 screenshots, each its own copy of its bytes, as 200 captures leave them.
    kst::ClipHistory history;
    kst::ListSettings settings;
    settings.limit = kEntries;
    history.ApplyListSettings(settings);
    std::vector<std::shared_ptr<const kst::ClipFormats>> variants;
    for (int v = 0; v < kVariants; ++v) variants.push_back(bench_shot::PictureOfDib(dibs[v]));
    std::vector<std::string>().swap(dibs);
    const double withVariants = CommittedMB();
    for (int k = 0; k < kEntries; ++k) history.AddPicture(std::make_shared<kst::ClipFormats>(*variants[k % kVariants]));
    for (int k = 0; k < kEntries; ++k) history.Item(k)->Thumbnail(48, 15); // the rows at 96 DPI
    const double held = CommittedMB() - withVariants;
    variants.clear();
    uint64_t stored = 0;
    for (int k = 0; k < kEntries; ++k) stored += history.Item(k)->Formats()->StoredBytes();
    const double fullSave = MedianMs([&] { history.Save(path); });
    const double companionMB = FileMB(kst::FormatsCompanionPath(path));
    kst::ClipHistory loaded;
    const double load = MedianMs([&] { loaded.Load(path); });

    printf("| A 1920 x 1080 screenshot of an application (median of %d) | time | size |\n", kRounds);
    printf("|---|---|---|\n");
    printf("| into an entry: the bitmap read, compressed to PNG, its thumbnail's source made | %.0f ms | %.0f KB as PNG (%.0f KB as a bitmap) |\n",
           toEntry, pngKB, 1920.0 * 1080 * 4 / 1024);
    printf("| its preview, when its row is chosen: the PNG read and scaled to 208 x 117 | %.0f ms | |\n", preview);
    printf("| to disk: the save of a history of that one picture | %.1f ms | |\n", oneToDisk);
    printf("| to disk: a save of a history of %d such screenshots (each save writes them all) | %.0f ms | %.1f MB |\n", kEntries,
           fullSave, companionMB);
    printf("| the start's load of that history | %.0f ms | |\n", load);
    printf("\n| %d screenshots of 1920 x 1080 in the history | memory |\n|---|---|\n", kEntries);
    printf("| their PNGs and thumbnails' sources, as kept | %.1f MB |\n", stored / (1024.0 * 1024.0));
    printf("| the process's committed memory grown by them, thumbnails at 96 DPI made | %.1f MB |\n", held);
    printf("| as %d uncompressed bitmaps, for comparison | %.0f MB |\n", kEntries, kEntries * 1920.0 * 1080 * 4 / (1024 * 1024));
    for (const std::string& file : {path, kst::FormatsCompanionPath(path)}) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
