// The real program beside the test editor: a fresh registry with the
// first-run values, an empty clipboard, the editor in front; what the
// program saved is read back after it ends.
#pragma once

#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/win/app_bench.h"
#include "tests/win/editor.h"
#include "history/history_file.h"
#include "image/dib_codec.h"
#include "hook/key_decision.h"
#include "store/setting_table.h"
#include "notify/tooltip.h"
#include "popup/paste_popup.h"
#include "tests/apps/testeditor_protocol.h"

namespace fixture {

using bench::App;
using bench::AppCopy;

inline const char* const kMain = kst::kMainKey;
// The title of the program's error balloons.
constexpr char kErrorTitle[] = "Kestrane [ERROR]";
inline const char* const kClipText = kst::kClipTextKey;

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        bench::DeleteVendorKey();
        for (const kst::StoredValue& v : kst::FirstRunValues())
            if (!v.text) bench::SetDword(v.subkey, v.name, v.number);
        EmptyTheClipboard();
        ASSERT_NO_FATAL_FAILURE(StartEditor());
    }
    void TearDown() override {
        if (app_) app_->Close();
        editor_.Stop();
        bench::DeleteVendorKey();
    }

    // The test editor, started again with the options, in front.
    void StartEditor(const std::string& options = "") {
        ASSERT_TRUE(editor_.Start(options)) << editor_.StartProblem();
        editorWindow_ = editor_.Window();
        edit_ = editor_.Edit();
    }

    // Joining the viewer chain shows the program the clipboard as it is:
    // each start begins with an empty one.
    static void EmptyTheClipboard() {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }

    void StartApp(const std::string& historyFile = "") {
        if (!historyFile.empty()) bench::WriteFileBytes(copy_.HistoryFile(), historyFile);
        app_ = std::make_unique<App>(copy_);
        ASSERT_TRUE(app_->Start()) << app_->StartProblem();
        ASSERT_NE(nullptr, app_->WaitForMainWindow());
        // The program hands its hooks the main window once it has made it.
        ASSERT_TRUE(bench::PumpUntil([&] { return block_.Open(copy_, app_->MainWindow()); }, 5000))
            << "the program's shared block";
        ASSERT_TRUE(bench::BringToFront(editorWindow_));
        bench::PumpFor(300);
    }

    // The key mode the program has handed its hooks (kst::KeySnatchMode).
    bool WaitForKeyMode(int mode, DWORD ms = 5000) {
        return bench::PumpUntil([&] { return block_.KeyMode() == mode; }, ms);
    }

    // A history file as it is on disk now, wherever it lies.
    static std::vector<kst::HistoryRecord> RecordsIn(const std::string& path) { return bench::HistoryRecordsIn(path); }
    static std::vector<std::string> TextsOf(const std::vector<kst::HistoryRecord>& records) {
        std::vector<std::string> texts;
        for (const auto& r : records) texts.push_back(r.text);
        return texts;
    }
    static std::vector<std::string> TextsIn(const std::string& path) { return bench::HistoryTextsIn(path); }

    // Ends the program and reads back what it saved.
    std::vector<kst::HistoryRecord> SavedRecords() {
        app_->Close();
        app_.reset();
        return RecordsIn(copy_.HistoryFile());
    }
    std::vector<std::string> SavedTexts() { return TextsOf(SavedRecords()); }
    // The history file as it is on disk now, the program still running.
    std::vector<kst::HistoryRecord> RecordsOnDisk() const { return RecordsIn(copy_.HistoryFile()); }
    // On failure it says what the file holds and what the clipboard does.
    ::testing::AssertionResult WaitForDisk(const std::vector<std::string>& texts, DWORD ms = 10000) {
        if (bench::PumpUntil([&] { return TextsOf(RecordsOnDisk()) == texts; }, ms))
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "on disk:";
        for (const std::string& text : TextsOf(RecordsOnDisk())) failure << " \"" << text << "\"";
        return failure << "; on the clipboard: \"" << ClipboardText() << "\"";
    }

    // The program's paste popup: found, shown, gone.
    HWND Popup() const { return app_->Find(bench::kPopupClass); }
    HWND WaitForPopup(DWORD ms = 5000) { return app_->WaitForVisible(bench::kPopupClass, ms); }
    // The popup key, and the popup once it shows.
    HWND OpenWithCtrlV() {
        bench::Chord({VK_CONTROL}, 'V');
        return WaitForPopup();
    }
    // A key pressed and let go, with a moment for the popup to take it: a
    // key that changes nothing there has no sign to wait for.
    static void Tap(WORD vk) {
        bench::SendKeys({{vk, false}, {vk, true}});
        bench::PumpFor(150);
    }
    static HWND List(HWND popup) { return GetDlgItem(popup, kst::kHistoryList); }
    static int Selected(HWND popup) { return static_cast<int>(SendMessageA(List(popup), LB_GETCURSEL, 0, 0)); }
    // A point on a row of the popup's list, on the screen.
    static POINT RowPoint(HWND list, int row, int x = 100) {
        POINT at{x, row * 17 + 8};
        ClientToScreen(list, &at);
        return at;
    }
    bool WaitForPopupGone() {
        return bench::PumpUntil([&] { HWND p = Popup(); return !p || !IsWindowVisible(p); }, 5000);
    }
    // The balloon: found, shown (its title, "" for none), gone.
    HWND Balloon() const { return app_->Find(bench::kBalloonClass); }
    HWND WaitForBalloon(DWORD ms = 5000) { return app_->WaitForVisible(bench::kBalloonClass, ms); }
    std::string BalloonTitle(DWORD ms) {
        HWND balloon = WaitForBalloon(ms);
        return balloon ? bench::WindowText(balloon) : "";
    }
    // The text of the balloon that shows this title, once it shows.
    std::string WaitForBalloonText(const std::string& title, DWORD ms = 5000) {
        std::string text;
        bench::PumpUntil([&] {
            HWND b = Balloon();
            if (!b || !IsWindowVisible(b) || bench::WindowText(b) != title) return false;
            text = bench::WindowText(GetDlgItem(b, kst::kTooltipTextId));
            return true;
        }, ms);
        return text;
    }
    bool WaitForBalloonGone(DWORD ms = 8000) {
        return bench::PumpUntil([&] { HWND b = Balloon(); return !b || !IsWindowVisible(b); }, ms);
    }

    LRESULT Ask(EditorQuery question, LPARAM lParam = 0) { return editor_.Ask(question, lParam); }
    std::string EditorText() { return editor_.Text(); }
    bool WaitForEditorText(const std::string& text, DWORD ms = 3000) { return editor_.WaitForText(text, ms); }
    void SetEditorText(const char* text) { editor_.SetText(text); }
    // A real press and release of the left button at a point of the screen;
    // every event carries the point, so none can land where the cursor was.
    static void Click(POINT at) {
        INPUT events[3] = {};
        const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
        for (int k = 0; k < 3; ++k) {
            events[k].type = INPUT_MOUSE;
            events[k].mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
            events[k].mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
            events[k].mi.dwFlags = flags[k] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        }
        for (INPUT& e : events) {
            SendInput(1, &e, sizeof(INPUT));
            bench::PumpFor(100);
        }
        bench::PumpFor(100);
    }
    void ClearEditor() { editor_.Clear(); }
    static COLORREF ScreenPixel(POINT at) {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        return c;
    }

    // Types Ctrl+C over the whole text and lets the quiet period pass.
    void CopyInEditor(const char* text) {
        SetEditorText(text);
        bench::PumpFor(100);
        CopyWithCtrlC();
    }
    // The same in a Unicode editor: the text as it is, not through an ANSI
    // code page.
    void CopyInEditor(const std::u16string& text) {
        editor_.SetWideText(text);
        CopyWithCtrlC();
    }
    // Ctrl+C in the application in front, and time for the program to take
    // the copy: its 200 ms quiet period and the capture. Nothing outside
    // shows a capture at once (the balloon's title can repeat, the file
    // comes a second later), so this one wait is fixed.
    static void CopyWithCtrlC() {
        bench::Chord({VK_CONTROL}, 'C');
        bench::PumpFor(700);
    }

    static std::string ClipboardText() {
        std::string text;
        if (!OpenClipboard(nullptr)) return "<busy>";
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(GlobalLock(data))) {
                text = p;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }

    static void PostGeneral(HWND main, WPARAM command) {
        PostMessageA(main, RegisterWindowMessageA("KESTRANE_GENERALNOTIFY"), command, 0);
    }

    AppCopy copy_;
    std::unique_ptr<App> app_;
    bench::ProgramHookBlock block_;
    bench::Editor editor_;
    HWND editorWindow_ = nullptr;
    HWND edit_ = nullptr;
};

