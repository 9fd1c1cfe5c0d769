// Measures, under Wine, how long a copy takes to reach the history, how long
// Alt+V and the popup take to put the text into the editor, and how soon the
// popup shows, over five short entries and over 200 of 100 KB of mixed text
// (each one long line), watched from outside every millisecond. Median of 20
// each (and the 90th percentile of the popup). Run by tools/bench-wine.sh;
// prints Markdown tables.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/mixed_text.h"
#include "bench/screenshot.h"
#include "tests/win/app_bench.h"
#include "tests/win/editor.h"
#include "history/clip_history.h"
#include "shell/foreground_app.h"
#include "hook/ksthook.h"

namespace {

template <typename T> T Median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

HWND VisibleBalloon(DWORD processId) {
    HWND b = bench::FindWindowOfProcess(bench::kBalloonClass, processId);
    return b && IsWindowVisible(b) ? b : nullptr;
}

HWND VisiblePopup(DWORD processId) {
    HWND p = bench::FindWindowOfProcess(bench::kPopupClass, processId);
    return p && IsWindowVisible(p) ? p : nullptr;
}

template <typename T> T Percentile90(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[(v.size() * 9) / 10 < v.size() ? (v.size() * 9) / 10 : v.size() - 1];
}

// Screenshots (see screenshot.h), ten of them in turn, each entry its own.
void WritePictureHistory(const bench::AppCopy& copy, int entries) {
    std::vector<std::shared_ptr<const kst::ClipFormats>> shots;
    for (unsigned v = 0; v < 10; ++v) shots.push_back(bench_shot::ScreenshotPicture(v));
    kst::HistorySnapshot snapshot;
    for (int k = 0; k < entries; ++k)
        snapshot.push_back(bench_shot::SavedPicture(std::make_shared<kst::ClipFormats>(*shots[k % 10])));
    kst::WriteHistoryFile(copy.HistoryFile(), snapshot);
}

// Short entries as typed ("entry 3"), or text of the kind copied.
void WriteHistory(const bench::AppCopy& copy, int entries, size_t bytes) {
    std::string file(1, static_cast<char>(entries));
    std::mt19937 random(9);
    for (int k = 0; k < entries; ++k) {
        const std::string text =
            bytes ? bench_text::MixedEntryText(random, bytes) : "entry " + std::to_string(k);
        unsigned char header[11] = {static_cast<unsigned char>(text.size() >> 24),
                                    static_cast<unsigned char>(text.size() >> 16),
                                    static_cast<unsigned char>(text.size() >> 8),
                                    static_cast<unsigned char>(text.size()), 0xFF, 0x07, 0xEA, 12, 7, 9, 0};
        file.append(reinterpret_cast<const char*>(header), sizeof header);
        file += text;
    }
    bench::WriteFileBytes(copy.HistoryFile(), file);
}

// The program beside the test editor, with the editor in front.
struct Bench {
    bench::AppCopy copy;
    bench::App app{copy};
    bench::Editor editor;

