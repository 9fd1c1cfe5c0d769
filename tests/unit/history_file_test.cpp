#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "history/clip_history.h"
#include "tests/unit/fake_history_host.h"
#include "tests/unit/history_test_folder.h"
#include "history/history_file.h"
#include "history/history_place.h"
#include "history/save_schedule.h"

namespace {

using namespace kst;
namespace fs = std::filesystem;

class HistoryFile : public HistoryTestFolder {
  protected:
    std::string ReadBytes() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    void Add(const std::string& text) { history.AddEntry(text.data(), int(text.size()), false); }

    ClipHistory history{&host};
};

const std::string kExample("\x01\x00\x00\x00\x03\xFF\x07\xD0\x03\x0D\x02\x0D"
                           "abc",
                           15);

TEST_F(HistoryFile, TheFifteenByteExample) {
    host.now = LocalTime{2000, 3, 1, 13, 2, 13, 59, 999};
    Add("abc");
    EXPECT_EQ(1, history.Save(path));
    EXPECT_EQ(kExample, ReadBytes());

    ClipHistory loaded(&host);
    EXPECT_EQ(1, loaded.Load(path));
    ASSERT_EQ(1, loaded.Count());
    EXPECT_STREQ("abc", loaded.GetItemText(0, 0));
    const LocalTime& t = *loaded.GetItemTime(0);
    EXPECT_EQ((std::vector<int>{2000, 3, 0, 13, 2, 13, 0, 0}),
              (std::vector<int>{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                                t.wMilliseconds}));
    EXPECT_EQ(0, loaded.IsItemPasted(0));
}

TEST_F(HistoryFile, SaveThenLoadKeepsTextsOrderRanksAndMinutes) {
    history.ApplyListSettings({0, 1, 1, 0, 20});
    const std::string texts[] = {"", "日本語のテキスト\r\n2行目", std::string(70000, 'x'), "ｶﾞ"};
    for (int k = 0; k < 4; ++k) {
        host.now.wMinute = static_cast<uint16_t>(k * 10);
        Add(texts[k]);
    }
    for (int k = 0; k < 4; ++k) history.SetItemPasteMark(k, k == 0 ? -1 : 3 - k); // ranks -, 2, 1, 0
    ASSERT_EQ(1, history.Save(path));

    ClipHistory loaded(&host);
    ASSERT_EQ(1, loaded.Load(path));
    ASSERT_EQ(4, loaded.Count());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(texts[k], loaded.GetItemText(k, 0));
        EXPECT_EQ(history.Item(k)->GetPasteMark(), loaded.Item(k)->GetPasteMark());
        EXPECT_EQ(k * 10, loaded.GetItemTime(k)->wMinute);
        EXPECT_EQ(2000, loaded.GetItemTime(k)->wYear);
    }
}

