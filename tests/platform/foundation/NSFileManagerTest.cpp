// Catches removal that follows links out of a tree, wrong deletability, and lost listing names.
#include "platform/foundation/NSFileManager.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "support/FileFixtures.h"

namespace {

using fixtures::makeFile;
using fixtures::makeFolder;
using fixtures::TempDir;

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(NSFileManagerListing, HiddenAndNonUtf8NamesOneLevel) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    const std::string raw = "caf\xe9\xff.txt";  // Latin-1 bytes, not UTF-8
    ASSERT_TRUE(makeFile(tmp / "visible"));
    ASSERT_TRUE(makeFile(tmp / ".hidden"));
    ASSERT_TRUE(makeFile(tmp / raw));
    ASSERT_TRUE(makeFolder(tmp / "Sub.app"));
    ASSERT_TRUE(makeFile(tmp / "Sub.app/inner"));
    ASSERT_EQ(symlink(tmp.path().c_str(), (tmp / "loop").c_str()), 0);

    auto names = fm->contentsOfDirectoryAtPath(tmp.path());
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(sorted(*names), sorted({".hidden", "Sub.app", raw, "loop", "visible"}));

    auto viaLink = fm->contentsOfDirectoryAtPath(tmp / "loop");
    ASSERT_TRUE(viaLink.has_value()) << "a link to a folder lists the folder";
    EXPECT_EQ(viaLink->size(), names->size());

    EXPECT_FALSE(fm->contentsOfDirectoryAtPath(tmp / "missing"));
    EXPECT_FALSE(fm->contentsOfDirectoryAtPath(tmp / "visible")) << "a file is not a folder";
    EXPECT_FALSE(fm->contentsOfDirectoryAtPath(""));
}

TEST(NSFileManagerListing, UnreadableFolderIsNil) {
    TempDir tmp;
    ASSERT_TRUE(makeFolder(tmp / "locked", 0000));
    auto result = fixtures::runUnprivileged([&] {
        return NSFileManager::defaultManager()->contentsOfDirectoryAtPath(tmp / "locked") ? 1 : 0;
    });
    if (!result) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(*result, 0);
}

TEST(NSFileManagerExistence, FollowsLinks) {
    TempDir tmp;
    ASSERT_TRUE(makeFile(tmp / "file"));
    ASSERT_TRUE(makeFolder(tmp / "folder"));
    ASSERT_EQ(symlink("folder", (tmp / "toFolder").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (tmp / "dangling").c_str()), 0);
    struct Case {
        const char* name;
        bool exists;
        bool isDirectory;
    } cases[] = {
        {"file", true, false},      {"folder", true, true},    {"toFolder", true, true},
        {"dangling", false, false}, {"missing", false, false},
    };
    for (const Case& c : cases) {
        bool isDirectory = !c.isDirectory;  // must be overwritten when the item exists
        bool found = NSFileManager::defaultManager()->fileExistsAtPath(tmp / c.name, &isDirectory);
        EXPECT_EQ(found, c.exists) << c.name;
        if (found) {
            EXPECT_EQ(isDirectory, c.isDirectory) << c.name;
        }
    }
}

TEST(NSFileManagerAttributes, ItemItselfNotLinkTarget) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    ASSERT_TRUE(makeFile(tmp / "data", 5000));
    ASSERT_EQ(chmod((tmp / "data").c_str(), 04751), 0);
    ASSERT_EQ(symlink("data", (tmp / "link").c_str()), 0);
    ASSERT_TRUE(makeFolder(tmp / "folder"));

    auto file = fm->attributesOfItemAtPath(tmp / "data");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->type, NSFileType::Regular);
    EXPECT_EQ(file->size, 5000u);
    EXPECT_EQ(file->posixPermissions, 04751u);
    EXPECT_EQ(file->ownerAccountID, geteuid());
    EXPECT_EQ(file->groupOwnerAccountID, getegid());

    for (const char* path : {"link", "link/"}) {
        auto link = fm->attributesOfItemAtPath(tmp / path);
        ASSERT_TRUE(link) << path;
        EXPECT_EQ(link->type, NSFileType::SymbolicLink) << path;
        EXPECT_EQ(link->size, 4u) << "a link's size is the length of its target text";
    }
    auto folder = fm->attributesOfItemAtPath(tmp / "folder");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->type, NSFileType::Directory);
    EXPECT_FALSE(fm->attributesOfItemAtPath(tmp / "missing"));
}

