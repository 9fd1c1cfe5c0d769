// Measures, under Wine, how long a copy takes to reach the history and how
// long Alt+V takes to put the text into the editor. Median of 20 each.
// Run by tools/bench-wine.sh; prints a Markdown table.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_bench.h"

namespace {

DWORD Median(std::vector<DWORD> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

HWND VisibleBalloon(DWORD processId) {
    HWND b = bench::FindWindowOfProcess("Injected_KestraneTooltip", processId);
    return b && IsWindowVisible(b) ? b : nullptr;
}

} // namespace

int main() {
    constexpr int kRounds = 20;
    bench::DeleteVendorKey();
    bench::AppCopy copy;
    bench::App app(copy);
    bench::ChildProcess editor;
    if (!app.Start() || !app.WaitForMainWindow() ||
        !editor.Start("\"" + bench::ExeDirectory() + "testeditor.exe\"")) {
        fputs("cannot start the programs\n", stderr);
        return 1;
    }
    HWND window = bench::WaitForWindow("KstTestEditor", editor.Id(), 20000);
    HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    bench::BringToFront(window);
    bench::PumpFor(500);

    std::vector<DWORD> copyTimes, pasteTimes;
    for (int k = 0; k < kRounds; ++k) {
        const std::string text = "copy " + std::to_string(k);
        SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)text.c_str());
        SendMessageA(edit, EM_SETSEL, 0, -1);
        bench::PumpUntil([&] { return !VisibleBalloon(app.Id()); }, 6000);
        bench::Chord({VK_CONTROL}, 'C');
        const DWORD start = GetTickCount();
        if (bench::PumpUntil([&] { return VisibleBalloon(app.Id()) != nullptr; }, 3000))
            copyTimes.push_back(GetTickCount() - start);
    }
    for (int k = 0; k < kRounds; ++k) {
        SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "");
        bench::PumpFor(300);
        bench::Chord({VK_MENU}, 'V');
        const DWORD start = GetTickCount();
        if (bench::PumpUntil([&] { return !bench::WindowText(edit).empty(); }, 3000))
            pasteTimes.push_back(GetTickCount() - start);
        bench::PumpFor(300);
    }
    app.Close();
    editor.Stop();
    bench::DeleteVendorKey();
    if (copyTimes.empty() || pasteTimes.empty()) {
        fputs("no measurement\n", stderr);
        return 1;
    }
    printf("| measure (median of %d) | time | design waits in it | above them |\n", kRounds);
    printf("|---|---|---|---|\n");
    printf("| end of Ctrl+C to the entry in the history (its balloon) | %lu ms | 200 ms quiet period + 11 ms balloon timer | %ld ms |\n",
           Median(copyTimes), (long)Median(copyTimes) - 211);
    printf("| Alt+V to the text in the editor | %lu ms | none before the V press (100 + 100 ms follow it) | %lu ms |\n",
           Median(pasteTimes), Median(pasteTimes));
    return 0;
}
