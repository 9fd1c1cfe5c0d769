// The settings sheet's resources as the built program carries them: the
// key-name table and the pages' captions, read back as code page 932.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource_ids.h"

namespace {

std::string LoadText(int id) {
    char text[64] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

TEST(SettingsResources, KeyAndModifierNames) {
    int names = 0;
    for (int id = IDS_KEY_NAME_BASE; id <= IDS_KEY_NAME_BASE + 226; ++id) names += !LoadText(id).empty();
    EXPECT_EQ(84, names);
    EXPECT_EQ("変換(XFER)", LoadText(IDS_KEY_NAME_BASE + 28));
    EXPECT_EQ("\\ (_) Key", LoadText(IDS_KEY_NAME_BASE + 226));
    EXPECT_EQ("\\ (|) Key", LoadText(IDS_KEY_NAME_BASE + 220));
    EXPECT_EQ("Left(←)", LoadText(IDS_KEY_NAME_BASE + 37));
    EXPECT_EQ("0 (Zero) Key", LoadText(IDS_KEY_NAME_BASE + 48));
    EXPECT_EQ("F12 Key", LoadText(IDS_KEY_NAME_BASE + 123));
    EXPECT_EQ("", LoadText(IDS_KEY_NAME_BASE + 7)) << "no name for a code the table leaves out";
    EXPECT_EQ("Control+Alt", LoadText(IDS_MODIFIER_NAME_BASE + 3));
}

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return 0; }

// A page is a child dialog: it is made inside a hidden window of ours.
std::string Caption(int dialog, int id) {
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog), host, Quiet, 0);
    char text[128] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    DestroyWindow(host);
    return text;
}

TEST(SettingsResources, PageCaptionsAreTheirCodePage932Bytes) {
    EXPECT_EQ("クリップボードの自動取り込み(&A)", Caption(IDD_PAGE_KEYS, IDC_KEYS_AUTO_CAPTURE));
    EXPECT_EQ("FI&LO(最後にコピーしたものが履歴の最初になる)", Caption(IDD_PAGE_HISTORY, IDC_HISTORY_FILO));
    EXPECT_EQ("｢。｣ -> ｢．｣(&P)", Caption(IDD_PAGE_REFORM, IDC_REFORM_PERIOD));
    EXPECT_EQ("参照(&R)", Caption(IDD_PAGE_EXCLUSION, IDC_EXCLUSION_BROWSE));
    EXPECT_EQ("Ctrl + C / X を押してコピーしたときのみ履歴に追加する(&A)", Caption(IDD_PAGE_OTHER, IDC_OTHER_COPY_KEYS_ONLY));
    EXPECT_EQ("ヘルプを読む(&H)", Caption(IDD_PAGE_VERSION, IDC_VERSION_HELP));
}

} // namespace