TEST(NSFileManagerAttributes, CreationDateFallsBackToModificationDate) {
    struct statx withBirth {};
    withBirth.stx_mask = STATX_BASIC_STATS | STATX_BTIME;
    withBirth.stx_mtime = {2000, 500000000, 0};
    withBirth.stx_btime = {1000, 250000000, 0};
    struct statx withoutBirth = withBirth;
    withoutBirth.stx_mask = STATX_BASIC_STATS;  // the file system records no birth time

    EXPECT_DOUBLE_EQ(platform::detail::fileAttributesFromStatx(withBirth).creationDate, 1000.25);
    EXPECT_DOUBLE_EQ(platform::detail::fileAttributesFromStatx(withoutBirth).creationDate, 2000.5);
    EXPECT_DOUBLE_EQ(platform::detail::fileAttributesFromStatx(withoutBirth).modificationDate,
                     2000.5);

    // On a real file: the birth time when recorded (now, after the back-dated modification),
    // else exactly the modification time; never zero.
    TempDir tmp;
    ASSERT_TRUE(makeFile(tmp / "old"));
    FileAttributeChanges backdate;
    backdate.modificationDate = 1000000000.0;
    ASSERT_TRUE(NSFileManager::defaultManager()->setAttributes(backdate, tmp / "old"));
    auto a = NSFileManager::defaultManager()->attributesOfItemAtPath(tmp / "old");
    ASSERT_TRUE(a);
    EXPECT_DOUBLE_EQ(a->modificationDate, 1000000000.0);
    EXPECT_TRUE(a->creationDate == a->modificationDate || a->creationDate > 1.6e9)
        << a->creationDate;
}

TEST(NSFileManagerAttributes, SetPermissionsNeverThroughLink) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    ASSERT_TRUE(makeFile(tmp / "target"));
    ASSERT_EQ(chmod((tmp / "target").c_str(), 0644), 0);
    ASSERT_EQ(symlink("target", (tmp / "link").c_str()), 0);

    FileAttributeChanges change;
    change.posixPermissions = 02750;
    EXPECT_TRUE(fm->setAttributes(change, tmp / "target"));
    EXPECT_EQ(modeOf(tmp / "target"), 02750u);

    change.posixPermissions = 0600;
    EXPECT_FALSE(fm->setAttributes(change, tmp / "link"));
    EXPECT_EQ(modeOf(tmp / "target"), 02750u) << "the link's target must not change";
    EXPECT_FALSE(fm->setAttributes(change, tmp / "missing"));
}

// Deletability as seen by the unprivileged user; `owner` is who owns the item / the parent.
TEST(NSFileManagerDeletable, ParentPermissionsAndStickyBit) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give items to another user";
    const uid_t me = fixtures::kNobody;  // the checks run as this user
    const uid_t other = 0;
    struct Case {
        const char* label;
        mode_t parentMode;
        uid_t parentOwner;
        uid_t itemOwner;
        bool makeItem;
        bool deletable;
    } cases[] = {
        {"writable parent", 0777, other, other, true, true},
        {"read-only parent", 0555, me, me, true, false},
        {"writable but not searchable parent", 0222, me, me, true, false},
        {"sticky parent, item and parent of another user", 01777, other, other, true, false},
        {"sticky parent, own item", 01777, other, me, true, true},
        {"sticky parent owned by me, item of another user", 01777, me, other, true, true},
        {"missing item", 0777, me, me, false, false},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const std::string parent = tmp / "parent";
        const std::string item = parent + "/item";
        ASSERT_TRUE(makeFolder(parent, 0700));
        if (c.makeItem) {
            ASSERT_TRUE(makeFile(item));
            ASSERT_EQ(lchown(item.c_str(), c.itemOwner, 0), 0);
        }
        ASSERT_EQ(chown(parent.c_str(), c.parentOwner, 0), 0);
        ASSERT_EQ(chmod(parent.c_str(), c.parentMode), 0);
        auto result = fixtures::runUnprivileged(
            [&] { return NSFileManager::defaultManager()->isDeletableFileAtPath(item) ? 1 : 0; });
        if (!result) GTEST_SKIP() << "cannot drop privileges";
        EXPECT_EQ(*result, c.deletable ? 1 : 0) << c.label;
        chmod(parent.c_str(), 0700);
    }
}

