// Catches sizes that follow links, count folders, stop at unreadable folders or fail when deep.
#include "platform/coreservices/TreeSize.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/foundation/NSFileManager.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::makeFile;
using fixtures::makeFolder;
using fixtures::TempDir;

// Each fixture builds inside `root` and returns the path to measure.
struct Case {
    const char* label;
    std::function<std::string(const std::string& root)> build;
    std::uint64_t expected;
};

TEST(TreeSizeFixtures, Table) {
    const Case cases[] = {
        {"empty folder",
         [](const std::string& r) {
             makeFolder(r + "/empty");
             return r + "/empty";
         },
         0},
        {"single file",
         [](const std::string& r) {
             makeFile(r + "/file", 1234);
             return r + "/file";
         },
         1234},
        {"nested folders, folders count nothing",
         [](const std::string& r) {
             makeFolder(r + "/A.app");
             makeFolder(r + "/A.app/Contents");
             makeFolder(r + "/A.app/Contents/Resources");
             makeFolder(r + "/A.app/Contents/Resources/en.lproj");
             makeFile(r + "/A.app/Contents/Info.plist", 700);
             makeFile(r + "/A.app/Contents/Resources/en.lproj/Localizable.strings", 300);
             makeFile(r + "/A.app/top", 5);
             return r + "/A.app";
         },
         1005},
        {"hidden files and folders",
         [](const std::string& r) {
             makeFolder(r + "/t");
             makeFile(r + "/t/.DS_Store", 10);
             makeFolder(r + "/t/.git");
             makeFile(r + "/t/.git/.x", 20);
             return r + "/t";
         },
         30},
        {"links count their own length and are not followed",
         [](const std::string& r) {
             makeFolder(r + "/big");
             makeFile(r + "/big/huge", 1 << 20);
             makeFolder(r + "/t");
             makeFile(r + "/t/f", 3);
             symlink("../big", (r + "/t/toFolder").c_str());     // 6
             symlink("../big/huge", (r + "/t/toFile").c_str());  // 11
             symlink("nowhere", (r + "/t/dangling").c_str());    // 7
             return r + "/t";
         },
         3 + 6 + 11 + 7},
        {"a link given as the path",
         [](const std::string& r) {
             makeFolder(r + "/big");
             makeFile(r + "/big/huge", 1 << 20);
             symlink("big", (r + "/link").c_str());
             return r + "/link/";  // a trailing slash still names the link
         },
         3},
        {"folder of 100 files",
         [](const std::string& r) {
             makeFolder(r + "/many");
             for (int i = 0; i < 100; ++i)
                 makeFile(r + "/many/f" + std::to_string(i), i * 10);
             return r + "/many";
         },
         49500},
        {"fifo is sized, not opened",
         [](const std::string& r) {
             makeFolder(r + "/t");
             mkfifo((r + "/t/pipe").c_str(), 0644);
             makeFile(r + "/t/f", 9);
             return r + "/t";
         },
         9},
        {"non-UTF-8 names",
         [](const std::string& r) {
             makeFolder(r + "/t");
             makeFolder(r + "/t/\xff\xfe");
             makeFile(r + "/t/\xff\xfe/\xc0", 42);
             return r + "/t";
         },
         42},
        {"missing path", [](const std::string& r) { return r + "/missing"; }, 0},
        {"empty path", [](const std::string&) { return std::string(); }, 0},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const std::string path = c.build(tmp.path());
        EXPECT_EQ(treeLogicalSize(path), c.expected) << c.label;
    }
}

TEST(TreeSizeFixtures, RelativeToDescriptor) {
    TempDir tmp;
    ASSERT_TRUE(makeFolder(tmp / "Contents"));
    ASSERT_TRUE(makeFile(tmp / "Contents/a", 17));
    int fd = open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(treeLogicalSizeAt(fd, "Contents"), 17u);
    EXPECT_EQ(treeLogicalSizeAt(fd, "absent"), 0u);
    EXPECT_EQ(treeLogicalSizeAt(fd, nullptr), 0u);
    close(fd);
}

TEST(TreeSizeFixtures, UnreadableSubfolderContributesNothingSiblingsCount) {
    TempDir tmp;
    const std::string t = tmp / "t";
    ASSERT_TRUE(makeFolder(t));
    ASSERT_TRUE(makeFolder(t + "/a"));
    ASSERT_TRUE(makeFile(t + "/a/x", 100));
    ASSERT_TRUE(makeFolder(t + "/locked"));
    ASSERT_TRUE(makeFile(t + "/locked/secret", 1000));
    ASSERT_TRUE(makeFolder(t + "/locked/sub"));
    ASSERT_TRUE(makeFile(t + "/locked/sub/more", 1000));
    ASSERT_TRUE(makeFolder(t + "/noSearch"));  // listable but not searchable: stat fails
    ASSERT_TRUE(makeFile(t + "/noSearch/hidden", 1000));
    ASSERT_TRUE(makeFolder(t + "/z"));
    ASSERT_TRUE(makeFile(t + "/z/y", 10));
    ASSERT_TRUE(makeFile(t + "/w", 1));
    ASSERT_EQ(chmod((t + "/locked").c_str(), 0000), 0);
    ASSERT_EQ(chmod((t + "/noSearch").c_str(), 0444), 0);

    auto measured =
        fixtures::computeUnprivileged<std::uint64_t>([&] { return treeLogicalSize(t); });
    if (!measured) GTEST_SKIP() << "cannot drop privileges";
    ASSERT_TRUE(*measured) << "the unprivileged walk reported no size";
    EXPECT_EQ(**measured, 111u);
}

TEST(TreeSizeFixtures, DeepTreeWithFewDescriptors) {
    // 5,000 levels: deeper than PATH_MAX and than the descriptors the child may open.
    TempDir tmp;
    const int depth = 5000;
    int fd = open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(mkdirat(fd, "deep", 0755), 0);
    for (int i = 0; i < depth; ++i) {
        int next = openat(fd, i == 0 ? "deep" : "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        if (i + 1 < depth) {
            ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
        }
        int file = openat(fd, "f", O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(ftruncate(file, 3), 0);
        close(file);
    }
    close(fd);
    const std::uint64_t expected = 3u * depth;
    EXPECT_EQ(treeLogicalSize(tmp / "deep"), expected);

    auto lowLimit =
        fixtures::runInChild([&] { return treeLogicalSize(tmp / "deep") == expected ? 0 : 1; },
                             [] {
                                 struct rlimit limit = {10, 10};
                                 return setrlimit(RLIMIT_NOFILE, &limit) == 0;
                             });
    ASSERT_TRUE(lowLimit);
    EXPECT_EQ(*lowLimit, 0) << "with 10 descriptors";

    std::string error;  // too long a path for the fixture's own clean-up
    EXPECT_TRUE(NSFileManager::defaultManager()->removeItemAtPath(tmp / "deep", &error)) << error;
}

}  // namespace
