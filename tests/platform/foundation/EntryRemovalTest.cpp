// Catches a removal that resolves a recorded path again: one that follows a link put on the
// parent's path after the entry was recorded, removes an object that replaced the recorded one,
// follows links inside a folder, fails on deep trees, or opens an entry up to everyone.
#include "platform/foundation/EntryRemoval.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/foundation/FileEntryRecord.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::TempDir;
using platform::EntryRemovalStatus;
using platform::FileEntryRecord;
using platform::recordEntryAtPath;
namespace fs = std::filesystem;

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

const char* statusName(EntryRemovalStatus status) {
    switch (status) {
        case EntryRemovalStatus::kRemoved:
            return "removed";
        case EntryRemovalStatus::kGone:
            return "gone";
        case EntryRemovalStatus::kChanged:
            return "changed";
        case EntryRemovalStatus::kFailed:
            return "failed";
    }
    return "?";
}

/// The canonical form of a fixture folder (TMPDIR may itself lie behind a link).
std::string canonical(const std::string& path) {
    return fs::canonical(path).string();
}

TEST(FileEntryRecordTest, RecordsTheCanonicalParentAndTheEntryItself) {
    TempDir d;
    std::string file = d.write("real/Logs/app.log", "12345");
    ::symlink((d / "real").c_str(), (d / "linked").c_str());
    ::symlink("app.log", (d / "real/Logs/app.link").c_str());
    struct stat fileStat {};
    ASSERT_EQ(::lstat(file.c_str(), &fileStat), 0);

    struct Case {
        const char* what;
        std::string path;
        std::string parent, name;
        mode_t type;
    } cases[] = {
        {"plain", file, canonical(d / "real/Logs"), "app.log", S_IFREG},
        {"through a linked folder", d / "linked/Logs/app.log", canonical(d / "real/Logs"),
         "app.log", S_IFREG},
        {"with a trailing slash and a dot", d / "linked/./Logs/", canonical(d / "real"), "Logs",
         S_IFDIR},
        {"a final link stays a link", d / "linked/Logs/app.link", canonical(d / "real/Logs"),
         "app.link", S_IFLNK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<FileEntryRecord> record = recordEntryAtPath(c.path);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->parent, c.parent);
        EXPECT_EQ(record->name, c.name);
        EXPECT_EQ(record->type, c.type);
        EXPECT_TRUE(record->isWellFormed());
        EXPECT_EQ(record->path(), c.parent + "/" + c.name);
    }
    std::optional<FileEntryRecord> plain = recordEntryAtPath(file);
    EXPECT_EQ(plain->device, fileStat.st_dev);
    EXPECT_EQ(plain->inode, fileStat.st_ino);

    for (const std::string& none : {std::string("/"), std::string(), d / "missing",
                                    d / "real/Logs/..", d / "real/.", file + "/inside"}) {
        SCOPED_TRACE(none);
        EXPECT_FALSE(recordEntryAtPath(none));
    }
}

TEST(FileEntryRecordTest, OpensFoldersFromTheRootWithoutFollowingLinks) {
    TempDir d;
    d.write("a/b/file", "f");
    ::symlink((d / "a").c_str(), (d / "link").c_str());
    const std::string base = canonical(d.path());
    struct Case {
        const char* what;
        std::string path;
        int error;  // 0: opens
    } cases[] = {
        {"a real folder", base + "/a/b", 0},
        {"the root", "/", 0},
        {"a link on the way", base + "/link/b", ELOOP},
        {"a link at the end", base + "/link", ELOOP},
        {"a file on the way", base + "/a/b/file/x", ENOTDIR},
        {"a file at the end", base + "/a/b/file", ENOTDIR},
        {"a missing folder", base + "/a/missing", ENOENT},
        {"relative", "a/b", EINVAL},
        {"with dot-dot", base + "/a/../a", EINVAL},
        {"with a trailing slash", base + "/a/", EINVAL},
    };
    for (bool openat2 : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (openat2 ? " (openat2)" : " (by components)"));
            int fd = platform::detail::openFolderWithoutLinks(c.path, openat2);
            if (c.error == 0) {
                ASSERT_GE(fd, 0) << -fd;
                struct stat opened {
                }, expected{};
                ::fstat(fd, &opened);
                ::stat(c.path.c_str(), &expected);
                EXPECT_EQ(opened.st_ino, expected.st_ino);
                ::close(fd);
            } else {
                EXPECT_EQ(fd, -c.error);
            }
        }
    }
}

/// One change made between recording an entry and removing it, and what must be left.
struct ChangeCase {
    const char* what;
    /// Makes the fixture in `d`; answers the path that is recorded.
    std::function<std::string(const TempDir& d)> make;
    /// Changes the fixture after the record was made.
    std::function<void(const TempDir& d)> change;
    EntryRemovalStatus expected;
    /// Paths (relative to d) that must still exist afterwards, and that must not.
    std::vector<std::string> kept, removed;
};

