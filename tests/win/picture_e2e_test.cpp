// Pictures and formatted copies in the history of the real program: copied
// by another program, shown in the popup, pasted back, kept across restarts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/formats_companion.h"
#include "history/history_file.h"
#include "image/dib_codec.h"
#include "image/png_codec.h"
#include "popup/paste_popup.h"
#include "popup/popup_model.h"
#include "ui/shared_gdi.h"
#include "tests/win/app_fixture.h"

namespace {

using namespace fixture;

DWORD HashOf(const std::string& bytes) {
    DWORD hash = 2166136261u;
    for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
    return hash;
}

class PictureEndToEnd : public AppFixture {
  protected:
    // Pixels of the marks' place at a row's end that are not its background.
    static int MarkPixels(HWND list, int row) {
        RECT r;
        SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        POINT end{r.right - 40, r.top + 1};
        ClientToScreen(list, &end);
        const COLORREF background = ScreenPixel(end);
        int count = 0;
        for (int y = r.top + 3; y < r.top + 3 + kst::kFormatsMarkSize; ++y)
            for (int x = r.right - 6 - kst::kFormatsMarkSize; x < r.right - 6; ++x) {
                POINT at{x, y};
                ClientToScreen(list, &at);
                count += ScreenPixel(at) != background;
            }
        return count;
    }
    void SetUp() override {
        AppFixture::SetUp();
        bench::SetDword(kMain, "CtrlCOnly", 0); // copies made by this program, not typed
    }
    std::string FormatsFile() const { return kst::FormatsCompanionPath(copy_.HistoryFile()); }
    // The formats file bound to the history file on disk, with its records.
    size_t FormatRecordsOnDisk() const {
        std::string history, formats;
        if (!kst::ReadWholeFile(copy_.HistoryFile(), history) || !kst::ReadWholeFile(FormatsFile(), formats)) return 0;
        kst::FormatsCompanion companion;
        if (!kst::DecodeFormatsCompanion(reinterpret_cast<const unsigned char*>(formats.data()), formats.size(),
                                         companion))
            return 0;
        const kst::HistoryFileSum sum = kst::SumOfFile(history);
        return companion.file.length == sum.length && companion.file.crc == sum.crc ? companion.records.size() : 0;
    }
    bool WaitForFormatRecords(size_t count) {
        return bench::PumpUntil([&] { return FormatRecordsOnDisk() == count; }, 10000);
    }
    // The row that shows the entry, selected: its detail balloon's text,
    // once it begins as expected.
    std::string DetailOfEntry(HWND popup, int entry, const std::string& begins = "画像") {
        HWND list = List(popup);
        const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        Tap(VK_HOME);
        for (int k = 0; k < rows && SendMessageA(list, LB_GETITEMDATA, Selected(popup), 0) != entry; ++k) Tap(VK_DOWN);
        if (SendMessageA(list, LB_GETITEMDATA, Selected(popup), 0) != entry) return "<no row>";
        std::string text;
        bench::PumpUntil([&] {
            HWND b = Balloon();
            text = b && IsWindowVisible(b) ? bench::WindowText(GetDlgItem(b, kst::kTooltipTextId)) : "";
            return !text.empty() && text.rfind(begins, 0) == 0;
        }, 3000);
        return text;
    }
    // Pixels of a row of the list on the screen, counted by colour; label:
    // those right of the thumbnail's room that are not the row's background.
    struct RowColours {
        int red = 0, blue = 0, green = 0, label = 0;
    };
    static RowColours ColoursOfRow(HWND list, int row) {
        RowColours c;
        RECT r;
        SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        HDC screen = GetDC(nullptr);
        POINT end{r.right - 8, r.top + 1};
        ClientToScreen(list, &end);
        const COLORREF background = GetPixel(screen, end.x, end.y);
        const int thumbnailEnd = r.left + 31 + kst::kThumbnailWidth + 5;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left + 28; x < r.right - 4; ++x) {
                POINT at{x, y};
                ClientToScreen(list, &at);
                const COLORREF p = GetPixel(screen, at.x, at.y);
                const int R = GetRValue(p), G = GetGValue(p), B = GetBValue(p);
                if (R > 180 && G < 80 && B < 80) ++c.red;
                if (B > 180 && R < 80 && G < 80) ++c.blue;
                if (G > 140 && R < 80 && B < 80) ++c.green;
                if (x > thumbnailEnd && p != background) ++c.label;
            }
        ReleaseDC(nullptr, screen);
        return c;
    }
};

