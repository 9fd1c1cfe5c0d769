// The settings sheet driven from outside, as a person would: opened from the
// tray menu or the settings command, its pages switched, its controls set,
// and OK or Cancel pressed; then the registry and the program's behaviour
// are read.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

enum SheetPage { kKeysPage, kHistoryPage, kReformPage, kExclusionPage, kOtherPage, kVersionPage };

// The program's dialogs on the screen: property sheets, or the others (a
// message box, the open-file dialog).
std::vector<HWND> Dialogs(DWORD processId, bool sheets) {
    std::vector<HWND> found;
    for (HWND window : bench::VisibleWindowsOf(processId)) {
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, "#32770") != 0) continue;
        const bool isSheet = FindWindowExA(window, nullptr, "SysTabControl32", nullptr) != nullptr;
        if (isSheet == sheets) found.push_back(window);
    }
    return found;
}

class SheetEndToEnd : public AppFixture {
  protected:
    HWND WaitForSheet() {
        HWND sheet = nullptr;
        bench::PumpUntil([&] {
            const auto sheets = Dialogs(app_->Id(), true);
            sheet = sheets.empty() ? nullptr : sheets[0];
            return sheet != nullptr;
        }, 5000);
        bench::PumpFor(200);
        return sheet;
    }
    HWND OpenSheet() {
        PostGeneral(app_->MainWindow(), 5);
        return WaitForSheet();
    }
    static HWND ShowPage(HWND sheet, SheetPage page) {
        SendMessageA(sheet, PSM_SETCURSEL, page, 0);
        bench::PumpFor(100);
        return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    static bool Close(HWND sheet, int button) {
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        return bench::PumpUntil([&] { return !IsWindow(sheet); }, 5000);
    }
    static bool PressOk(HWND sheet) { return Close(sheet, PSBTN_OK); }
    // OK, then the program's last step after the sheet: the taskbar in front.
    // Only then can the editor be brought back for good.
    static bool PressOkAndReturnTo(HWND sheet, HWND window) {
        if (!PressOk(sheet)) return false;
        bench::PumpUntil([] { return GetForegroundWindow() == FindWindowA("Shell_TrayWnd", nullptr); }, 3000);
        return bench::BringToFront(window);
    }
    static bool PressCancel(HWND sheet) { return Close(sheet, PSBTN_CANCEL); }

    static void ClickButton(HWND page, int id) {
        SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
        bench::PumpFor(50);
    }
    static bool Checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static void SetText(HWND page, int id, const std::string& text) {
        SendDlgItemMessageA(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    static std::string Text(HWND page, int id) { return bench::WindowText(GetDlgItem(page, id)); }
    static int Selected(HWND page, int id) { return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)); }
    // The row of a key list that shows the key: the names are listed in the
    // order of their codes. (A list's texts cannot be read from another
    // process under Wine: they arrive as UTF-16.)
    static int RowOfKey(int code) {
        static const int kNamedCodes[] = {8, 9, 13, 28, 29, 32, 33, 34, 35, 36, 37, 38, 39, 40,
                                          48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
                                          65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77,
                                          78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90,
                                          96, 97, 98, 99, 100, 101, 102, 103, 104, 105,
                                          112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123,
                                          186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222, 226};
        static_assert(sizeof kNamedCodes / sizeof kNamedCodes[0] == 84, "84 key names");
        for (int row = 0; row < 84; ++row)
            if (kNamedCodes[row] == code) return row;
        return -1;
    }
    static void Choose(HWND page, int id, int row) { SendDlgItemMessageA(page, id, CB_SETCURSEL, row, 0); }

    static DWORD Stored(const char* subkey, const char* name) {
        DWORD value = 0xDEADBEEF;
        bench::GetDword(subkey, name, value);
        return value;
    }
    static std::string StoredText(const char* subkey, const char* name) {
        std::string value = "<none>";
        bench::GetString(subkey, name, value);
        return value;
    }
};

TEST_F(SheetEndToEnd, CancelWritesNothingAndOkWritesOnlyThePagesShown) {
    bench::DeleteValue(kClipText, "BUFFERLIMIT");
    bench::DeleteValue(kClipText, "bPASTEDELETE");
    bench::DeleteValue(kMain, "HistoryKeyWith");
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    ShowPage(sheet, kHistoryPage);
    ASSERT_TRUE(PressCancel(sheet));
    EXPECT_FALSE(bench::ValueExists(kMain, "HistoryKeyWith")) << "Cancel writes nothing";
    EXPECT_FALSE(bench::ValueExists(kClipText, "BUFFERLIMIT"));

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(2u, Stored(kMain, "HistoryKeyWith")) << "the first page is written";
    EXPECT_FALSE(bench::ValueExists(kClipText, "BUFFERLIMIT")) << "pages never shown write nothing";
    EXPECT_FALSE(bench::ValueExists(kClipText, "bPASTEDELETE"));
}

TEST_F(SheetEndToEnd, KeysAreStoredByTheirNamesAndModifiersByIndex) {
    bench::DeleteValue(kMain, "StopKeyWith");
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kKeysPage);
    EXPECT_EQ(2, Selected(page, IDC_KEYS_STOP_MODIFIERS)) << "no StopKeyWith stored: the page shows Control+Alt";
    EXPECT_EQ(84, SendDlgItemMessageA(page, IDC_KEYS_POPUP_KEY, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(RowOfKey(86), Selected(page, IDC_KEYS_POPUP_KEY)) << "V Key";
    Choose(page, IDC_KEYS_POPUP_KEY, RowOfKey(123)); // F12 Key
    Choose(page, IDC_KEYS_CLEAR_KEY, RowOfKey(226)); // \ (_) Key
    Choose(page, IDC_KEYS_STOP_KEY, RowOfKey(28));  // 変換(XFER)
    Choose(page, IDC_KEYS_POPUP_MODIFIERS, 0);
    Choose(page, IDC_KEYS_CLEAR_MODIFIERS, 1);
    Choose(page, IDC_KEYS_SIMPLE_PASTE_MODIFIERS, 2);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(123u, Stored(kMain, "HistoryKey"));
    EXPECT_EQ(226u, Stored(kMain, "ClearKey"));
    EXPECT_EQ(28u, Stored(kMain, "StopKey"));
    EXPECT_EQ(1u, Stored(kMain, "HistoryKeyWith"));
    EXPECT_EQ(2u, Stored(kMain, "ClearKeyWith"));
    EXPECT_EQ(3u, Stored(kMain, "StopKeyWith"));
    EXPECT_EQ(3u, Stored(kMain, "AutoPasteKeyWith"));
}

TEST_F(SheetEndToEnd, ANewPopupKeyWorksAtOnceAndTheSheetTakesTheKeysWhileOpen) {
    StartApp(HistoryOf({"from history", "second"}));
    // Through the tray menu: right button, then the settings item's mnemonic.
    PostMessageA(app_->MainWindow(), RegisterWindowMessageA("KESTRANE_TRAYNOTIFY"), 1, WM_RBUTTONDOWN);
    ASSERT_NE(nullptr, app_->WaitForVisible("#32768", 3000)) << "the tray menu";
    bench::SendKeys({{'S', false}, {'S', true}});
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    PostGeneral(app_->MainWindow(), 5);
    bench::PumpFor(500);
    EXPECT_EQ(1u, Dialogs(app_->Id(), true).size()) << "a second command opens no second sheet";

    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    bench::Chord({VK_MENU}, 'V');
    bench::PumpFor(600);
    EXPECT_EQ("", EditorText()) << "no hotkey acts while the sheet is open";
    EXPECT_EQ(1, Ask(kEditorKeyDowns, 'V')) << "the key reached the application";

    HWND page = ShowPage(sheet, kKeysPage);
    Choose(page, IDC_KEYS_POPUP_KEY, RowOfKey('Q'));
    ASSERT_TRUE(PressOkAndReturnTo(sheet, editorWindow_));
    bench::PumpFor(300);
    ASSERT_TRUE(bench::SetClipboardText("plain"));
    bench::PumpFor(700);
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return EditorText() == "plain"; }, 3000)) << "Ctrl+V is the editor's again";
    bench::Chord({VK_CONTROL}, 'Q');
    EXPECT_NE(nullptr, WaitForPopup(3000))
        << "Ctrl+Q opens the popup";
    bench::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    bench::PumpFor(300);
}

