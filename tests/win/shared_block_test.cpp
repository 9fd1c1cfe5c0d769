#include <gtest/gtest.h>

#include "tests/win/bench.h"
#include "hook/ksthook.h"

namespace {

TEST(SharedBlock, ValuesWrittenHereAreSeenByAnotherProcess) {
    SetAllKeyMessageSnatch(3);
    SetAllMouseMessageSnatch(1);
    bench::ChildProcess child;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_TRUE(child.Start(std::string("\"") + self + "\" --read-shared-block"));
    EXPECT_EQ(3u + 16u * 1u, child.WaitExitCode(20000));
    SetAllKeyMessageSnatch(0);
    SetAllMouseMessageSnatch(0);
}

} // namespace