// A snapshot is what a save on another thread writes while the history goes
// on changing: it must keep the texts and ranks of the moment it was taken.
TEST_F(HistoryFile, SnapshotWritesTheHistoryAsItWasWhenTaken) {
    Add("first");
    Add("second");
    history.AfterPaste(1, 0);
    const HistorySnapshot snapshot = history.Snapshot();
    history.ClearAll();
    Add("later");
    ASSERT_EQ(1, WriteHistoryFile(path, snapshot));

    const std::string bytes = ReadBytes();
    const auto records = DecodeHistoryFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("first", records[0].text);
    EXPECT_EQ(-1, records[0].rank);
    EXPECT_EQ("second", records[1].text);
    EXPECT_EQ(0, records[1].rank);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(HistoryFile, EmptyHistoryDeletesTheFile) {
    WriteBytes(kExample);
    EXPECT_EQ(1, history.Save(path));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(1, history.Save(path)) << "nothing to remove is no failure";
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(HistoryFile, MissingFileLeavesAnEmptyHistory) {
    Add("old");
    EXPECT_EQ(0, history.Load(path));
    EXPECT_EQ(0, history.Count());
}

TEST_F(HistoryFile, FailedSaveKeepsThePreviousFile) {
    WriteBytes(kExample);
    fs::create_directory(path + ".tmp"); // the new file cannot be written
    Add("new");
    EXPECT_EQ(0, history.Save(path));
    EXPECT_EQ(kExample, ReadBytes());
}

TEST_F(HistoryFile, DamagedFilesKeepTheCompleteRecordsBeforeTheDamage) {
    std::string file(1, '\x03');
    const LocalTime t{2021, 5, 0, 6, 7, 8, 0, 0};
    EncodeRecord(file, "one", 3, -1, t);
    EncodeRecord(file, "two!", 4, 0, t);
    EncodeRecord(file, "three", 5, -1, t);
    const size_t ends[] = {1, 1 + 11 + 3, 1 + 11 + 3 + 11 + 4, file.size()};
    // Every cut of the file: exactly the records that lie wholly before it.
    for (size_t cut = 0; cut <= file.size(); ++cut) {
        WriteBytes(file.substr(0, cut));
        ASSERT_EQ(1, history.Load(path));
        int complete = 0;
        for (int k = 1; k < 4; ++k)
            if (cut >= ends[k]) complete = k;
        ASSERT_EQ(complete, history.Count()) << "cut at " << cut;
        if (complete >= 2) {
            EXPECT_STREQ("two!", history.GetItemText(1, 0));
        }
    }
}

TEST_F(HistoryFile, OddRecordsAreReadSafely) {
    const LocalTime t{};
    struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> texts;
    } cases[] = {
        {"length past the end", std::string("\x01\xFF\xFF\xFF\xF0\xFF\x07\xD0\x01\x01\x00\x00xy", 14), {}},
        {"zero count", std::string("\x00garbage", 8), {}},
        {"count above the records", std::string("\x05", 1), {}},
        {"NUL inside a text ends it", std::string("\x01\x00\x00\x00\x03\xFF\x07\xD0\x01\x01\x00\x00" "a\0b", 15), {"a"}},
        {"trailing bytes are ignored", kExample + "zzz", {"abc"}},
    };
    for (auto& c : cases) {
        WriteBytes(c.bytes);
        ASSERT_EQ(1, history.Load(path)) << c.name;
        ASSERT_EQ(int(c.texts.size()), history.Count()) << c.name;
        for (int k = 0; k < history.Count(); ++k) EXPECT_EQ(c.texts[k], history.GetItemText(k, 0)) << c.name;
    }
    (void)t;
}

TEST_F(HistoryFile, RanksAreMadeContiguousOnLoad) {
    std::string file(1, '\x04');
    const LocalTime t{};
    const int stored[] = {9, -1, 5, 5};
    for (int rank : stored) EncodeRecord(file, "x", 1, rank, t);
    WriteBytes(file);
    ASSERT_EQ(1, history.Load(path));
    EXPECT_EQ(2, history.Item(0)->GetPasteMark());
    EXPECT_EQ(-1, history.Item(1)->GetPasteMark());
    EXPECT_EQ(0, history.Item(2)->GetPasteMark());
    EXPECT_EQ(1, history.Item(3)->GetPasteMark());
}

TEST_F(HistoryFile, CountAboveTheLimitIsAcceptedAndAboveTheCountByteIsCut) {
    history.ApplyListSettings({0, 0, 1, 0, 300});
    for (int k = 0; k < 260; ++k) Add(std::to_string(k));
    history.SetItemPasteMark(0, 0); // dropped: the oldest entries do not fit
    history.SetItemPasteMark(259, 1);
    ASSERT_EQ(1, history.Save(path));
    ClipHistory loaded(&host);
    loaded.ApplyListSettings({0, 0, 1, 0, 20});
    ASSERT_EQ(1, loaded.Load(path));
    ASSERT_EQ(255, loaded.Count()) << "above the limit of 20, and the newest 255 of 260";
    EXPECT_STREQ("5", loaded.GetItemText(0, 0));
    EXPECT_STREQ("259", loaded.GetItemText(254, 0));
    EXPECT_EQ(0, loaded.Item(254)->GetPasteMark());
}

TEST(BigEndian, PackAndUnpack) {
    unsigned char b[4];
    PackBigEndian(b, 0x12345678, 4);
    EXPECT_EQ((std::vector<unsigned char>{0x12, 0x34, 0x56, 0x78}), std::vector<unsigned char>(b, b + 4));
    EXPECT_EQ(0x12345678u, UnpackBigEndian(b, 4));
    PackBigEndian(b, 2000, 2);
    EXPECT_EQ(0x07, b[0]);
    EXPECT_EQ(0xD0, b[1]);
    EXPECT_EQ(2000u, UnpackBigEndian(b, 2));
}

} // namespace