TEST_F(SheetEndToEnd, HistoryPageClampsTheLimitAndStepsByTen) {
    bench::SetDword(kClipText, "bCOPYORDER", 3);
    StartApp();
    for (const auto& c : std::vector<std::pair<std::string, DWORD>>{{"5", 20}, {"1000", 200}, {"", 20}}) {
        HWND sheet = OpenSheet();
        ASSERT_NE(nullptr, sheet);
        HWND page = ShowPage(sheet, kHistoryPage);
        if (c.first == "5") {
            EXPECT_FALSE(Checked(page, IDC_HISTORY_PASTED_STAYS) || Checked(page, IDC_HISTORY_PASTED_TO_BACK) || Checked(page, IDC_HISTORY_PASTED_TO_TOP))
                << "bCOPYORDER 3 selects no button";
        }
        SetText(page, IDC_HISTORY_LIMIT, c.first);
        ASSERT_TRUE(PressOk(sheet));
        EXPECT_EQ(c.second, Stored(kClipText, "BUFFERLIMIT")) << '"' << c.first << '"';
        EXPECT_EQ(0u, Stored(kClipText, "bCOPYORDER"));
    }
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kHistoryPage);
    HWND arrows = GetDlgItem(page, IDC_HISTORY_LIMIT_ARROWS);
    SendMessageA(arrows, UDM_SETPOS32, 0, 195);
    RECT r;
    GetWindowRect(arrows, &r);
    Click(POINT{(r.left + r.right) / 2, r.top + 3}); // the upper arrow
    EXPECT_EQ("200", Text(page, IDC_HISTORY_LIMIT)) << "stops at 200";
    Click(POINT{(r.left + r.right) / 2, r.bottom - 3}); // the lower arrow
    EXPECT_EQ("190", Text(page, IDC_HISTORY_LIMIT)) << "a step of 10";
    ASSERT_TRUE(PressCancel(sheet));
}

