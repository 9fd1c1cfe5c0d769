// A small editor to paste into: one multi-line EDIT control. It counts the
// key messages that really reach the control, so tests can tell what the
// hook let through, and answers questions through a registered message.
#include <windows.h>
#include <imm.h>

#include <string.h>

#include "tests/apps/accessible_caret.h"
#include "hook/hook_shared.h"
#include "tests/apps/marked_copy.h"
#include "tests/apps/testeditor_protocol.h"

namespace {

WNDPROC g_editProc;
HWND g_edit;
UINT g_queryMsg;
LONG g_keyDowns[256];
LONG g_keyUps[256];
LONG g_anyKeys;
CopyMarker g_copyMarker;
bool g_noCaret; // --no-caret: like editors that draw their own cursor
// --accessible-caret: no system caret either, but one offered to
// accessibility tools, at (40, 30) in the edit control.
AccessibleCaret* g_accessibleCaret;
// --viewer: a clipboard viewer too, joined at start (so after a program that
// joins later), passing the chain on as viewers do.
bool g_viewer;
HWND g_nextViewer;
// --unicode: a wide-character edit control, as Unicode applications have;
// its copies put CF_UNICODETEXT on the clipboard.
bool g_unicode;
// Requests other programs make to switch the input method off and on,
// seen at the thread's input method window.
WNDPROC g_imeProc;
LONG g_imeOffRequests, g_imeOnRequests;
constexpr WPARAM kImeSetOpenStatus = 0x0006;

LRESULT CALLBACK CountingImeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IME_CONTROL && wParam == kImeSetOpenStatus) ++(lParam ? g_imeOnRequests : g_imeOffRequests);
    return CallWindowProcA(g_imeProc, window, message, wParam, lParam);
}

LONG OpenInputMethod(bool open) {
    HIMC context = ImmGetContext(g_edit);
    const BOOL done = context && ImmSetOpenStatus(context, open);
    if (context) ImmReleaseContext(g_edit, context);
    return done;
}

LRESULT CallEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return g_unicode ? CallWindowProcW(g_editProc, window, message, wParam, lParam)
                     : CallWindowProcA(g_editProc, window, message, wParam, lParam);
}

// A copy of the selection as careful programs make it: text and marker in
// one write.
void CopyWithMarker(HWND edit) {
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    char text[4096] = "";
    GetWindowTextA(edit, text, sizeof text);
    if (to < sizeof text) text[to] = 0;
    PutMarkedCopy(edit, from < sizeof text ? text + from : "", g_copyMarker);
}

// A paste of a picture, as an editor that takes pictures reads it: the
// bitmap, whose bytes are told by their hash.
LONG g_pictures;
DWORD g_pictureHash;

void TakePastedPicture() {
    if (IsClipboardFormatAvailable(CF_TEXT) || !IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(g_edit)) return;
    HANDLE data = GetClipboardData(CF_DIB);
    const unsigned char* bytes = data ? (const unsigned char*)GlobalLock(data) : NULL;
    if (bytes) {
        DWORD hash = 2166136261u;
        for (SIZE_T k = 0, n = GlobalSize(data); k < n; ++k) hash = (hash ^ bytes[k]) * 16777619u;
        g_pictureHash = hash;
        ++g_pictures;
        GlobalUnlock(data);
    }
    CloseClipboard();
}

LRESULT CALLBACK CountingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0) TakePastedPicture();
        g_keyDowns[wParam & 0xFF]++;
        g_anyKeys++;
        break;
    case WM_SYSKEYDOWN:
        g_keyDowns[wParam & 0xFF]++;
        g_anyKeys++;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        g_keyUps[wParam & 0xFF]++;
        g_anyKeys++;
        break;
    case WM_SETFOCUS:
        if (!g_noCaret) break;
        CallEdit(window, message, wParam, lParam);
        DestroyCaret();
        return 0;
    case WM_GETOBJECT:
        if (g_accessibleCaret && (LONG)lParam == OBJID_CARET)
            return LresultFromObject(IID_IAccessible, wParam, g_accessibleCaret);
        break;
    case WM_COPY:
        if (g_copyMarker == kMarkNone) break;
        CopyWithMarker(window);
        return 0;
    }
    return CallEdit(window, message, wParam, lParam);
}

