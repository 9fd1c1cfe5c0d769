// Pictures and formats kept with the entries: the companion file against
// damage and other history files, the history that binds them, thumbnails
// and the bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/clip_formats.h"
#include "history/clip_history.h"
#include "history/file_io.h"
#include "history/formats_companion.h"
#include "history/history_file.h"
#include "image/png_codec.h"
#include "tests/unit/history_test_folder.h"
#include "tests/unit/test_pictures.h"

namespace {

using namespace kst;

std::shared_ptr<const ClipFormats> PictureEntry(uint32_t w, uint32_t h) {
    auto formats = std::make_shared<ClipFormats>();
    formats->pictureEntry = true;
    EXPECT_TRUE(AddPicture(SmoothImage(w, h), nullptr, *formats));
    return formats;
}

std::shared_ptr<const ClipFormats> Formatted(const std::string& html, const std::string& rtf) {
    auto formats = std::make_shared<ClipFormats>();
    EXPECT_TRUE(AddDeflated(FormatKind::kHtml, html, *formats));
    if (!rtf.empty()) {
        EXPECT_TRUE(AddDeflated(FormatKind::kRtf, rtf, *formats));
    }
    return formats;
}

bool SameFormats(const ClipFormats& a, const ClipFormats& b) {
    if (a.pictureEntry != b.pictureEntry || a.parts.size() != b.parts.size()) return false;
    for (size_t k = 0; k < a.parts.size(); ++k) {
        const StoredFormat &x = a.parts[k], &y = b.parts[k];
        if (x.kind != y.kind || x.width != y.width || x.height != y.height || x.plainSize != y.plainSize ||
            x.stored != y.stored)
            return false;
    }
    return true;
}

std::string Plain(const ClipFormats& formats, FormatKind kind) {
    std::string plain;
    const StoredFormat* part = formats.Find(kind);
    return part && Inflated(*part, plain) ? plain : "<none>";
}

TEST(ClipFormats, APictureKeepsItsPngAndAThumbnailSourceInItsBox) {
    const Image picture = SmoothImage(1920, 1080);
    std::string png;
    ASSERT_TRUE(EncodePng(picture, 1, png));
    ClipFormats copied;
    ASSERT_TRUE(AddPicture(picture, &png, copied));
    EXPECT_EQ(png, copied.Picture()->stored) << "a copied PNG is kept as it was";
    const StoredFormat* thumbnail = copied.Find(FormatKind::kThumbnail);
    ASSERT_NE(nullptr, thumbnail);
    EXPECT_EQ(114u, thumbnail->width);
    EXPECT_EQ(64u, thumbnail->height);
    EXPECT_EQ(uint64_t{1920} * 1080 * 4, copied.PlainBytes()) << "the bound counts the picture, not its thumbnail";
    Image back;
    ASSERT_TRUE(DecodePicture(*copied.Picture(), back));
    EXPECT_EQ(picture.bgra, back.bgra);

    ClipFormats tiny; // no larger than the box: its own thumbnail's source
    ASSERT_TRUE(AddPicture(SmoothImage(5, 3), nullptr, tiny));
    EXPECT_EQ(5u, tiny.Find(FormatKind::kThumbnail)->width);
    EXPECT_EQ(PictureEntryText(1920, 1080), "[画像 1920×1080]");
    EXPECT_EQ(PictureLabel(8, 8), "画像 8×8");
}

TEST(ClipFormats, ThumbnailsAreMadeOnceForEachBox) {
    ClipItem item;
    item.SetText(PictureEntryText(1920, 1080));
    EXPECT_EQ(nullptr, item.Thumbnail(48, 15)) << "no picture, no thumbnail";
    item.SetFormats(PictureEntry(1920, 1080));
    const Image* small = item.Thumbnail(48, 15);
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(27u, small->width);
    EXPECT_EQ(15u, small->height);
    EXPECT_EQ(small, item.Thumbnail(48, 15)) << "the same one at the next paint";
    const Image* larger = item.Thumbnail(96, 30); // another DPI
    ASSERT_NE(nullptr, larger);
    EXPECT_EQ(53u, larger->width);
    ClipItem rich;
    rich.SetText("abc");
    rich.SetFormats(Formatted("<b>abc</b>", ""));
    EXPECT_TRUE(rich.HasCopiedFormats());
    EXPECT_FALSE(rich.IsPicture());
    EXPECT_EQ(nullptr, rich.Thumbnail(48, 15));
}

std::vector<FormatsRecord> ThreeRecords() {
    return {FormatsRecordOf(0, PictureEntryText(40, 30), PictureEntry(40, 30)),
            FormatsRecordOf(2, "abc", Formatted(std::string(3000, 'h'), "{\\rtf1 abc}")),
            FormatsRecordOf(3, PictureEntryText(7, 70), PictureEntry(7, 70))};
}

TEST(FormatsCompanion, RoundTripsAndLosesOnlyADamagedRecord) {
    const std::vector<FormatsRecord> records = ThreeRecords();
    const HistoryFileSum sum{1234, 0xCAFEF00D};
    const std::string image = EncodeFormatsCompanion(records, sum);
    auto bytes = [](const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); };
    FormatsCompanion read;
    ASSERT_TRUE(DecodeFormatsCompanion(bytes(image), image.size(), read));
    EXPECT_EQ(sum.length, read.file.length);
    EXPECT_EQ(sum.crc, read.file.crc);
    ASSERT_EQ(3u, read.records.size());
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(records[k].index, read.records[k].index);
        EXPECT_EQ(records[k].textCrc, read.records[k].textCrc);
        EXPECT_TRUE(SameFormats(*records[k].formats, *read.records[k].formats)) << k;
    }
    // Any one byte changed: never a record that differs from what was written,
    // and a byte inside a record's stored bytes costs that record only.
    for (size_t at = 0; at < image.size(); ++at) {
        std::string damaged = image;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
        FormatsCompanion got;
        if (!DecodeFormatsCompanion(bytes(damaged), damaged.size(), got)) continue;
        for (const FormatsRecord& r : got.records) {
            const auto same = [&](const FormatsRecord& w) {
                return w.index == r.index && w.textCrc == r.textCrc && SameFormats(*w.formats, *r.formats);
            };
            EXPECT_TRUE(same(records[0]) || same(records[1]) || same(records[2])) << "byte " << at;
        }
    }
    std::string damaged = image;
    const size_t inSecond = EncodeFormatsCompanion({records[0]}, sum).size() + 60; // in its deflated HTML
    damaged[inSecond] = static_cast<char>(damaged[inSecond] ^ 0xFF);
    FormatsCompanion got;
    ASSERT_TRUE(DecodeFormatsCompanion(bytes(damaged), damaged.size(), got));
    ASSERT_EQ(2u, got.records.size());
    EXPECT_EQ(0u, got.records[0].index);
    EXPECT_EQ(3u, got.records[1].index);
    EXPECT_EQ(1u, got.damaged);
    // Cut anywhere: the records wholly before the cut.
    for (size_t length = 0; length < image.size(); ++length) {
        FormatsCompanion cut;
        if (!DecodeFormatsCompanion(bytes(image), length, cut)) {
            EXPECT_LT(length, 25u) << "only a cut header refuses the file";
            continue;
        }
        const size_t whole = length >= image.size() ? 3
                             : length >= EncodeFormatsCompanion({records[0], records[1]}, sum).size() ? 2
                             : length >= EncodeFormatsCompanion({records[0]}, sum).size() ? 1 : 0;
        EXPECT_EQ(whole, cut.records.size()) << "cut at " << length;
    }
}