TEST_F(PictureEndToEnd, ABitmapBecomesAPictureEntryShownAsAThumbnailAndPastedBack) {
    StartApp(HistoryOf({"text"}));
    const kst::Image picture = PatternPicture(320, 200);
    const std::string dib = DibOf(picture);
    ASSERT_TRUE(SetClipboardParts({{CF_DIB, dib}}));
    ASSERT_TRUE(WaitForDisk({"text", "[画像 320×200]"}));
    ASSERT_TRUE(WaitForFormatRecords(1));
    ASSERT_TRUE(bench::SetClipboardText("other")); // the picture is an entry, no longer the clipboard
    ASSERT_TRUE(WaitForDisk({"text", "[画像 320×200]", "other"}));

    Ask(kEditorReset);
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("画像 320×200", DetailOfEntry(popup, 1)) << "the detail balloon names the picture";
    const int row = Selected(popup);
    RowColours colours;
    bench::PumpUntil([&] { // until the row is drawn
        colours = ColoursOfRow(List(popup), row);
        return colours.red > 10 && colours.blue > 10 && colours.green > 5 && colours.label > 20;
    }, 3000);
    EXPECT_GT(colours.red, 10) << "the thumbnail's red half";
    EXPECT_GT(colours.blue, 10) << "the thumbnail's blue half";
    EXPECT_GT(colours.green, 5) << "the thumbnail's band";
    EXPECT_GT(colours.label, 20) << "the label's text beside it";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(popup, kst::kToggleWidth))) << "conversions greyed for a picture";

    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    ASSERT_TRUE(bench::PumpUntil([&] { return Ask(kEditorPictures) == 1; }, 5000)) << "the editor took a picture";
    const std::string pasted = ClipboardBytesOf(CF_DIB);
    kst::Image back;
    ASSERT_TRUE(kst::DecodeDib(pasted.data(), pasted.size(), back));
    EXPECT_EQ(picture.width, back.width);
    EXPECT_EQ(picture.height, back.height);
    EXPECT_TRUE(back.bgra == picture.bgra) << "the same pixels";
    EXPECT_EQ(static_cast<LRESULT>(HashOf(pasted)), Ask(kEditorPictureHash)) << "the editor read that bitmap";
    EXPECT_FALSE(ClipboardBytesOf(RegisterClipboardFormatA("PNG")).empty()) << "and its PNG beside it";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT)) << "no text for a picture";
}

TEST_F(PictureEndToEnd, PicturesOutliveAGracefulRestartAndAHardKill) {
    StartApp();
    ASSERT_TRUE(SetClipboardParts({{CF_DIB, DibOf(PatternPicture(64, 48))}}));
    ASSERT_TRUE(WaitForFormatRecords(1));
    app_->Close();
    EmptyTheClipboard(); // else the next start takes the picture again
    StartApp();
    ASSERT_TRUE(SetClipboardParts({{CF_DIB, DibOf(PatternPicture(30, 90))}}));
    // Killed once the usual save has the picture on disk.
    ASSERT_TRUE(WaitForFormatRecords(2));
    app_->Kill();
    app_.reset();
    EmptyTheClipboard();
    StartApp();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("画像 64×48", DetailOfEntry(popup, 0));
    EXPECT_EQ("画像 30×90", DetailOfEntry(popup, 1));
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitForPopupGone());
    Ask(kEditorReset);
    bench::Chord({VK_MENU}, 'V'); // the simple paste takes pictures too
    // Until the simple paste has let its Ctrl go again.
    EXPECT_TRUE(bench::PumpUntil([&] { return Ask(kEditorPictures) == 1 && Ask(kEditorKeyUps, VK_CONTROL) >= 1; }, 5000));
    // Both chosen: pictures alone, the first of them is pasted.
    Ask(kEditorReset);
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    Tap(VK_HOME);
    const int from = Selected(popup);
    bench::SendKeys({{VK_SHIFT, false}, {VK_DOWN, false}, {VK_DOWN, true}, {VK_SHIFT, true}});
    ASSERT_TRUE(bench::PumpUntil([&] { return Selected(popup) == from + 1; }, 3000)) << "the selection extended";
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(bench::PumpUntil([&] { return Ask(kEditorPictures) == 1; }, 5000)) << "one picture pasted";
    EXPECT_EQ((std::vector<std::string>{"[画像 64×48]", "[画像 30×90]"}), SavedTexts());
}