// A window of the editor's own thread come to the front, as a "save?"
// dialog or a second document window would: owned, with an edit control.
HWND OpenSecondWindow() {
    HWND second = CreateWindowExA(0, "#32770", "second", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 200, 300, 150,
                                  GetAncestor(g_edit, GA_ROOT), nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN,
                                5, 5, 280, 100, second, (HMENU)1, nullptr, nullptr);
    SetForegroundWindow(second);
    SetFocus(edit);
    return edit;
}

LRESULT AnswerQuery(WPARAM question, LPARAM lParam) {
    switch (question) {
    case kEditorKeyDowns:
        return g_keyDowns[lParam & 0xFF];
    case kEditorKeyUps:
        return g_keyUps[lParam & 0xFF];
    case kEditorAnyKeys:
        return g_anyKeys;
    case kEditorCaret: {
        POINT caret;
        if (!GetCaretPos(&caret)) return -1;
        ClientToScreen(g_edit, &caret);
        return kst::PackCaretPos(caret.x, caret.y);
    }
    case kEditorReset:
        g_pictures = 0;
        ZeroMemory(g_keyDowns, sizeof g_keyDowns);
        ZeroMemory(g_keyUps, sizeof g_keyUps);
        g_anyKeys = 0;
        g_imeOffRequests = g_imeOnRequests = 0;
        g_copyMarker = kMarkNone;
        SetWindowTextA(g_edit, "");
        return 1;
    case kEditorMarkCopies:
        g_copyMarker = (CopyMarker)lParam;
        return 1;
    case kEditorOpenIme:
        return OpenInputMethod(lParam != 0);
    case kEditorImeRequests:
        return MAKELONG(g_imeOffRequests, g_imeOnRequests);
    case kEditorPictures:
        return g_pictures;
    case kEditorPictureHash:
        return (LRESULT)g_pictureHash;
    case kEditorSecondWindow:
        return (LRESULT)OpenSecondWindow();
    case kEditorFreeze:
        Sleep((DWORD)lParam);
        return 1;
    }
    return 0;
}

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_queryMsg && g_queryMsg) return AnswerQuery(wParam, lParam);
    switch (message) {
    case WM_DRAWCLIPBOARD:
        if (g_nextViewer) SendMessageA(g_nextViewer, message, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if ((HWND)wParam == g_nextViewer)
            g_nextViewer = (HWND)lParam;
        else if (g_nextViewer)
            SendMessageA(g_nextViewer, message, wParam, lParam);
        return 0;
    case WM_CREATE:
        if (g_unicode) {
            g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                     WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                                     window, (HMENU)1, nullptr, nullptr);
            g_editProc = (WNDPROC)SetWindowLongPtrW(g_edit, GWLP_WNDPROC, (LONG_PTR)CountingEditProc);
        } else {
            g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                     WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                                     window, (HMENU)1, nullptr, nullptr);
            g_editProc = (WNDPROC)SetWindowLongPtrA(g_edit, GWLP_WNDPROC, (LONG_PTR)CountingEditProc);
        }
        if (HWND ime = ImmGetDefaultIMEWnd(g_edit))
            g_imeProc = (WNDPROC)SetWindowLongPtrA(ime, GWLP_WNDPROC, (LONG_PTR)CountingImeProc);
        return 0;
    case WM_SIZE:
        MoveWindow(g_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(g_edit);
        return 0;
    case WM_DESTROY:
        if (g_viewer) ChangeClipboardChain(window, g_nextViewer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_noCaret = strstr(commandLine, "--no-caret") != nullptr;
    g_unicode = strstr(commandLine, "--unicode") != nullptr;
    const bool accessible = strstr(commandLine, "--accessible-caret") != nullptr;
    g_noCaret = g_noCaret || accessible;
    if (accessible) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_queryMsg = RegisterWindowMessageA(KSTTEST_EDITOR_QUERY);
    WNDCLASSA wc{};
    wc.lpfnWndProc = EditorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = KSTTEST_EDITOR_CLASS;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, KSTTEST_EDITOR_CLASS, "testeditor", WS_OVERLAPPEDWINDOW, 120,
                                  120, 420, 300, nullptr, nullptr, instance, nullptr);
    if (accessible) g_accessibleCaret = new AccessibleCaret(g_edit);
    g_viewer = strstr(commandLine, "--viewer") != nullptr;
    if (g_viewer) g_nextViewer = SetClipboardViewer(window);
    ShowWindow(window, SW_SHOW);
    MSG msg;
    // Each kind of window gets its messages from the loop of its kind.
    while ((g_unicode ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        if (g_unicode)
            DispatchMessageW(&msg);
        else
            DispatchMessageA(&msg);
    }
    return 0;
}