class FormatsHistory : public HistoryTestFolder {
  protected:
    // Entries: "plain", a picture, "abc" with HTML and RTF, a second picture.
    void Fill(ClipHistory& h) {
        AddCopy(h, u"plain");
        ASSERT_EQ(1, h.AddPicture(PictureEntry(40, 30)));
        ASSERT_EQ(1, h.AddCopy("abc", false, nullptr, Formatted("<b>abc</b>", "{\\rtf1 abc}")));
        ASSERT_EQ(1, h.AddPicture(PictureEntry(7, 70)));
    }
    std::string Bytes(const std::string& file) const {
        std::string content;
        ReadWholeFile(file, content);
        return content;
    }
    void Write(const std::string& file, const std::string& content) const { WriteFileReplacing(file, content); }
};

TEST_F(FormatsHistory, PicturesAndFormatsComeBackWithTheirEntries) {
    ClipHistory saved(&host);
    Fill(saved);
    ASSERT_EQ(1, saved.Save(path));
    ASSERT_TRUE(FileExists(FormatsCompanionPath(path)));
    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path));
    ASSERT_EQ(4, loaded.Count());
    EXPECT_FALSE(loaded.Item(0)->Formats());
    EXPECT_TRUE(loaded.Item(1)->IsPicture());
    EXPECT_EQ(PictureEntryText(40, 30), loaded.Item(1)->Text(0)) << "what an older version shows";
    EXPECT_TRUE(loaded.Item(2)->HasCopiedFormats());
    EXPECT_EQ("<b>abc</b>", Plain(*loaded.Item(2)->Formats(), FormatKind::kHtml));
    EXPECT_EQ("{\\rtf1 abc}", Plain(*loaded.Item(2)->Formats(), FormatKind::kRtf));
    for (int k : {1, 2, 3}) EXPECT_TRUE(SameFormats(*saved.Item(k)->Formats(), *loaded.Item(k)->Formats())) << k;
    // Several at once: the texts alone, pictures left out.
    EXPECT_EQ("plain\r\nabc", loaded.JoinTexts({0, 1, 2, 3}, 0).cp932);
    EXPECT_EQ((std::vector<int>{2, 0}), loaded.EntriesWithText({1, 2, 3, 0, 9}));
    EXPECT_TRUE(loaded.EntriesWithText({3, 1}).empty()) << "pictures alone: one of them is pasted instead";

    // Deleted down to texts alone: the companion goes with the last of them.
    loaded.DeleteEntry(3);
    loaded.DeleteEntry(2);
    loaded.DeleteEntry(1);
    ASSERT_EQ(1, loaded.Save(path));
    EXPECT_FALSE(FileExists(FormatsCompanionPath(path)));
}