TEST_F(PictureEndToEnd, ShiftEnterPastesTheHtmlAsCopiedAndEnterTheTextConverted) {
    bench::SetDword(kClipText, "bUPPER", 1);
    bench::SetDword(kClipText, "toUPPER", 1);
    StartApp(HistoryOf({"plain"})); // a file of text alone, as older versions wrote
    const UINT html = RegisterClipboardFormatA("HTML Format");
    std::string htmlBytes = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000170\r\nStartFragment:00000131\r\n"
                            "EndFragment:00000134\r\n<html><body><!--StartFragment--><b>abc</b><!--EndFragment-->"
                            "</body></html>";
    htmlBytes += '\0';
    ASSERT_TRUE(SetClipboardParts({{CF_TEXT, std::string("abc", 4)}, {html, htmlBytes}}));
    ASSERT_TRUE(WaitForDisk({"plain", "abc"}));
    ASSERT_TRUE(WaitForFormatRecords(1));
    ASSERT_TRUE(bench::SetClipboardText("later"));
    ASSERT_TRUE(WaitForDisk({"plain", "abc", "later"}));
    app_->Close(); // the formats come back from the file too
    EmptyTheClipboard();
    StartApp();

    ClearEditor();
    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("abc", DetailOfEntry(popup, 1, "abc"));
    bench::PumpUntil([&] { return MarkPixels(List(popup), Selected(popup)) > 8; }, 3000); // until drawn
    EXPECT_GT(MarkPixels(List(popup), Selected(popup)), 8) << "the mark of kept formats";
    for (int row = 0; row < 3; ++row) {
        if (SendMessageA(List(popup), LB_GETITEMDATA, row, 0) == 0) {
            EXPECT_EQ(0, MarkPixels(List(popup), row)) << "none for a text alone";
        }
    }
    bench::SendKeys({{VK_SHIFT, false}, {VK_RETURN, false}, {VK_RETURN, true}, {VK_SHIFT, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForEditorText("abc")) << "unconverted: " << EditorText();
    EXPECT_EQ(htmlBytes, ClipboardBytesOf(html)) << "the HTML byte for byte";

    ClearEditor();
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("abc", DetailOfEntry(popup, 1, "abc"));
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForEditorText("ABC")) << "converted: " << EditorText();
    EXPECT_FALSE(IsClipboardFormatAvailable(html)) << "Enter pastes the text alone";
}

// A browser's copy of an image as PNG alone comes back as those very bytes;
// a spreadsheet's cells (text and a bitmap of them) keep the bitmap beside
// the text for Shift+Enter.
TEST_F(PictureEndToEnd, APngComesBackByteForByteAndAPictureBesideTextWithShiftEnter) {
    StartApp();
    const kst::Image picture = PatternPicture(90, 40);
    std::string png;
    ASSERT_TRUE(kst::EncodePng(picture, 9, png));
    const UINT pngFormat = RegisterClipboardFormatA("PNG");
    ASSERT_TRUE(SetClipboardParts({{pngFormat, png}}));
    ASSERT_TRUE(WaitForDisk({"[画像 90×40]"}));
    ASSERT_TRUE(SetClipboardParts({{CF_TEXT, std::string("cells", 6)}, {CF_DIB, DibOf(picture)}}));
    ASSERT_TRUE(WaitForDisk({"[画像 90×40]", "cells"}));
    ASSERT_TRUE(WaitForFormatRecords(2));

    HWND popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("画像 90×40", DetailOfEntry(popup, 0));
    bench::SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(bench::PumpUntil([&] { return ClipboardBytesOf(pngFormat) == png; }, 5000)) << "the PNG as copied";

    ClearEditor();
    popup = OpenWithCtrlV();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ("cells", DetailOfEntry(popup, 1, "cells"));
    bench::SendKeys({{VK_SHIFT, false}, {VK_RETURN, false}, {VK_RETURN, true}, {VK_SHIFT, true}});
    EXPECT_TRUE(WaitForPopupGone());
    EXPECT_TRUE(WaitForEditorText("cells"));
    const std::string dib = ClipboardBytesOf(CF_DIB);
    kst::Image back;
    ASSERT_TRUE(kst::DecodeDib(dib.data(), dib.size(), back)) << "the bitmap beside the text";
    EXPECT_TRUE(back.bgra == picture.bgra);
}

TEST_F(PictureEndToEnd, APictureAboveTheBoundIsNotKeptAndTheBalloonSaysSo) {
    bench::SetDword(kClipText, "MaxFormatsKB", 64);
    StartApp(HistoryOf({"kept"}));
    const std::string dib = DibOf(PatternPicture(200, 100)); // 78 KB at four bytes a pixel
    ASSERT_TRUE(SetClipboardParts({{CF_DIB, dib}}));
    const std::string text = WaitForBalloonText("Kestrane [追加しません]");
    EXPECT_NE(std::string::npos, text.find("200×100")) << text;
    EXPECT_NE(std::string::npos, text.find("64 KB")) << text;
    EXPECT_EQ(dib, ClipboardBytesOf(CF_DIB)) << "the clipboard as it was";
    EXPECT_EQ((std::vector<std::string>{"kept"}), SavedTexts());
    EXPECT_FALSE(kst::FileExists(FormatsFile()));
}

} // namespace
