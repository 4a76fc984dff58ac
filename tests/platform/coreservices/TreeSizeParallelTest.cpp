// Catches a size walk that, once shared with workers, loses or doubles entries of a large tree,
// follows a link out of it, or drops the siblings of a folder it cannot read.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/coreservices/TreeSize.h"
#include "platform/foundation/DirectoryWalker.h"
#include "support/FileFixtures.h"
#include "support/TreeFixtures.h"

namespace {

using platform::detail::DirectoryWalker;

// The serial reference: sizes of non-folder entries, one thread, folders entered.
class SerialSize final : public DirectoryWalker::Visitor {
  public:
    DirectoryWalker::Step entry(int dirfd, const char* name, unsigned char type) override {
        if (type == DT_DIR) return DirectoryWalker::Step::Descend;
        struct stat st {};
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            total += static_cast<std::uint64_t>(st.st_size);
        return DirectoryWalker::Step::Next;
    }
    std::uint64_t total = 0;
};

std::uint64_t serialSize(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    SerialSize visitor;
    if (fd >= 0) DirectoryWalker(visitor).walk(fd);
    if (fd >= 0) close(fd);
    return visitor.total;
}

TEST(TreeSizeParallel, LargeTreesGiveTheSerialTotalsAndNeverFollowLinks) {
    for (const fixtures::TreeShape& shape : fixtures::largeShapes()) {
        SCOPED_TRACE(shape.label);
        fixtures::TempDir tmp;
        const std::string outside = tmp.mkdir("outside");
        ASSERT_TRUE(fixtures::makeFile(outside + "/big", 1 << 30));  // sparse: costs nothing
        const std::string root = tmp.mkdir("root");
        fixtures::MadeTree made;
        ASSERT_TRUE(fixtures::makeTree(root, shape, made, outside));
        EXPECT_EQ(serialSize(root), made.bytes);
        for (int run = 0; run < 3; ++run)
            EXPECT_EQ(treeLogicalSize(root), made.bytes) << "run " << run;
    }
}

TEST(TreeSizeParallel, UnreadableFoldersDeepInALargeTreeDropOnlyTheirOwnContents) {
    fixtures::TempDir tmp;
    const std::string root = tmp.mkdir("root");
    fixtures::MadeTree made;
    const fixtures::TreeShape shape{"", 200, 3, 6, 2};
    ASSERT_TRUE(fixtures::makeTree(root, shape, made));
    // Every seventh top folder has its deepest folder locked, one also a middle one.
    std::uint64_t hidden = 0;
    for (std::size_t t = 0; t < made.deepest.size(); t += 7) {
        hidden += fixtures::bytesAt(made.deepest[t]);
        ASSERT_EQ(chmod(made.deepest[t].c_str(), 0000), 0);
    }
    const std::string middle = root + "/top3/d1";
    hidden += fixtures::bytesAt(middle);
    ASSERT_EQ(chmod(middle.c_str(), 0311), 0);  // searchable, not listable

    auto measured =
        fixtures::computeUnprivileged<std::uint64_t>([&] { return treeLogicalSize(root); });
    if (!measured) GTEST_SKIP() << "cannot drop privileges";
    ASSERT_TRUE(*measured) << "the unprivileged walk reported no size";
    EXPECT_EQ(**measured, made.bytes - hidden);
}

}  // namespace
