// Catches a walk that climbs into the wrong folder after the branch below it was moved.
#include "platform/foundation/DirectoryWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/FileFixtures.h"

namespace {

using platform::detail::DirectoryWalker;

class Recorder final : public DirectoryWalker::Visitor {
  public:
    explicit Recorder(std::function<void(const std::string&)> onFile) : onFile_(onFile) {}
    DirectoryWalker::Step entry(int, const char* name, unsigned char type) override {
        if (type == DT_DIR) return DirectoryWalker::Step::Descend;
        ++files[name];
        if (onFile_) onFile_(name);
        return DirectoryWalker::Step::Next;
    }
    DirectoryWalker::Step leave(int dirfd, const char* name) override {
        // The folder we climb back into must still hold the folder we left (or its old name).
        struct stat st {};
        leaves.push_back(std::string(name) + (fstatat(dirfd, name, &st, 0) == 0 ? "" : "?"));
        return DirectoryWalker::Step::Next;
    }
    std::map<std::string, int> files;
    std::vector<std::string> leaves;

  private:
    std::function<void(const std::string&)> onFile_;
};

TEST(DirectoryWalkerReopen, BranchMovedWhileItsParentWasClosed) {
    fixtures::TempDir tmp;
    std::string path = tmp / "root";
    ASSERT_TRUE(fixtures::makeFolder(path));
    for (const char* level : {"a", "b", "c", "d", "e"}) {
        path += std::string("/") + level;
        ASSERT_TRUE(fixtures::makeFolder(path));
        ASSERT_TRUE(fixtures::makeFile(path + "/file_" + level));
    }
    ASSERT_TRUE(fixtures::makeFile(tmp / "root/a/b/c/d/sibling"));
    const std::string e = path;

    bool moved = false;
    Recorder recorder([&](const std::string& name) {
        if (name == "file_e" && !moved)
            moved = std::rename(e.c_str(), (tmp / "root/moved").c_str()) == 0;
    });
    DirectoryWalker walker(recorder, 2);  // only the root and the current folder stay open
    int fd = open((tmp / "root").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(walker.walk(fd)) << walker.error();
    close(fd);

    ASSERT_TRUE(moved);
    for (const char* name : {"file_a", "file_b", "file_c", "file_d", "file_e", "sibling"})
        EXPECT_EQ(recorder.files[name], 1) << name;
    EXPECT_EQ(recorder.files.size(), 6u);
    // "e" was moved away from d: its leave comes from d, where it is missing now.
    EXPECT_EQ(recorder.leaves, (std::vector<std::string>{"e?", "d", "c", "b", "a"}));
}

}  // namespace