std::vector<ChangeCase> changeCases() {
    auto logFile = [](const TempDir& d) { return d.write("Library/Logs/app.log", "12345"); };
    return {
        {"nothing changed: a file",
         logFile,
         [](const TempDir&) {},
         EntryRemovalStatus::kRemoved,
         {"Library/Logs"},
         {"Library/Logs/app.log"}},
        {"nothing changed: a folder with links inside",
         [](const TempDir& d) {
             d.write("outside/precious", "p");
             d.write("Library/Caches/app/sub/deep", "d");
             ::symlink((d / "outside").c_str(), (d / "Library/Caches/app/to-folder").c_str());
             ::symlink((d / "outside/precious").c_str(),
                       (d / "Library/Caches/app/sub/to-file").c_str());
             ::symlink((d / "nowhere").c_str(), (d / "Library/Caches/app/dangling").c_str());
             return d / "Library/Caches/app";
         },
         [](const TempDir&) {},
         EntryRemovalStatus::kRemoved,
         {"outside/precious", "Library/Caches"},
         {"Library/Caches/app"}},
        {"the entry vanished",
         logFile,
         [](const TempDir& d) { fs::remove(d / "Library/Logs/app.log"); },
         EntryRemovalStatus::kGone,
         {"Library/Logs"},
         {}},
        {"the parent vanished",
         logFile,
         [](const TempDir& d) { fs::remove_all(d / "Library/Logs"); },
         EntryRemovalStatus::kGone,
         {"Library"},
         {}},
        {"the parent became a file",
         logFile,
         [](const TempDir& d) {
             fs::remove_all(d / "Library/Logs");
             d.write("Library/Logs", "now a file");
         },
         EntryRemovalStatus::kGone,
         {"Library/Logs"},
         {}},
        {"a parent became a link to another folder with the same name in it",
         logFile,
         [](const TempDir& d) {
             d.write("elsewhere/app.log", "other");
             fs::rename(d / "Library/Logs", d / "Logs.old");
             ::symlink((d / "elsewhere").c_str(), (d / "Library/Logs").c_str());
         },
         EntryRemovalStatus::kChanged,
         {"elsewhere/app.log", "Logs.old/app.log"},
         {}},
        {"a parent higher up became a link to where the entry itself now is",
         logFile,
         [](const TempDir& d) {
             fs::rename(d / "Library", d / "Moved");
             ::symlink((d / "Moved").c_str(), (d / "Library").c_str());
         },
         EntryRemovalStatus::kChanged,
         {"Moved/Logs/app.log"},
         {}},
        {"the file was replaced by a folder",
         logFile,
         [](const TempDir& d) {
             fs::remove(d / "Library/Logs/app.log");
             d.write("Library/Logs/app.log/everything", "never reviewed");
         },
         EntryRemovalStatus::kChanged,
         {"Library/Logs/app.log/everything"},
         {}},
        {"the folder was replaced by a file",
         [](const TempDir& d) { return d.mkdir("Library/Caches/app"); },
         [](const TempDir& d) {
             fs::remove(d / "Library/Caches/app");
             d.write("Library/Caches/app", "x");
         },
         EntryRemovalStatus::kChanged,
         {"Library/Caches/app"},
         {}},
        {"the file was replaced by another file",
         logFile,
         [](const TempDir& d) {
             d.write("Library/Logs/new", "new");
             fs::rename(d / "Library/Logs/new", d / "Library/Logs/app.log");
         },
         EntryRemovalStatus::kChanged,
         {"Library/Logs/app.log"},
         {}},
        {"the folder was replaced by a link to it",
         [](const TempDir& d) {
             d.write("Library/Caches/app/f", "f");
             return d / "Library/Caches/app";
         },
         [](const TempDir& d) {
             fs::rename(d / "Library/Caches/app", d / "app.moved");
             ::symlink((d / "app.moved").c_str(), (d / "Library/Caches/app").c_str());
         },
         EntryRemovalStatus::kChanged,
         {"app.moved/f", "Library/Caches/app"},
         {}},
    };
}

TEST(EntryRemovalTest, RemovesOnlyTheRecordedObjectBeneathItsRecordedParent) {
    for (const ChangeCase& c : changeCases()) {
        SCOPED_TRACE(c.what);
        TempDir d;
        std::optional<FileEntryRecord> record = recordEntryAtPath(c.make(d));
        ASSERT_TRUE(record);
        c.change(d);
        platform::EntryRemoval done = platform::removeRecordedEntry(*record);
        EXPECT_STREQ(statusName(done.status), statusName(c.expected)) << done.error;
        for (const std::string& kept : c.kept)
            EXPECT_TRUE(exists(d / kept)) << kept << " was removed";
        for (const std::string& removed : c.removed)
            EXPECT_FALSE(exists(d / removed)) << removed << " is still there";
    }
}