// A change still to be saved when keeping the history is turned off, then
// on again: the next change is on disk as usual, not only at exit.
TEST_F(SheetEndToEnd, KeepingTheHistoryOffAndOnAgainStillSaves) {
    bench::SetDword(kMain, "CtrlCOnly", 0);
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kHistoryPage);
    ASSERT_TRUE(Checked(page, IDC_HISTORY_KEEP));
    ASSERT_TRUE(bench::BringToFront(editorWindow_)); // copies in the program's own windows are not taken
    ASSERT_TRUE(bench::SetClipboardText("pending"));
    ASSERT_NE(nullptr, WaitForBalloon()) << "taken while the sheet is open";
    ClickButton(page, IDC_HISTORY_KEEP);
    ASSERT_TRUE(PressOk(sheet));
    bench::PumpFor(1500); // the save's delay runs out while keeping is off

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    page = ShowPage(sheet, kHistoryPage);
    ClickButton(page, IDC_HISTORY_KEEP);
    ASSERT_TRUE(Checked(page, IDC_HISTORY_KEEP));
    EXPECT_FALSE(Checked(page, IDC_HISTORY_ENCRYPT)) << "sealing is off at first";
    ASSERT_TRUE(PressOk(sheet));
    ASSERT_TRUE(bench::SetClipboardText("after"));
    EXPECT_TRUE(WaitForDisk({"pending", "after"}));

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    ClickButton(ShowPage(sheet, kHistoryPage), IDC_HISTORY_ENCRYPT);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(1u, Stored(kClipText, "bENCRYPT"));
}