    // bytes kPictures: screenshots.
    static constexpr size_t kPictures = ~size_t{0};
    bool Start(int entries = 0, size_t bytes = 0) {
        if (entries && bytes == kPictures) WritePictureHistory(copy, entries);
        else if (entries) WriteHistory(copy, entries, bytes);
        if (!app.Start() || !app.WaitForMainWindow() || !editor.Start()) return false;
        editor.BringToFront();
        bench::PumpFor(500);
        return true;
    }
    void Stop() {
        app.Close();
        editor.Stop();
    }
    // Popup key to the popup on the screen, watched from outside as a user
    // would see it: a look every millisecond, timed by the performance
    // counter from the moment the key is sent. Then closed again with Esc.
    bool TimePopupFromOutside(std::vector<double>& times) {
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        bench::PumpFor(200); // the last round's balloon and keys settled
        QueryPerformanceCounter(&start);
        bench::Chord({VK_CONTROL}, 'V');
        for (;;) {
            QueryPerformanceCounter(&now);
            const double ms = 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
            if (VisiblePopup(app.Id())) {
                times.push_back(ms);
                break;
            }
            if (ms > 3000) return false;
            Sleep(1);
        }
        bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
        return bench::PumpUntil([&] { return !VisiblePopup(app.Id()); }, 3000);
    }
};

void MeasureCopyAndSimplePaste(Bench& b, int rounds, std::vector<DWORD>& copyTimes, std::vector<DWORD>& pasteTimes) {
    for (int k = 0; k < rounds; ++k) {
        const std::string text = "copy " + std::to_string(k);
        b.editor.SetText(text.c_str());
        bench::PumpUntil([&] { return !VisibleBalloon(b.app.Id()); }, 6000);
        bench::Chord({VK_CONTROL}, 'C');
        const DWORD start = GetTickCount();
        if (bench::PumpUntil([&] { return VisibleBalloon(b.app.Id()) != nullptr; }, 3000))
            copyTimes.push_back(GetTickCount() - start);
    }
    for (int k = 0; k < rounds; ++k) {
        b.editor.Clear();
        bench::PumpFor(300);
        bench::Chord({VK_MENU}, 'V');
        const DWORD start = GetTickCount();
        if (bench::PumpUntil([&] { return !b.editor.Text().empty(); }, 3000))
            pasteTimes.push_back(GetTickCount() - start);
        bench::PumpFor(300);
    }
}

void MeasurePopupEnter(Bench& b, int rounds, std::vector<DWORD>& enterTimes) {
    for (int k = 0; k < rounds; ++k) {
        bench::Chord({VK_CONTROL}, 'V');
        if (!bench::PumpUntil([&] { return VisiblePopup(b.app.Id()) != nullptr; }, 3000)) continue;
        b.editor.Clear();
        bench::PumpFor(200);
        bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
        const DWORD start = GetTickCount();
        if (bench::PumpUntil([&] { return !b.editor.Text().empty(); }, 3000))
            enterTimes.push_back(GetTickCount() - start);
        bench::PumpUntil([&] { return !VisiblePopup(b.app.Id()); }, 3000);
        bench::PumpFor(300);
    }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// A save as the program makes it: the snapshot on the user-interface thread,
// the write on a worker. Median of 5, in milliseconds: {snapshot, write}.
std::pair<double, double> MeasureSave(int entries, size_t bytes) {
    kst::ClipHistory history;
    history.ApplyListSettings({0, 0, 1, 0, 200});
    std::string text(bytes, 'x');
    for (int k = 0; k < entries; ++k) history.AddEntry(text.data(), int(text.size()), false);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "kst-bench-clipbuf.dat";
    std::vector<double> snapshots, writes;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        const kst::HistorySnapshot snapshot = history.Snapshot();
        QueryPerformanceCounter(&t1);
        kst::WriteHistoryFile(path, snapshot);
        QueryPerformanceCounter(&t2);
        snapshots.push_back(Milliseconds(t0, t1));
        writes.push_back(Milliseconds(t1, t2));
    }
    DeleteFileA(path.c_str());
    return {Median(snapshots), Median(writes)};
}

template <typename F> double TimeMs(F&& f) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    f();
    QueryPerformanceCounter(&t1);
    return Milliseconds(t0, t1);
}

struct QueryTimes {
    double hookCaret, systemCaret, hookModule, systemModule;
};