TEST_F(FormatsHistory, AMissingDamagedOrForeignCompanionLosesOnlyWhatItHeld) {
    ClipHistory saved(&host);
    Fill(saved);
    ASSERT_EQ(1, saved.Save(path));
    const std::string history = Bytes(path), companion = Bytes(FormatsCompanionPath(path));
    auto loadedFormats = [&]() {
        ClipHistory h(&host);
        h.Load(path);
        std::string kinds;
        for (int k = 0; k < h.Count(); ++k) kinds += h.Item(k)->IsPicture() ? 'P' : h.Item(k)->HasCopiedFormats() ? 'F' : '-';
        return kinds;
    };
    EXPECT_EQ("-PFP", loadedFormats());
    DeleteFileIfPresent(FormatsCompanionPath(path));
    EXPECT_EQ("----", loadedFormats()) << "the entries stay, as texts that name their pictures";

    // Beside another history file (the same texts, another rank): nothing.
    ClipHistory other(&host);
    Fill(other);
    other.SetItemPasteMark(0, 0);
    ASSERT_EQ(1, other.Save(path));
    Write(FormatsCompanionPath(path), companion);
    EXPECT_EQ("----", loadedFormats());

    // Its record for the third entry damaged: the others keep theirs.
    Write(path, history);
    std::string damaged = companion;
    FormatsCompanion parsed;
    ASSERT_TRUE(DecodeFormatsCompanion(reinterpret_cast<const unsigned char*>(companion.data()), companion.size(), parsed));
    // The HTML record is the second: flip a byte in its deflated bytes.
    const std::string first = EncodeFormatsCompanion({parsed.records[0]}, parsed.file);
    damaged[first.size() + 40] = static_cast<char>(damaged[first.size() + 40] ^ 0x55);
    Write(FormatsCompanionPath(path), damaged);
    EXPECT_EQ("-P-P", loadedFormats());
}