TEST_F(SheetEndToEnd, ReformPageDirectionsColumnAndKinsoku) {
    for (const char* name : {"toDBCS", "toUPPER", "toCANMA", "toPERIOD"}) bench::DeleteValue(kClipText, name);
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kReformPage);
    EXPECT_EQ("全角 -> 半角(&H)", Text(page, IDC_REFORM_WIDTH));
    EXPECT_EQ("大文字 -> 小文字(&L)", Text(page, IDC_REFORM_CASE));
    EXPECT_EQ("｢，｣ -> ｢、｣(&K)", Text(page, IDC_REFORM_COMMA));
    EXPECT_EQ("｢．｣ -> ｢。｣(&P)", Text(page, IDC_REFORM_PERIOD));
    const bool boxBefore = Checked(page, IDC_REFORM_WIDTH);
    ClickButton(page, IDC_REFORM_WIDTH_DIRECTION);
    EXPECT_EQ("半角 -> 全角(&H)", Text(page, IDC_REFORM_WIDTH)) << "the toggle switches the text at once";
    EXPECT_EQ(boxBefore, Checked(page, IDC_REFORM_WIDTH)) << "and leaves the box's state alone";
    SetText(page, IDC_REFORM_COLUMN, "19");
    const std::string longKinsoku(300, '!');
    SetText(page, IDC_REFORM_LINE_START, longKinsoku);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(20u, Stored(kClipText, "ColumnWidth"));
    EXPECT_EQ(1u, Stored(kClipText, "toDBCS"));
    EXPECT_EQ(std::string(259, '!'), StoredText(kClipText, "CorrectFront")) << "cut to 259 bytes";

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    page = ShowPage(sheet, kReformPage);
    SetText(page, IDC_REFORM_COLUMN, "300");
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(256u, Stored(kClipText, "ColumnWidth"));
}

TEST_F(SheetEndToEnd, OtherSettingsFilePathBoxes) {
    bench::SetDword(kMain, "FilePath", 6);
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kOtherPage);
    EXPECT_FALSE(Checked(page, IDC_OTHER_FILE_PATHS) || Checked(page, IDC_OTHER_PATHS_TO_CLIPBOARD) || Checked(page, IDC_OTHER_FILE_NAMES_ONLY));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OTHER_PATHS_TO_CLIPBOARD)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OTHER_FILE_NAMES_ONLY)));
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(0u, Stored(kMain, "FilePath"));

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    page = ShowPage(sheet, kOtherPage);
    ClickButton(page, IDC_OTHER_FILE_PATHS);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_OTHER_PATHS_TO_CLIPBOARD)));
    ClickButton(page, IDC_OTHER_PATHS_TO_CLIPBOARD);
    ClickButton(page, IDC_OTHER_FILE_NAMES_ONLY);
    ClickButton(page, IDC_OTHER_FILE_PATHS); // cleared: the two are disabled, their states kept
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OTHER_FILE_NAMES_ONLY)));
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(0u, Stored(kMain, "FilePath"));

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    page = ShowPage(sheet, kOtherPage);
    ClickButton(page, IDC_OTHER_FILE_PATHS);
    ClickButton(page, IDC_OTHER_PATHS_TO_CLIPBOARD);
    ClickButton(page, IDC_OTHER_FILE_NAMES_ONLY);
    ClickButton(page, IDC_OTHER_FILE_PATHS);
    ClickButton(page, IDC_OTHER_FILE_PATHS); // set again: the two come back with their states
    EXPECT_TRUE(Checked(page, IDC_OTHER_PATHS_TO_CLIPBOARD) && Checked(page, IDC_OTHER_FILE_NAMES_ONLY));
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_EQ(7u, Stored(kMain, "FilePath"));
}

namespace {
// The start-up entry as the system keeps it; false when there is none.
bool RunValue(std::string& value) {
    char text[1024] = "";
    DWORD size = sizeof text;
    const LONG result = RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     "Kestrane", RRF_RT_REG_SZ, nullptr, text, &size);
    value = text;
    return result == ERROR_SUCCESS;
}
void RemoveRunValue() {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Kestrane");
}
} // namespace

