// The registry layer against the real registry: odd types and sizes, missing
// keys, overlong strings, and the one-open-root rule.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/app_bench.h"
#include "store/settings_store.h"

namespace {

using kst::SettingsStore;

class Store : public ::testing::Test {
  protected:
    void SetUp() override {
        bench::DeleteVendorKey();
        ASSERT_EQ(1, SettingsStore::OpenVendorKey("Orvandel"));
    }
    void TearDown() override {
        SettingsStore::CloseVendorKey();
        bench::DeleteVendorKey();
    }
};

TEST_F(Store, NumbersFallBackWhenUnreadable) {
    const unsigned char bytes[8] = {7, 0, 0, 0, 9, 9, 9, 9};
    bench::SetRaw("k", "binary4", REG_BINARY, bytes, 4);
    bench::SetRaw("k", "binary8", REG_BINARY, bytes, 8);
    bench::SetRaw("k", "binary2", REG_BINARY, bytes, 2);
    bench::SetRaw("k", "text", REG_SZ, "12", 3);
    bench::SetDword("k", "dword", 42);
    struct {
        const char* name;
        DWORD expected;
    } const cases[] = {{"dword", 42}, {"binary4", 7}, {"binary2", 7}, {"binary8", 5}, {"text", 5}, {"missing", 5}};
    for (const auto& c : cases) EXPECT_EQ(c.expected, SettingsStore::ReadDword("k", c.name, 5)) << c.name;
}

TEST_F(Store, StringsFallBackWhenUnreadableOrTooLong) {
    bench::SetRaw("k", "fits", REG_SZ, "abc", 4);
    const std::string overlong(300, 'x');
    bench::SetRaw("k", "long", REG_SZ, overlong.c_str(), 301);
    bench::SetRaw("k", "unterminated", REG_SZ, "abcdefgh", 8); // no zero, fills the buffer
    bench::SetDword("k", "number", 3);
    struct {
        const char* name;
        const char* expected;
    } const cases[] = {{"fits", "abc"}, {"long", "dflt"}, {"unterminated", "dflt"}, {"number", "dflt"}, {"missing", "dflt"}};
    for (const auto& c : cases) {
        char buffer[8];
        memset(buffer, '#', sizeof buffer);
        SettingsStore::ReadString("k", c.name, "dflt", buffer, sizeof buffer);
        EXPECT_STREQ(c.expected, buffer) << c.name;
    }
    char buffer[8] = "x";
    SettingsStore::ReadString("k", "missing", nullptr, buffer, sizeof buffer);
    EXPECT_STREQ("", buffer) << "no fallback: empty";
}

TEST_F(Store, WritesReadBackAndCreateTheirSubkey) {
    EXPECT_EQ(1, SettingsStore::WriteDword("a\\b", "n", 0xFFFFFFFFu));
    EXPECT_EQ(0xFFFFFFFFu, SettingsStore::ReadDword("a\\b", "n", 0));
    EXPECT_EQ(1, SettingsStore::WriteString(nullptr, "s", "ルート"));
    char buffer[32];
    SettingsStore::ReadString(nullptr, "s", "", buffer, sizeof buffer);
    EXPECT_STREQ("ルート", buffer);
    std::string stored;
    EXPECT_TRUE(bench::GetString(nullptr, "s", stored));
    EXPECT_EQ("ルート", stored);
}

TEST_F(Store, OneRootAtATime) {
    EXPECT_EQ(0, SettingsStore::OpenVendorKey("Orvandel")) << "already open: refused, root kept";
    EXPECT_EQ(1, SettingsStore::WriteDword("k", "still", 1));
    SettingsStore::CloseVendorKey();
    EXPECT_EQ(0, SettingsStore::WriteDword("k", "closed", 1));
    EXPECT_EQ(9u, SettingsStore::ReadDword("k", "still", 9)) << "closed: defaults";
    ASSERT_EQ(1, SettingsStore::OpenVendorKey("Orvandel"));
}

} // namespace