TEST(NSFileManagerDeletable, RootAndRelativePaths) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    ASSERT_TRUE(makeFolder(tmp / "ro"));
    ASSERT_TRUE(makeFile(tmp / "ro/item"));
    ASSERT_EQ(symlink("nowhere", (tmp / "dangling").c_str()), 0);
    ASSERT_EQ(chmod((tmp / "ro").c_str(), 0555), 0);
    EXPECT_EQ(fm->isDeletableFileAtPath(tmp / "ro/item"), geteuid() == 0)
        << "root may delete in a read-only folder of a writable file system";
    EXPECT_TRUE(fm->isDeletableFileAtPath(tmp / "dangling")) << "the link itself exists";
    EXPECT_FALSE(fm->isDeletableFileAtPath("/"));

    const std::string saved = fm->currentDirectoryPath();
    ASSERT_EQ(chdir(tmp.path().c_str()), 0);
    EXPECT_TRUE(fm->isDeletableFileAtPath("dangling")) << "no folder part: the current folder";
    EXPECT_FALSE(fm->isDeletableFileAtPath("missing"));
    ASSERT_EQ(chdir(saved.c_str()), 0);
}

TEST(NSFileManagerRemove, TreeWithLinkOutsideKeepsTheOutside) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    const std::string outside = tmp / "outside";
    ASSERT_TRUE(makeFolder(outside));
    ASSERT_TRUE(makeFile(outside + "/precious", 10));
    ASSERT_TRUE(makeFolder(outside + "/nested"));
    ASSERT_TRUE(makeFile(outside + "/nested/more"));

    const std::string tree = tmp / "Victim.app";
    ASSERT_TRUE(makeFolder(tree));
    ASSERT_TRUE(makeFolder(tree + "/Contents"));
    ASSERT_TRUE(makeFolder(tree + "/Contents/.hidden"));
    ASSERT_TRUE(makeFile(tree + "/Contents/.hidden/.file"));
    ASSERT_TRUE(makeFile(tree + "/Contents/na\xefve\xff"));
    ASSERT_TRUE(makeFolder(tree + "/Contents/\xc0\xc1"));
    ASSERT_TRUE(makeFile(tree + "/Contents/\xc0\xc1/x"));
    ASSERT_EQ(symlink(outside.c_str(), (tree + "/Contents/toOutside").c_str()), 0);
    ASSERT_EQ(symlink("../../outside/precious", (tree + "/Contents/toFile").c_str()), 0);
    ASSERT_TRUE(makeFolder(tree + "/Contents/ro", 0555));  // root removes it anyway

    std::string error;
    EXPECT_TRUE(fm->removeItemAtPath(tree + "/", &error)) << error;
    EXPECT_FALSE(exists(tree));
    EXPECT_TRUE(exists(outside + "/precious"));
    EXPECT_TRUE(exists(outside + "/nested/more"));
}

TEST(NSFileManagerRemove, LinkToFolderRemovesOnlyTheLink) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    ASSERT_TRUE(makeFolder(tmp / "folder"));
    ASSERT_TRUE(makeFile(tmp / "folder/kept"));
    for (const char* path : {"link", "slashed"}) {
        ASSERT_EQ(symlink("folder", (tmp / path).c_str()), 0);
    }
    EXPECT_TRUE(fm->removeItemAtPath(tmp / "link"));
    EXPECT_TRUE(fm->removeItemAtPath(tmp / "slashed/")) << "a trailing slash still names the link";
    EXPECT_FALSE(exists(tmp / "link"));
    EXPECT_FALSE(exists(tmp / "slashed"));
    EXPECT_TRUE(exists(tmp / "folder/kept"));
}

TEST(NSFileManagerRemove, MissingPathFailsWithEnoent) {
    TempDir tmp;
    std::string error;
    int code = 0;
    EXPECT_FALSE(NSFileManager::defaultManager()->removeItemAtPath(tmp / "gone", &error, &code));
    EXPECT_EQ(code, ENOENT);
    EXPECT_EQ(error, std::strerror(ENOENT));
}

TEST(NSFileManagerRemove, StopsAtFirstFailureAndReportsIt) {
    TempDir tmp;
    const std::string tree = tmp / "tree";
    ASSERT_TRUE(makeFolder(tree, 0777));
    ASSERT_TRUE(makeFile(tree + "/loose"));
    ASSERT_TRUE(makeFolder(tree + "/locked"));
    ASSERT_TRUE(makeFile(tree + "/locked/stuck"));
    for (const char* p : {"", "/loose", "/locked", "/locked/stuck"}) {
        if (geteuid() == 0) {
            ASSERT_EQ(lchown((tree + p).c_str(), fixtures::kNobody, fixtures::kNogroup), 0);
        }
    }
    ASSERT_EQ(chmod((tree + "/locked").c_str(), 0555), 0);

    auto result = fixtures::runUnprivileged([&] {
        std::string error;
        int code = 0;
        if (NSFileManager::defaultManager()->removeItemAtPath(tree, &error, &code)) return 1;
        if (code != EACCES) return 2;
        if (error != std::strerror(EACCES)) return 3;
        return 0;
    });
    if (!result) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(*result, 0);
    EXPECT_TRUE(exists(tree + "/locked/stuck"));
}

