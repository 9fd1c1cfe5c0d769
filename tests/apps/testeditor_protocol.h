// How the tests talk to the test editor: one registered message whose wParam
// names the question; sent (or, for a freeze, posted) to the main window.
#pragma once

#define KSTTEST_EDITOR_CLASS "KstTestEditor"
#define KSTTEST_EDITOR_QUERY "KSTTEST_EDITOR_QUERY"

enum EditorQuery {
    kEditorKeyDowns = 1, // lParam vk: key-down messages the edit control received
    kEditorKeyUps = 2,   // lParam vk: key-up messages
    kEditorCaret = 3,    // the caret in screen coordinates, packed x low, y high
    kEditorReset = 4,    // forget counts and text
    kEditorFreeze = 5,   // post it: stop pumping messages for lParam ms
    kEditorAnyKeys = 6,  // key messages of any kind received
    kEditorMarkCopies = 7, // lParam CopyMarker: copies carry it from now on
    kEditorOpenIme = 8,    // lParam 1 on, 0 off: the input method of the edit control
    kEditorImeRequests = 9, // requests to switch its input method: off ones low word, on ones high
    kEditorPictures = 11,     // pictures pasted (Ctrl+V with a bitmap and no text on the clipboard)
    kEditorPictureHash = 12,  // the FNV-1a hash of the last pasted picture's CF_DIB bytes
    kEditorSecondWindow = 10, // a second window of this thread, with an edit control, brought to the front: the edit
};