TEST_F(FormatsHistory, APictureRecordGoesOnlyToTheTextThatNamesIt) {
    ClipHistory h(&host);
    AddCopy(h, u"[画像 5×5]"); // a text that looks like one, copied as text
    AddCopy(h, u"plain");
    ASSERT_EQ(1, h.Save(path));
    const HistoryFileSum sum = SumOfFile(Bytes(path));
    // Records bound to these texts by their sums, but a picture of another
    // size for the first and a picture for a text entry for the second.
    Write(FormatsCompanionPath(path),
          EncodeFormatsCompanion({FormatsRecordOf(0, PictureEntryText(5, 5), PictureEntry(6, 5)),
                                  FormatsRecordOf(1, "plain", PictureEntry(5, 5))},
                                 sum));
    ClipHistory loaded(&host);
    loaded.Load(path);
    EXPECT_FALSE(loaded.Item(0)->Formats());
    EXPECT_FALSE(loaded.Item(1)->Formats());
}

TEST_F(FormatsHistory, TheBoundRefusesLargerPicturesAndFormatsAndSaysSo) {
    ClipHistory h(&host);
    ListSettings settings;
    settings.maxFormatsKB = 32 * 1024;
    h.ApplyListSettings(settings);
    EXPECT_EQ(uint64_t{32} << 20, h.FormatsBound());
    const struct {
        uint32_t w, h;
        bool kept;
    } pictures[] = {{1920, 1080, true}, {2896, 2896, true}, {2897, 2896, false}, {8000, 6000, false}};
    for (const auto& p : pictures) {
        host.notes.clear();
        EXPECT_EQ(p.kept, h.KeepsPictureOfSize(p.w, p.h)) << p.w << "x" << p.h;
        EXPECT_EQ(p.kept ? 0u : 1u, host.notes.size());
    }
    host.notes.clear();
    EXPECT_FALSE(h.KeepsPictureOfSize(8000, 6000));
    ASSERT_EQ(1u, host.notes.size());
    EXPECT_EQ("Kestrane [追加しません]", host.notes[0].first);
    EXPECT_EQ("コピーされた画像 (8000×6000, 183.1 MB) は上限 (32.0 MB) より大きいため、履歴に追加しませんでした。"
              "クリップボードはそのままです",
              host.notes[0].second);
    host.notes.clear();
    EXPECT_TRUE(h.KeepsFormatsOfSize(uint64_t{32} << 20));
    EXPECT_FALSE(h.KeepsFormatsOfSize((uint64_t{32} << 20) + 1));
    ASSERT_EQ(1u, host.notes.size());
    EXPECT_NE(std::string::npos, host.notes[0].second.find("テキストだけを履歴に追加しました"));
    settings.maxFormatsKB = 0; // any size
    h.ApplyListSettings(settings);
    EXPECT_TRUE(h.KeepsPictureOfSize(16384, 16384));
}

TEST_F(FormatsHistory, PictureEntriesFollowTheListsRules) {
    ClipHistory h(&host);
    ListSettings settings;
    settings.limit = 2;
    h.ApplyListSettings(settings);
    ASSERT_EQ(1, h.AddPicture(PictureEntry(10, 10)));
    ASSERT_EQ(1, h.AddPicture(PictureEntry(20, 10)));
    EXPECT_EQ("画像を履歴に追加しました", host.notes.back().second);
    h.TogglePin(0);
    ASSERT_EQ(1, h.AddPicture(PictureEntry(30, 10))); // the unpinned one goes
    ASSERT_EQ(2, h.Count());
    EXPECT_EQ(PictureEntryText(10, 10), h.Item(0)->Text(0));
    EXPECT_EQ(PictureEntryText(30, 10), h.Item(1)->Text(0));
    EXPECT_EQ(0, h.AddPicture(nullptr));
    EXPECT_EQ(0, h.AddPicture(Formatted("x", ""))) << "formats without a picture are no picture entry";
}

} // namespace