TEST(NSFileManagerRemove, DeepTreeWithFewDescriptors) {
    // Deeper than PATH_MAX and than the descriptors allowed: only descriptor-relative removal
    // with closing and reopening of ancestors gets through.
    TempDir tmp;
    const int depth = 3000;
    int fd = open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(mkdirat(fd, "deep", 0755), 0);
    for (int i = 0; i < depth; ++i) {
        int next = openat(fd, i == 0 ? "deep" : "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
        int file = openat(fd, "f", O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        close(file);
    }
    close(fd);
    auto result = fixtures::runInChild(
        [&] {
            std::string error;
            return NSFileManager::defaultManager()->removeItemAtPath(tmp / "deep", &error) ? 0 : 1;
        },
        [] {
            struct rlimit limit = {12, 12};
            return setrlimit(RLIMIT_NOFILE, &limit) == 0;
        });
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 0);
    EXPECT_FALSE(exists(tmp / "deep"));
}

TEST(NSFileManagerFolders, CreateWithAndWithoutIntermediates) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    std::string error;
    EXPECT_FALSE(fm->createDirectoryAtPath(tmp / "a/b/c", false, std::nullopt, &error));
    EXPECT_EQ(error, std::strerror(ENOENT));

    const mode_t oldMask = umask(077);
    EXPECT_TRUE(fm->createDirectoryAtPath(tmp / "a//b/c/", true, 0755u, &error)) << error;
    umask(oldMask);
    for (const char* p : {"a", "a/b", "a/b/c"})
        EXPECT_EQ(modeOf(tmp / p), 0755u) << p << ": given permissions ignore the umask";

    EXPECT_TRUE(fm->createDirectoryAtPath(tmp / "a/b", true)) << "existing folder is fine";
    EXPECT_FALSE(fm->createDirectoryAtPath(tmp / "a/b", false, std::nullopt, &error));
    EXPECT_EQ(error, std::strerror(EEXIST));

    ASSERT_TRUE(makeFile(tmp / "file"));
    EXPECT_FALSE(fm->createDirectoryAtPath(tmp / "file/x", true, std::nullopt, &error));
    EXPECT_FALSE(fm->createDirectoryAtPath(tmp / "file", true));
}

TEST(NSFileManagerFolders, MoveRefusesExistingDestination) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    ASSERT_TRUE(makeFile(tmp / "one", 1));
    ASSERT_TRUE(makeFile(tmp / "two", 2));
    std::string error;
    EXPECT_FALSE(fm->moveItemAtPath(tmp / "one", tmp / "two", &error));
    EXPECT_EQ(error, std::strerror(EEXIST));
    EXPECT_TRUE(fm->moveItemAtPath(tmp / "one", tmp / "three", &error)) << error;
    EXPECT_FALSE(exists(tmp / "one"));
    EXPECT_TRUE(exists(tmp / "three"));
    EXPECT_FALSE(fm->moveItemAtPath(tmp / "missing", tmp / "four"));
}

TEST(NSFileManagerDisplayName, BundleFoldersHideTheirExtension) {
    TempDir tmp;
    auto fm = NSFileManager::defaultManager();
    for (const char* folder : {"Foo.app", "Tool.plugin", "Sync.prefPane", "Clock.wdgt",
                               "Kit.framework", "Loud.APP", "v1.2.app", "Photos.d", "Readme"})
        ASSERT_TRUE(makeFolder(tmp / folder));
    ASSERT_TRUE(makeFile(tmp / "Notes.app"));
    ASSERT_TRUE(makeFile(tmp / "archive.tar.gz"));
    struct Case {
        std::string path;
        const char* shown;
    } cases[] = {
        {tmp / "Foo.app", "Foo"},
        {tmp / "Foo.app/", "Foo"},
        {tmp / "Tool.plugin", "Tool"},
        {tmp / "Sync.prefPane", "Sync"},
        {tmp / "Clock.wdgt", "Clock"},
        {tmp / "Kit.framework", "Kit"},
        {tmp / "Loud.APP", "Loud"},
        {tmp / "v1.2.app", "v1.2"},
        {tmp / "Photos.d", "Photos.d"},  // a folder, but not a bundle
        {tmp / "Readme", "Readme"},
        {tmp / "Notes.app", "Notes.app"},  // a file that only looks like a bundle
        {tmp / "Gone.app", "Gone.app"},    // nothing there
        {tmp / "archive.tar.gz", "archive.tar.gz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fm->displayNameAtPath(c.path), c.shown) << c.path;
}

}  // namespace
