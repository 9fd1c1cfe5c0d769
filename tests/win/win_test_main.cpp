// Test entry. Started with --read-shared-block, the program is the second
// process of the shared-block test: it reports what it sees in the block.
#include <gtest/gtest.h>
#include <string.h>

#include "hook/ksthook.h"

int main(int argc, char** argv) {
    if (argc >= 2 && strcmp(argv[1], "--read-shared-block") == 0)
        return GetAllKeyMessageSnatch() + 16 * GetAllMouseMessageSnatch();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
