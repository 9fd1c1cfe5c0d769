// The history's files sealed for their user: what an older version reads,
// what a user who cannot unseal them gets, and turning sealing off again.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "history/clip_history.h"
#include "history/formats_companion.h"
#include "history/history_file.h"
#include "history/sealed_file.h"
#include "reform/cp932_codec.h"
#include "tests/unit/history_test_folder.h"

namespace {

using namespace kst;
namespace fs = std::filesystem;

const Cp932Codec& codec = SystemCp932();

// Stands in for the system's protection: a tag and every byte changed; a
// sealer of another user refuses what it did not seal.
class FakeSealer : public FileSealer {
  public:
    explicit FakeSealer(char user) : user_(user) {}
    bool Seal(const std::vector<FilePiece>& plain, std::string& sealed) const override {
        sealed.assign(1, user_);
        for (const FilePiece& piece : plain)
            for (size_t k = 0; k < piece.size; ++k) sealed += static_cast<char>(piece.data[k] ^ 0x5A);
        return true;
    }
    bool Unseal(const char* data, size_t size, std::string& plain) const override {
        if (size == 0 || data[0] != user_) return false;
        plain.clear();
        for (size_t k = 1; k < size; ++k) plain += static_cast<char>(data[k] ^ 0x5A);
        return true;
    }

  private:
    char user_;
};

class SealedHistory : public HistoryTestFolder {
  protected:
    static void Add(ClipHistory& h, const std::u16string& text) { AddCopy(h, text); }
    static std::string Bytes(const std::string& file) {
        std::string content;
        ReadWholeFile(file, content);
        return content;
    }

    const FakeSealer mine{'M'}, theirs{'T'};
    const std::vector<std::u16string> texts{u"password hunter2", u"\U0001F600 secret \u2212"};
};

TEST_F(SealedHistory, SealedFilesHoldNoneOfTheTextsAndReadBack) {
    ClipHistory history(&host);
    for (const auto& t : texts) Add(history, t);
    ASSERT_EQ(1, history.Save(path, &mine));
    for (const std::string& file : {path, WideCompanionPath(path)}) {
        const std::string bytes = Bytes(file);
        ASSERT_TRUE(IsSealed(bytes)) << file;
        EXPECT_EQ(std::string::npos, bytes.find("hunter2")) << file;
        EXPECT_EQ(std::string::npos, bytes.find("secret")) << file;
    }
    const std::string bytes = Bytes(path);
    EXPECT_TRUE(DecodeHistoryFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()).empty())
        << "an older version reads an empty history";

    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path, &mine));
    EXPECT_EQ(texts, Texts(loaded)) << "the exact texts too";
    EXPECT_TRUE(loaded.KeptAside().empty());

    ASSERT_EQ(1, loaded.Save(path, nullptr)); // sealing turned off
    EXPECT_FALSE(IsSealed(Bytes(path)));
    EXPECT_FALSE(IsSealed(Bytes(WideCompanionPath(path))));
    ClipHistory plain(&host);
    ASSERT_EQ(1, plain.Load(path, &mine));
    EXPECT_EQ(texts, Texts(plain));
}

TEST_F(SealedHistory, PicturesAndFormatsAreSealedWithTheHistory) {
    ClipHistory history(&host);
    auto formats = std::make_shared<ClipFormats>();
    ASSERT_TRUE(AddDeflated(FormatKind::kHtml, "<b>secret</b>", *formats));
    ASSERT_EQ(1, history.AddCopy("secret", false, nullptr, formats));
    ASSERT_EQ(1, history.Save(path, &mine));
    EXPECT_TRUE(IsSealed(Bytes(FormatsCompanionPath(path))));
    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path, &mine));
    ASSERT_TRUE(loaded.Item(0)->HasCopiedFormats());
    std::string html;
    ASSERT_TRUE(Inflated(*loaded.Item(0)->Formats()->Find(FormatKind::kHtml), html));
    EXPECT_EQ("<b>secret</b>", html);
    ClipHistory other(&host);
    EXPECT_EQ(0, other.Load(path, &theirs));
    EXPECT_TRUE(fs::exists(FormatsCompanionPath(path) + kLockedSuffix)) << "moved aside with the history";
}

// Another user's (or machine's) files are moved aside, never written over;
// a second such file gets a name of its own.
TEST_F(SealedHistory, FilesThisUserCannotUnsealAreKeptAside) {
    ClipHistory history(&host);
    for (const auto& t : texts) Add(history, t);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_EQ(1, history.Save(path, &theirs));
        const std::string sealed = Bytes(path);
        ClipHistory loaded(&host);
        EXPECT_EQ(0, loaded.Load(path, &mine));
        EXPECT_EQ(0, loaded.Count());
        const std::string aside = path + kLockedSuffix + (round == 1 ? "" : "2");
        EXPECT_EQ(aside, loaded.KeptAside());
        EXPECT_EQ(sealed, Bytes(aside)) << "kept as it was";
        EXPECT_TRUE(fs::exists(WideCompanionPath(path) + kLockedSuffix));
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(loaded.LoadWasRefused()) << "moved aside: saving is safe";
        Add(loaded, u"new");
        ASSERT_EQ(1, loaded.Save(path, &mine));
        EXPECT_EQ(sealed, Bytes(aside)) << "the next save leaves it alone";
    }
}

} // namespace
