// A copy as careful programs make it: the text together with a registered
// format asking clipboard monitors not to record it (or, for the consent
// format with value 1, allowing it).
#pragma once

#include <windows.h>

#include <string.h>

enum CopyMarker {
    kMarkNone = 0,
    kMarkExclude = 1,      // "ExcludeClipboardContentFromMonitorProcessing"
    kMarkViewerIgnore = 2, // "Clipboard Viewer Ignore"
    kMarkConsentNo = 3,    // "CanIncludeInClipboardHistory", DWORD 0
    kMarkConsentYes = 4,   // the same, DWORD 1
};

inline HGLOBAL GlobalCopyOf(const void* data, SIZE_T size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* p = memory ? GlobalLock(memory) : nullptr) {
        memcpy(p, data, size);
        GlobalUnlock(memory);
    }
    return memory;
}

// One clipboard write: text and marker together, as one change.
inline bool PutMarkedCopy(HWND owner, const char* text, CopyMarker marker) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool ok = SetClipboardData(CF_TEXT, GlobalCopyOf(text, strlen(text) + 1)) != nullptr;
    const char* name = marker == kMarkExclude        ? "ExcludeClipboardContentFromMonitorProcessing"
                       : marker == kMarkViewerIgnore ? "Clipboard Viewer Ignore"
                       : marker != kMarkNone         ? "CanIncludeInClipboardHistory"
                                                     : nullptr;
    if (name) {
        const DWORD value = marker == kMarkConsentYes ? 1 : 0;
        ok = SetClipboardData(RegisterClipboardFormatA(name), GlobalCopyOf(&value, sizeof value)) && ok;
    }
    CloseClipboard();
    return ok;
}