// Off at first; checked and OK writes the quoted path of the running
// program, unchecked removes it; an entry of the program's old place
// follows it at the next start.
TEST_F(SheetEndToEnd, TheStartUpBoxWritesAndRemovesTheRunEntry) {
    RemoveRunValue();
    StartApp();
    std::string value;
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kOtherPage);
    EXPECT_FALSE(Checked(page, IDC_OTHER_START_WITH_WINDOWS));
    EXPECT_EQ("Windows の起動時に Kestrane を起動する", bench::WindowText(GetDlgItem(page, IDC_OTHER_START_WITH_WINDOWS)));
    ClickButton(page, IDC_OTHER_START_WITH_WINDOWS);
    ASSERT_TRUE(PressOk(sheet));
    ASSERT_TRUE(RunValue(value));
    EXPECT_EQ("\"" + copy_.Folder() + copy_.Program() + "\"", value);

    sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    page = ShowPage(sheet, kOtherPage);
    EXPECT_TRUE(Checked(page, IDC_OTHER_START_WITH_WINDOWS));
    ClickButton(page, IDC_OTHER_START_WITH_WINDOWS);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_FALSE(RunValue(value));

    // Moved: the entry that names the old place is made to name this one.
    app_->Close();
    const std::string old = "\"C:\\old place\\kestrane.exe\"";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                             "Kestrane", REG_SZ, old.c_str(), static_cast<DWORD>(old.size() + 1)));
    StartApp();
    EXPECT_TRUE(bench::PumpUntil([&] { return RunValue(value) && value != old; }, 5000));
    EXPECT_EQ("\"" + copy_.Folder() + copy_.Program() + "\"", value);
    RemoveRunValue();
}

// A dialog of the program other than the sheet (a message box, the
// open-file dialog), once it shows.
HWND WaitForDialog(DWORD processId) {
    HWND found = nullptr;
    bench::PumpUntil([&] {
        const auto dialogs = Dialogs(processId, false);
        found = dialogs.empty() ? nullptr : dialogs[0];
        return found != nullptr;
    }, 5000);
    bench::PumpFor(300);
    return found;
}

TEST_F(SheetEndToEnd, ExclusionPageAddsBrowsesDeletesAndStores) {
    for (int i = 0; i < 5; ++i)
        bench::SetRaw(kst::kExceptKey, ("ModuleFileName" + std::to_string(i)).c_str(), REG_SZ, "C:\\old.exe", 11);
    bench::SetDword(kst::kExceptKey, "count", 5);
    StartApp(HistoryOf({"a", "b"}));
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kExclusionPage);
    HWND list = GetDlgItem(page, IDC_EXCLUSION_LIST);
    EXPECT_EQ(5, SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int k = 0; k < 5; ++k) SendMessageA(list, LB_DELETESTRING, 0, 0);

    SetText(page, IDC_EXCLUSION_PATH, "C:\\no\\such.exe");
    PostMessageA(GetDlgItem(page, IDC_EXCLUSION_ADD), BM_CLICK, 0, 0);
    HWND box = WaitForDialog(app_->Id());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("パスが有効な実行ファイルではありません", bench::WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    bench::PumpUntil([&] { return !IsWindow(box); }, 3000);
    EXPECT_EQ(0, SendMessageA(list, LB_GETCOUNT, 0, 0)) << "nothing added";

    // Browsing: Cancel keeps the box; a chosen file fills it.
    const std::string editor = bench::ExeDirectory() + "testeditor.exe";
    SetText(page, IDC_EXCLUSION_PATH, "typed");
    PostMessageA(GetDlgItem(page, IDC_EXCLUSION_BROWSE), BM_CLICK, 0, 0);
    HWND open = WaitForDialog(app_->Id());
    ASSERT_NE(nullptr, open);
    EXPECT_EQ("除外する実行ファイルの指定", bench::WindowText(open));
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    bench::PumpUntil([&] { return !IsWindow(open); }, 3000);
    EXPECT_EQ("typed", Text(page, IDC_EXCLUSION_PATH));
    PostMessageA(GetDlgItem(page, IDC_EXCLUSION_BROWSE), BM_CLICK, 0, 0);
    open = WaitForDialog(app_->Id());
    ASSERT_NE(nullptr, open);
    // The file name box: an edit inside the combo box of the name field.
    HWND combo = FindWindowExA(GetDlgItem(open, 0x47C), nullptr, "ComboBox", nullptr);
    HWND name = combo ? FindWindowExA(combo, nullptr, "Edit", nullptr) : GetDlgItem(open, 0x480);
    ASSERT_NE(nullptr, name);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(editor.c_str()));
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    bench::PumpUntil([&] { return !IsWindow(open); }, 3000);
    EXPECT_EQ(editor, Text(page, IDC_EXCLUSION_PATH));

    ClickButton(page, IDC_EXCLUSION_ADD);
    ClickButton(page, IDC_EXCLUSION_ADD);
    SetText(page, IDC_EXCLUSION_PATH, bench::ExeDirectory() + "kestrane.exe");
    ClickButton(page, IDC_EXCLUSION_ADD);
    EXPECT_EQ(3, SendMessageA(list, LB_GETCOUNT, 0, 0)) << "the same path twice is listed twice";
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    ClickButton(page, IDC_EXCLUSION_DELETE);
    EXPECT_EQ(2, SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0)) << "the new last is selected";
    ASSERT_TRUE(PressOkAndReturnTo(sheet, editorWindow_));
    EXPECT_EQ(2u, Stored(kst::kExceptKey, "count"));
    EXPECT_EQ(editor, StoredText(kst::kExceptKey, "ModuleFileName1"));
    EXPECT_EQ("C:\\old.exe", StoredText(kst::kExceptKey, "ModuleFileName4")) << "older values stay";

    // The newly excluded editor gets no popup: Ctrl+V is its own again.
    ASSERT_TRUE(bench::SetClipboardText("clip"));
    bench::PumpFor(700);
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return EditorText() == "clip"; }, 3000)) << EditorText();
    EXPECT_EQ(nullptr, WaitForPopup(300));
}

