// Catches a removal that, once shared with workers, follows a link out of a large tree, leaves
// part of it behind, removes a folder before it is empty, reports success past a failure deep
// in one subtree, or takes entries removed by someone else meanwhile for a failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/foundation/EntryRemoval.h"
#include "platform/foundation/FileEntryRecord.h"
#include "platform/foundation/NSFileManager.h"
#include "support/FileFixtures.h"
#include "support/TreeFixtures.h"

namespace {

using platform::EntryRemovalStatus;

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

TEST(EntryRemovalParallel, LargeTreesGoWholeAndTheOutsideStays) {
    for (const fixtures::TreeShape& shape : fixtures::largeShapes()) {
        SCOPED_TRACE(shape.label);
        fixtures::TempDir tmp;
        const std::string outside = tmp.mkdir("outside");
        ASSERT_TRUE(fixtures::makeFile(outside + "/big", 4321));
        ASSERT_TRUE(fixtures::makeFolder(outside + "/nested"));
        ASSERT_TRUE(fixtures::makeFile(outside + "/nested/kept", 1));
        const std::string root = tmp.mkdir("Large.app");
        fixtures::MadeTree made;
        ASSERT_TRUE(fixtures::makeTree(root, shape, made, outside));

        auto record = platform::recordEntryAtPath(root);
        ASSERT_TRUE(record);
        const platform::EntryRemoval done = platform::removeRecordedEntry(*record);
        EXPECT_EQ(done.status, EntryRemovalStatus::kRemoved) << done.error;
        EXPECT_FALSE(exists(root));
        struct stat st {};
        ASSERT_EQ(stat((outside + "/big").c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 4321);
        EXPECT_TRUE(exists(outside + "/nested/kept"));
    }
}

TEST(EntryRemovalParallel, AFailureDeepInOneSubtreeIsReportedAndTheTreeKept) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("tree");
    fixtures::MadeTree made;
    ASSERT_TRUE(fixtures::makeTree(root, {"", 200, 3, 6, 2}, made));
    if (geteuid() == 0) {
        namespace fs = std::filesystem;
        ASSERT_EQ(lchown(root.c_str(), fixtures::kNobody, fixtures::kNogroup), 0);
        for (const auto& e : fs::recursive_directory_iterator(root))
            ASSERT_EQ(lchown(e.path().c_str(), fixtures::kNobody, fixtures::kNogroup), 0);
    }
    const std::string locked = made.deepest[137];
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);  // its files cannot go

    auto result = fixtures::runUnprivileged([&] {
        int code = 0;
        std::string error;
        if (NSFileManager::defaultManager()->removeItemAtPath(root, &error, &code)) return 1;
        return code == EACCES ? 0 : 2;
    });
    if (!result) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(*result, 0) << "1: reported success, 2: another error";
    EXPECT_TRUE(exists(root)) << "the folder given goes last, and only empty";
    EXPECT_TRUE(exists(locked + "/f0"));
    EXPECT_TRUE(exists(locked + "/f5"));
}

TEST(EntryRemovalParallel, EntriesRemovedByAnotherMeanwhileAreNoFailure) {
    // Two removals of one large tree at once: each finds much of it gone under its feet.
    for (const fixtures::TreeShape& shape : fixtures::largeShapes()) {
        SCOPED_TRACE(shape.label);
        fixtures::TempDir tmp;
        const std::string root = tmp.mkdir("root");
        fixtures::MadeTree made;
        ASSERT_TRUE(fixtures::makeTree(root, shape, made));
        int results[2] = {-1, -1};
        auto remove = [&](int i) {
            int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            results[i] = platform::detail::removeFolderContents(fd);
            close(fd);
        };
        std::thread other(remove, 1);
        remove(0);
        other.join();
        EXPECT_EQ(results[0], 0);
        EXPECT_EQ(results[1], 0);
        EXPECT_TRUE(std::filesystem::is_empty(root));
    }
}

}  // namespace