namespace {

// Copies every 0.6 s for several seconds: the file is written about a second
// after the first unsaved change, and again for the changes after it, never
// put off for as long as the copies keep coming.
TEST(SaveSchedule, AStreamOfChangesIsSavedAboutEverySecond) {
    kst::SaveSchedule schedule;
    const int delayMs = 1000;
    int timerDueAt = -1; // -1: no timer running
    std::vector<int> writes;
    for (int now = 0; now <= 7000; now += 100) {
        if (now % 600 == 0 && now <= 6000 && schedule.OnChange()) timerDueAt = now + delayMs;
        if (timerDueAt == now) {
            const auto action = schedule.OnDelayOver(false);
            timerDueAt = -1;
            if (action == kst::SaveSchedule::kWrite) writes.push_back(now);
        }
    }
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(1000, writes.front());
    for (size_t k = 1; k < writes.size(); ++k) EXPECT_LE(writes[k] - writes[k - 1], 1200) << k;
    EXPECT_GE(writes.back(), 6000) << "the last copy is saved too";
    EXPECT_FALSE(schedule.Due());
}

TEST(SaveSchedule, ABusyWriterPutsTheSaveOffAndNothingIsLost) {
    kst::SaveSchedule schedule;
    EXPECT_TRUE(schedule.OnChange());
    EXPECT_FALSE(schedule.OnChange()) << "rides along with the save that is due";
    EXPECT_EQ(kst::SaveSchedule::kWaitForWriter, schedule.OnDelayOver(true));
    EXPECT_TRUE(schedule.Due());
    EXPECT_EQ(kst::SaveSchedule::kWrite, schedule.OnDelayOver(false));
    EXPECT_EQ(kst::SaveSchedule::kNothing, schedule.OnDelayOver(false)) << "a stray timer writes nothing";
    EXPECT_TRUE(schedule.OnChange()) << "the next change starts a new delay";
    schedule.Cancel();
    EXPECT_FALSE(schedule.Due());
}

// Where the history is read from and saved in. The stored mark keeps a
// history that moved in the user's folder, where a clear may have left no
// file: the stale one beside the program is never read again.
TEST(HistoryPlace, TheNewestHistoryIsReadAndSavedWhereItLives) {
    constexpr HistoryFolder B = HistoryFolder::kBesideProgram, U = HistoryFolder::kUsers;
    const struct {
        bool beside, users, moved, usersFile;
        HistoryFolder save, load;
        bool saveSoon;
        const char* why;
    } cases[] = {
        {true, true, false, false, B, B, false, "as it always was"},
        {true, false, false, true, B, B, false, "a user's file without the mark: the program's folder works"},
        {false, true, false, false, U, B, true, "the first move: read beside, saved soon in the user's"},
        {false, true, false, true, U, U, false, "moved by an older version"},
        {false, false, false, false, B, B, false, "nowhere takes it: failures are told"},
        {true, true, true, true, U, U, false, "moved: stays moved when the program's folder takes saves again"},
        {true, true, true, false, U, U, false, "moved and cleared: nothing comes back from beside"},
        {false, true, true, false, U, U, false, "moved, cleared, the program's folder still read-only"},
        {true, false, true, true, B, U, true, "the user's folder closed: its newest history saved beside"},
        {true, false, true, false, B, B, false, "the user's folder closed and empty"},
        {false, false, true, true, U, U, false, "nowhere takes it: the newest is read"},
    };
    for (const auto& c : cases) {
        const HistoryPlace place = ChooseHistoryPlace({c.beside, c.users, c.moved, c.usersFile});
        EXPECT_EQ(c.save, place.saveIn) << c.why;
        EXPECT_EQ(c.load, place.loadFrom) << c.why;
        EXPECT_EQ(c.saveSoon, place.saveSoon) << c.why;
    }
}

} // namespace
