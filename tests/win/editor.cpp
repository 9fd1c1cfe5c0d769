#include "tests/win/editor.h"

namespace bench {

bool Editor::StartProcess(const std::string& commandLine, const char* windowClass, bool quiet) {
    Stop();
    if (!process_.Start(commandLine, quiet)) return false;
    window_ = WaitForWindow(windowClass, process_.Id(), 20000);
    edit_ = window_ ? FindWindowExA(window_, nullptr, "Edit", nullptr) : nullptr;
    return edit_ != nullptr;
}

bool Editor::Start(const std::string& options, const std::string& program, bool quiet) {
    const std::string file = program.empty() ? ExeDirectory() + "testeditor.exe" : program;
    return StartProcess("\"" + file + "\"" + (options.empty() ? "" : " " + options), KSTTEST_EDITOR_CLASS, quiet);
}

std::string Editor::StartProblem() const {
    if (process_.StartError()) return "error " + std::to_string(process_.StartError()) + " starting it";
    return window_ ? "its window has no edit control" : "no window of it within 20 s";
}

bool Editor::StartNotepad() { return StartProcess("notepad.exe", "Notepad", false) && BringToFront(); }

void Editor::Stop() {
    if (edit_ && IsWindow(edit_)) {
        SendMessageTimeoutA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_ABORTIFHUNG, 3000, nullptr);
        SendMessageTimeoutA(edit_, EM_SETMODIFY, FALSE, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
    }
    process_.Stop();
    window_ = edit_ = nullptr;
}

bool Editor::WaitForText(const std::string& text, DWORD timeoutMs) const {
    return PumpUntil([&] { return Text() == text; }, timeoutMs);
}

std::u16string Editor::WideText() const {
    const LRESULT length = SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<size_t>(length > 0 ? length : 0) + 1, u'\0');
    const LRESULT got = SendMessageW(edit_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

bool Editor::WaitForWideText(const std::u16string& text, DWORD timeoutMs) const {
    return PumpUntil([&] { return WideText() == text; }, timeoutMs);
}

void Editor::SetWideText(const std::u16string& text) const {
    SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void Editor::SetText(const char* text) const {
    SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(edit_, EM_SETSEL, 0, -1);
}

namespace {
UINT QueryMessage() {
    static const UINT query = RegisterWindowMessageA(KSTTEST_EDITOR_QUERY);
    return query;
}
} // namespace

LRESULT Editor::Ask(EditorQuery question, LPARAM lParam) const {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window_, QueryMessage(), question, lParam, SMTO_ABORTIFHUNG, 3000, &answer);
    return static_cast<LRESULT>(answer);
}

bool Editor::Answers() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
}

bool Editor::Freeze(DWORD ms) const {
    PostMessageA(window_, QueryMessage(), kEditorFreeze, static_cast<LPARAM>(ms));
    return PumpUntil([&] { return !Answers(); }, 3000);
}

bool Editor::WaitUntilAnswering(DWORD timeoutMs) const { return PumpUntil([&] { return Answers(); }, timeoutMs); }

// The editor moves its caret as it handles the selection; the answer comes
// from its own thread, after that.
POINT Editor::CaretAt(int position) const {
    SendMessageA(edit_, EM_SETSEL, position, position);
    const LRESULT packed = Ask(kEditorCaret);
    return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

namespace {
GUITHREADINFO GuiOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}
} // namespace

HWND Editor::FocusWindow() const { return GuiOf(window_).hwndFocus; }
bool Editor::HasSystemCaret() const { return GuiOf(window_).hwndCaret != nullptr; }
bool Editor::InMenuMode() const { return (GuiOf(window_).flags & GUI_INMENUMODE) != 0; }

} // namespace bench