// A history file of the texts, unranked unless a rank is given.
inline std::string HistoryOf(const std::vector<std::string>& texts, const std::vector<int>& ranks = {}) {
    std::string file(1, static_cast<char>(texts.size()));
    const kst::LocalTime t{2026, 12, 0, 7, 9, 0, 0, 0};
    for (size_t k = 0; k < texts.size(); ++k)
        kst::EncodeRecord(file, texts[k].data(), texts[k].size(), k < ranks.size() ? ranks[k] : -1, t);
    return file;
}

// A small picture alone on the clipboard, as a paint program leaves it.
inline bool SetClipboardPicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const bool set = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
    return set;
}

// Red on the left, blue on the right, a green band across: a thumbnail of
// it shows all three.
inline kst::Image PatternPicture(uint32_t width, uint32_t height) {
    kst::Image image;
    kst::AllocateImage(image, width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = image.Pixel(x, y);
            const bool band = y >= height * 2 / 5 && y < height * 3 / 5;
            p[0] = band ? 0 : x < width / 2 ? 0 : 255;
            p[1] = band ? 200 : 0;
            p[2] = band ? 0 : x < width / 2 ? 255 : 0;
            p[3] = 255;
        }
    return image;
}

inline std::string DibOf(const kst::Image& image) {
    std::string dib;
    kst::EncodeDib(image, dib);
    return dib;
}

// Formats put on the clipboard in one write, as an application copies.
struct ClipboardPart {
    UINT format;
    std::string bytes;
};
inline bool SetClipboardParts(const std::vector<ClipboardPart>& parts) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool set = true;
    for (const ClipboardPart& part : parts) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, part.bytes.size());
        if (void* at = memory ? GlobalLock(memory) : nullptr) {
            memcpy(at, part.bytes.data(), part.bytes.size());
            GlobalUnlock(memory);
        }
        set = memory && SetClipboardData(part.format, memory) && set;
    }
    CloseClipboard();
    return set;
}
// A format's bytes on the clipboard now ("" when it holds none).
inline std::string ClipboardBytesOf(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE data = GetClipboardData(format);
    if (const char* at = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
        bytes.assign(at, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// A file list on the clipboard, as a file manager puts it there.
inline bool SetClipboardFiles(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(drop + 1);
    for (const auto& p : paths) {
        memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
    CloseClipboard();
    return set;
}

} // namespace fixture