// The caret and module questions about the test editor in front, asked both
// ways: through the hook library inside the editor, and of the system. This
// process stands in for the program (Kestrane is not running then).
QueryTimes MeasureQueries(int rounds) {
    QueryTimes t{};
    bench::Editor editor;
    if (!editor.Start()) return t;
    HWND window = editor.Window();
    HWND stand = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    InitDLLStatus(stand);
    InstallHook();
    bench::BringToFront(window);
    bench::PumpFor(500);
    std::vector<double> hc, sc, hm, sm;
    std::string path;
    for (int k = 0; k < rounds; ++k) {
        hc.push_back(TimeMs([] { GetForegroundProcessCaretPos(); }));
        sc.push_back(TimeMs([] { kst::ForegroundCaret(); }));
        hm.push_back(TimeMs([&] { GetForegroundProcessModuleFileName(window); }));
        sm.push_back(TimeMs([&] { kst::IsAnswering(window) && kst::SystemModulePath(window, path); }));
        bench::PumpFor(20);
    }
    UnInstallHook();
    DestroyWindow(stand);
    editor.Stop();
    return QueryTimes{Median(hc), Median(sc), Median(hm), Median(sm)};
}

// A copy of 1 MB put on the clipboard as Unicode by another program, to
// its entry in the history (the balloon); then Alt+V into a window of this
// process, to the program's write of the clipboard. Median of 5 each, in
// milliseconds.
std::pair<DWORD, DWORD> MeasureBigCopy(bool held) {
    std::u16string text;
    while (text.size() < (512u << 10)) text += u"\u30AF\u30EA\u30C3\u30D7\u30DC\u30FC\u30C9 clipboard text, ";
    if (!held)
        for (size_t k = 0; k < text.size(); k += 101) text[k] = u'\uAC00'; // Hangul here and there
    bench::SetDword("kestrane", "Version", 106); // no first start, which would set the next one back
    bench::SetDword("kestrane", "CtrlCOnly", 0);
    Bench b;
    std::vector<DWORD> captures, pastes;
    if (!b.Start()) return {0, 0};
    HWND own = CreateWindowExA(0, "STATIC", "paste target", WS_POPUP | WS_VISIBLE, 10, 10, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
    for (int round = 0; round < 5; ++round) {
        bench::PumpUntil([&] { return !VisibleBalloon(b.app.Id()); }, 8000);
        text[0] = static_cast<char16_t>(u'A' + round); // another copy each round
        const DWORD start = GetTickCount();
        if (!bench::SetClipboardWideText(text)) continue;
        if (bench::PumpUntil([&] { return VisibleBalloon(b.app.Id()) != nullptr; }, 5000))
            captures.push_back(GetTickCount() - start);
        bench::BringToFront(own);
        bench::PumpFor(300);
        const DWORD before = GetClipboardSequenceNumber();
        const DWORD pasteStart = GetTickCount();
        bench::Chord({VK_MENU}, 'V');
        if (bench::PumpUntil([&] { return GetClipboardSequenceNumber() != before; }, 5000))
            pastes.push_back(GetTickCount() - pasteStart);
        bench::PumpFor(500);
        b.editor.BringToFront();
    }
    DestroyWindow(own);
    b.Stop();
    return {captures.empty() ? 0 : Median(captures), pastes.empty() ? 0 : Median(pastes)};
}

// The popup's opening, seen from outside, over each history with a program
// of its own, in the same run.
struct PopupSetup {
    const char* name;
    int entries;
    size_t bytes;
    std::vector<double> seen;
};

bool MeasurePopupFromOutside(int rounds, std::vector<PopupSetup>& setups) {
    bench::SetDword("kestrane\\ClipText", "BUFFERLIMIT", 200);
    for (PopupSetup& setup : setups) {
        Bench b;
        if (!b.Start(setup.entries, setup.bytes)) {
            fputs("cannot start the programs\n", stderr);
            return false;
        }
        for (int k = 0; k < rounds; ++k) b.TimePopupFromOutside(setup.seen);
        b.Stop();
        if (setup.seen.empty()) return false;
    }
    return true;
}

std::vector<PopupSetup> PopupSetups() {
    return {{"5 short entries", 5, 0, {}},
            {"200 entries of 100 KB of mixed text, each one long line", 200, 100 * 1024, {}},
            {"200 short entries", 200, 0, {}},
            {"200 picture entries (screenshots of 1920 x 1080)", 200, Bench::kPictures, {}}};
}

void PrintPopupTable(int rounds, const std::vector<PopupSetup>& setups) {
    printf("\n| Ctrl+V to the popup on the screen, seen from outside (a look every millisecond, %d times) | median | 90th percentile |\n", rounds);
    printf("|---|---|---|\n");
    for (const PopupSetup& s : setups) printf("| %s | %.1f ms | %.1f ms |\n", s.name, Median(s.seen), Percentile90(s.seen));
}

} // namespace

