// Catches a freed-space total that counts a file listed twice twice, counts a file again after
// the folder holding it was removed (or a folder in full after files inside it were counted),
// takes a sibling with a longer name for a file inside a folder, or keeps counts across a reset.
#include "appsManager/AMFreedSpace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(AMFreedSpace, CountsEachRemovedPathOnce) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::uint64_t>> removed;
        std::uint64_t total;
    };
    const Case cases[] = {
        {"distinct paths add up", {{"/a/one", 100}, {"/b/two", 20}}, 120},
        {"one path twice", {{"/L/com.x.plist", 2000}, {"/L/com.x.plist", 2000}}, 2000},
        {"the same path with a trailing slash", {{"/L/Caches/x", 500}, {"/L/Caches/x/", 500}}, 500},
        {"a file inside a folder removed before",
         {{"/A/X.app", 1000}, {"/A/X.app/Contents", 300}},
         1000},
        {"a folder after a file inside it", {{"/L/x/cache.db", 300}, {"/L/x", 1000}}, 1000},
        {"a folder after two files inside it",
         {{"/L/x/a", 300}, {"/L/x/b/c", 200}, {"/L/other", 5}, {"/L/x", 1000}},
         1005},
        {"a folder whose rounded size is below its files'", {{"/L/x/a", 600}, {"/L/x", 500}}, 600},
        {"a sibling whose name starts the same",
         {{"/L/x", 100}, {"/L/xy", 10}, {"/L/x.d", 1}},
         111},
        {"then a file of the sibling", {{"/L/x", 100}, {"/L/xy/z", 10}}, 110},
        {"nothing freed", {{"/a", 0}, {"/a/b", 0}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AMFreedSpace freed;
        std::uint64_t answered = 0;
        for (const auto& [path, bytes] : c.removed)
            answered = freed.addRemoved(path, bytes);
        EXPECT_EQ(answered, c.total);
        EXPECT_EQ(freed.total(), c.total);
    }
}

TEST(AMFreedSpace, ResetForgetsEveryPath) {
    AMFreedSpace freed;
    freed.addRemoved("/L/x", 100);
    freed.reset();
    EXPECT_EQ(freed.total(), 0u);
    // The path counts again in the next removal.
    EXPECT_EQ(freed.addRemoved("/L/x/inner", 40), 40u);
}

}  // namespace
