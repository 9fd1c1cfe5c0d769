// An application with an edit control for the end-to-end tests: our test
// editor (which answers questions about the keys it saw and its caret) or
// Wine's notepad. Emptied before it closes, so that notepad never asks to
// save.
#pragma once

#include <windows.h>

#include <string>

#include "tests/apps/testeditor_protocol.h"
#include "tests/win/bench.h"

namespace bench {

class Editor {
  public:
    Editor() = default;
    ~Editor() { Stop(); }
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // The test editor with its options ("--no-caret", ...), from the given
    // program file or the one beside the tests; quiet as for ChildProcess.
    bool Start(const std::string& options = "", const std::string& program = "", bool quiet = false);
    bool StartNotepad();
    void Stop();

    DWORD Id() const { return process_.Id(); }
    // Why the last start failed: the system's error, or its window never came.
    std::string StartProblem() const;
    HWND Window() const { return window_; }
    HWND Edit() const { return edit_; }
    bool BringToFront() const { return bench::BringToFront(window_); }

    std::string Text() const { return WindowText(edit_); }
    // The text as UTF-16, as a Unicode program reads it.
    std::u16string WideText() const;
    bool WaitForWideText(const std::u16string& text, DWORD timeoutMs = 3000) const;
    void SetWideText(const std::u16string& text) const;
    bool WaitForText(const std::string& text, DWORD timeoutMs = 3000) const;
    // Sets the text and selects all of it, as a user about to copy.
    void SetText(const char* text) const;
    void Clear() const { SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }

    // A question to the test editor; 0 when it does not answer in time.
    LRESULT Ask(EditorQuery question, LPARAM lParam = 0) const;
    // Stops the test editor's message loop for the time; true once it has
    // stopped answering.
    bool Freeze(DWORD ms) const;
    // Whether it answers a message within a tenth of a second.
    bool Answers() const;
    bool WaitUntilAnswering(DWORD timeoutMs) const;
    // The caret at a character position of the text, in screen coordinates.
    POINT CaretAt(int position) const;
    // The window that has the keyboard focus in the editor's thread.
    HWND FocusWindow() const;
    bool HasSystemCaret() const;
    bool InMenuMode() const;

  private:
    bool StartProcess(const std::string& commandLine, const char* windowClass, bool quiet);

    ChildProcess process_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

} // namespace bench