// The help button asks the shell to open the help document beside the
// program: an association of the test's own records what it was given.
TEST_F(SheetEndToEnd, VersionPageShowsTheVersionAndOpensTheHelp) {
    const std::string record = "C:\\kst-help-opened.txt";
    DeleteFileA(record.c_str());
    // Wine's class registry is the machine's: the association goes there,
    // and the old one comes back afterwards.
    char previous[64] = "htmlfile";
    LONG size = sizeof previous;
    RegQueryValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html", previous, &size);
    const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1> " + record;
    RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html", REG_SZ, "KstTestHelp", 11);
    RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\KstTestHelp\\shell\\open\\command", REG_SZ,
                 command.c_str(), (DWORD)command.size());
    StartApp();
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, kVersionPage);
    EXPECT_EQ("2000 03/13 Ver1.06", Text(page, IDC_VERSION_LINE));
    ClickButton(page, IDC_VERSION_HELP);
    std::string opened;
    bench::PumpUntil([&] {
        opened = bench::ReadFileBytes(record);
        return opened.find(".html") != std::string::npos;
    }, 8000);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\KstTestHelp");
    RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html", REG_SZ, previous, (DWORD)strlen(previous));
    EXPECT_NE(std::string::npos, opened.find(copy_.Folder() + "kestrane-help.html")) << opened;
    ASSERT_TRUE(PressCancel(sheet));
}

// Closed while paused, the sheet leaves the program paused: only the stop
// key is taken, and Ctrl+V pastes as if Kestrane were not there.
TEST_F(SheetEndToEnd, ClosingTheSheetWhilePausedKeepsThePause) {
    StartApp(HistoryOf({"a", "b"}));
    bench::Chord({VK_CONTROL, VK_MENU}, VK_BACK); // pause
    ASSERT_TRUE(WaitForKeyMode(kst::kKeyModeStopOnly));
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    ASSERT_TRUE(Close(sheet, PSBTN_CANCEL));
    bench::PumpUntil([] { return GetForegroundWindow() == FindWindowA("Shell_TrayWnd", nullptr); }, 3000);
    ASSERT_TRUE(bench::BringToFront(editorWindow_));
    ASSERT_TRUE(bench::SetClipboardText("paused"));
    Ask(kEditorReset);
    bench::Chord({VK_CONTROL}, 'V');
    EXPECT_TRUE(bench::PumpUntil([&] { return EditorText() == "paused"; }, 3000)) << EditorText();
    EXPECT_EQ(nullptr, WaitForPopup(300));
}

} // namespace
