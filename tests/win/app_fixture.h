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
#include "history/history_file.h"
#include "store/settings_model.h"
#include "tests/apps/testeditor_protocol.h"

namespace fixture {

using bench::App;
using bench::AppCopy;

inline const char* const kMain = kst::kMainKey;
inline const char* const kClipText = kst::kClipTextKey;

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        bench::DeleteVendorKey();
        for (const kst::StoredValue& v : kst::FirstRunValues())
            if (!v.text) bench::SetDword(v.subkey, v.name, v.number);
        queryMsg_ = RegisterWindowMessageA(KSTTEST_EDITOR_QUERY);
        EmptyTheClipboard();
        ASSERT_TRUE(editor_.Start("\"" + bench::ExeDirectory() + "testeditor.exe\""));
        editorWindow_ = bench::WaitForWindow(KSTTEST_EDITOR_CLASS, editor_.Id(), 20000);
        ASSERT_NE(nullptr, editorWindow_);
        edit_ = FindWindowExA(editorWindow_, nullptr, "Edit", nullptr);
    }
    void TearDown() override {
        if (app_) app_->Close();
        editor_.Stop();
        bench::DeleteVendorKey();
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
        ASSERT_TRUE(app_->Start());
        ASSERT_NE(nullptr, app_->WaitForMainWindow());
        ASSERT_TRUE(bench::BringToFront(editorWindow_));
        bench::PumpFor(300);
    }

    // A history file as it is on disk now, wherever it lies.
    static std::vector<kst::HistoryRecord> RecordsIn(const std::string& path) {
        const std::string bytes = bench::ReadFileBytes(path);
        return kst::DecodeHistoryFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    static std::vector<std::string> TextsOf(const std::vector<kst::HistoryRecord>& records) {
        std::vector<std::string> texts;
        for (const auto& r : records) texts.push_back(r.text);
        return texts;
    }
    static std::vector<std::string> TextsIn(const std::string& path) { return TextsOf(RecordsIn(path)); }

    // Ends the program and reads back what it saved.
    std::vector<std::string> SavedTexts() {
        app_->Close();
        app_.reset();
        return TextsIn(copy_.HistoryFile());
    }

    // The program's paste popup: found, shown, gone.
    HWND Popup() const { return bench::FindWindowOfProcess("Injected_KestranePaste", app_->Id()); }
    HWND WaitForPopup() { return bench::WaitForVisibleWindowOf("Injected_KestranePaste", app_->Id(), 5000); }
    bool WaitForPopupGone() {
        return bench::PumpUntil([&] { HWND p = Popup(); return !p || !IsWindowVisible(p); }, 5000);
    }

    LRESULT Ask(EditorQuery question, LPARAM lParam = 0) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(editorWindow_, queryMsg_, question, lParam, SMTO_ABORTIFHUNG, 3000, &answer);
        return (LRESULT)answer;
    }
    std::string EditorText() { return bench::WindowText(edit_); }
    bool WaitForEditorText(const std::string& text, DWORD ms = 3000) {
        return bench::PumpUntil([&] { return EditorText() == text; }, ms);
    }
    void SetEditorText(const char* text) {
        SendMessageA(edit_, WM_SETTEXT, 0, (LPARAM)text);
        SendMessageA(edit_, EM_SETSEL, 0, -1);
    }
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
    void ClearEditor() { SendMessageA(edit_, WM_SETTEXT, 0, (LPARAM) ""); }

    // Types Ctrl+C over the whole text and lets the quiet period pass.
    void CopyInEditor(const char* text) {
        SetEditorText(text);
        bench::PumpFor(100);
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
    bench::ChildProcess editor_;
    HWND editorWindow_ = nullptr;
    HWND edit_ = nullptr;
    UINT queryMsg_ = 0;
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

// Wine's notepad in front, emptied again before it closes.
class Notepad {
  public:
    bool Start() {
        if (!process_.Start("notepad.exe")) return false;
        window_ = bench::WaitForWindow("Notepad", process_.Id(), 20000);
        edit_ = window_ ? FindWindowExA(window_, nullptr, "Edit", nullptr) : nullptr;
        return edit_ && bench::BringToFront(window_);
    }
    ~Notepad() {
        if (edit_) {
            SendMessageA(edit_, WM_SETTEXT, 0, (LPARAM) "");
            SendMessageA(edit_, EM_SETMODIFY, FALSE, 0);
        }
        process_.Stop();
    }
    std::string Text() const { return bench::WindowText(edit_); }
    HWND Window() const { return window_; }
    bool InMenuMode() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
        return (info.flags & GUI_INMENUMODE) != 0;
    }

  private:
    bench::ChildProcess process_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

} // namespace fixture