TEST(EntryRemovalTest, AnEntryFoundThroughALinkedFolderIsStillRemovable) {
    TempDir d;
    d.write("opt/Foo.app/Contents/Info.plist", "<plist/>");
    d.mkdir("Applications");
    ::symlink((d / "opt").c_str(), (d / "Applications/Linked").c_str());
    std::optional<FileEntryRecord> record = recordEntryAtPath(d / "Applications/Linked/Foo.app");
    ASSERT_TRUE(record);
    EXPECT_EQ(platform::removeRecordedEntry(*record).status, EntryRemovalStatus::kRemoved);
    EXPECT_FALSE(exists(d / "opt/Foo.app"));
    EXPECT_TRUE(exists(d / "Applications/Linked"));  // the link the walk went through stays
}

TEST(EntryRemovalTest, RemovesTreesDeeperThanAPathCanName) {
    TempDir d;
    const std::string name(40, 'd');
    int fd = ::open(d.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::mkdirat(fd, "top", 0755), 0);
    int current = ::openat(fd, "top", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    constexpr int kDepth = 300;  // about 12 KB of path, three times PATH_MAX
    for (int i = 0; i < kDepth; ++i) {
        ASSERT_EQ(::mkdirat(current, name.c_str(), 0755), 0) << i;
        int file = ::openat(current, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ::close(file);
        int next = ::openat(current, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        ASSERT_GE(next, 0);
        current = next;
    }
    ::close(current);
    std::optional<FileEntryRecord> record = recordEntryAtPath(d / "top");
    ASSERT_TRUE(record);
    platform::EntryRemoval done = platform::removeRecordedEntry(*record);
    EXPECT_EQ(done.status, EntryRemovalStatus::kRemoved) << done.error;
    EXPECT_FALSE(exists(d / "top"));
}

TEST(EntryRemovalTest, MalformedRecordsAreRefused) {
    TempDir d;
    std::optional<FileEntryRecord> good = recordEntryAtPath(d.write("f", "x"));
    ASSERT_TRUE(good);
    std::vector<std::pair<const char*, std::function<void(FileEntryRecord&)>>> cases = {
        {"relative parent", [](FileEntryRecord& r) { r.parent = "tmp"; }},
        {"parent with dot-dot", [](FileEntryRecord& r) { r.parent += "/../x"; }},
        {"empty name", [](FileEntryRecord& r) { r.name.clear(); }},
        {"dot-dot name", [](FileEntryRecord& r) { r.name = ".."; }},
        {"name with a slash", [](FileEntryRecord& r) { r.name = "a/f"; }},
        {"name with a NUL", [](FileEntryRecord& r) { r.name = std::string("f\0x", 3); }},
    };
    for (auto& [what, spoil] : cases) {
        SCOPED_TRACE(what);
        FileEntryRecord bad = *good;
        spoil(bad);
        EXPECT_FALSE(bad.isWellFormed());
        platform::EntryRemoval done = platform::removeRecordedEntry(bad);
        EXPECT_EQ(done.status, EntryRemovalStatus::kFailed);
        EXPECT_EQ(done.error, EINVAL);
    }
    EXPECT_TRUE(exists(d / "f"));
}

TEST(EntryRemovalTest, OwnerAccessIsGivenToTheOwnerAloneAndTakenBack) {
    TempDir d;
    std::string folder = d.write("Locked/inner", "i").substr(0, (d / "Locked").size());
    ::chmod(folder.c_str(), 0500);
    ::symlink(folder.c_str(), (d / "link").c_str());

    std::unique_ptr<platform::RecordedEntry> entry;
    ASSERT_EQ(platform::RecordedEntry::open(*recordEntryAtPath(folder), &entry).status,
              EntryRemovalStatus::kRemoved);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->grantOwnerAccess());
    EXPECT_EQ(modeOf(folder), 0700u) << "group and other bits must stay as they were";
    entry->restoreMode();
    EXPECT_EQ(modeOf(folder), 0500u);

    // The mode goes back onto the object that was changed, even when its name now leads
    // elsewhere.
    EXPECT_TRUE(entry->grantOwnerAccess());
    fs::rename(folder, d / "Moved");
    d.mkdir("Locked");
    ::chmod((d / "Locked").c_str(), 0755);
    entry->restoreMode();
    EXPECT_EQ(modeOf(d / "Moved"), 0500u);
    EXPECT_EQ(modeOf(d / "Locked"), 0755u);

    std::unique_ptr<platform::RecordedEntry> link;
    ASSERT_EQ(platform::RecordedEntry::open(*recordEntryAtPath(d / "link"), &link).status,
              EntryRemovalStatus::kRemoved);
    EXPECT_FALSE(link->grantOwnerAccess()) << "a link is left alone";
    ::chmod((d / "Moved").c_str(), 0700);
}

}  // namespace