int main(int argc, char** argv) {
    constexpr int kRounds = 20;
    bench::DeleteVendorKey();
    // --popup: only the popup's opening.
    if (argc > 1 && std::string(argv[1]) == "--popup") {
        std::vector<PopupSetup> setups = PopupSetups();
        if (!MeasurePopupFromOutside(kRounds, setups)) return 1;
        bench::DeleteVendorKey();
        PrintPopupTable(kRounds, setups);
        return 0;
    }
    std::vector<DWORD> copyTimes, pasteTimes, enterTimes;
    {
        Bench b;
        if (!b.Start()) {
            fputs("cannot start the programs\n", stderr);
            return 1;
        }
        MeasureCopyAndSimplePaste(b, kRounds, copyTimes, pasteTimes);
        MeasurePopupEnter(b, kRounds, enterTimes);
        b.Stop();
    }
    std::vector<PopupSetup> setups = PopupSetups();
    if (!MeasurePopupFromOutside(kRounds, setups)) return 1;
    bench::DeleteVendorKey();
    if (copyTimes.empty() || pasteTimes.empty() || enterTimes.empty()) {
        fputs("no measurement\n", stderr);
        return 1;
    }
    printf("| measure (median of %d) | time | design waits in it | above them |\n", kRounds);
    printf("|---|---|---|---|\n");
    printf("| end of Ctrl+C to the entry in the history (its balloon) | %lu ms | 200 ms quiet period + 11 ms balloon timer | %ld ms |\n",
           Median(copyTimes), (long)Median(copyTimes) - 211);
    printf("| Alt+V to the text in the editor | %lu ms | none before the V press (100 + 100 ms follow it) | %lu ms |\n",
           Median(pasteTimes), Median(pasteTimes));
    printf("| Enter in the popup to the text in the editor | %lu ms | none before the V press (100 + 100 ms follow it) | %lu ms |\n",
           Median(enterTimes), Median(enterTimes));

    PrintPopupTable(kRounds, setups);

    const QueryTimes q = MeasureQueries(kRounds);
    printf("\n| question about the application in front (median of %d) | through the hook library | of the system |\n", kRounds);
    printf("|---|---|---|\n");
    printf("| where is the caret | %.2f ms | %.2f ms |\n", q.hookCaret, q.systemCaret);
    printf("| which executable (and does it answer) | %.2f ms | %.2f ms |\n", q.hookModule, q.systemModule);

    const auto held = MeasureBigCopy(true);
    const auto lacking = MeasureBigCopy(false);
    bench::DeleteVendorKey();
    printf("\n| a Unicode copy of 1 MB (median of 5) | code page 932 holds it | it does not (Hangul every 101 characters) |\n");
    printf("|---|---|---|\n");
    printf("| put on the clipboard to its entry in the history (its balloon) | %lu ms | %lu ms |\n", held.first,
           lacking.first);
    printf("| Alt+V to the clipboard written | %lu ms | %lu ms |\n", held.second, lacking.second);

    const auto small = MeasureSave(20, 100);
    const auto full = MeasureSave(200, 1 << 20);
    printf("\n| history save (median of 5) | snapshot, user-interface thread | write, worker thread |\n");
    printf("|---|---|---|\n");
    printf("| 20 entries of 100 bytes | %.3f ms | %.1f ms |\n", small.first, small.second);
    printf("| 200 entries of 1 MB | %.3f ms | %.1f ms |\n", full.first, full.second);
    return 0;
}
