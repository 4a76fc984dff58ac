#include "platform/coreservices/TreeSize.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>

#include "platform/foundation/DirectoryWalker.h"
#include "platform/foundation/ParallelTreeWalk.h"

namespace {

using platform::detail::DirectoryWalker;
using platform::detail::ParallelTreeWalk;

// One thread's share of the walk: adds the size of each non-folder entry; folders known from d_type
// are entered unstat'ed.
class SizeVisitor final : public DirectoryWalker::Visitor {
  public:
    DirectoryWalker::Step entry(int dirfd, const char* name, unsigned char type) override {
        if (type == DT_DIR) return DirectoryWalker::Step::Descend;
        return countUnlessFolder(dirfd, name);
    }

    DirectoryWalker::Step failed(int dirfd, const char* name, int error) override {
        // Listed as a folder but replaced meanwhile by something else: count that instead.
        if (error == ENOTDIR || error == ELOOP) countUnlessFolder(dirfd, name);
        return DirectoryWalker::Step::Next;
    }

    std::uint64_t total = 0;

  private:
    DirectoryWalker::Step countUnlessFolder(int dirfd, const char* name) {
        struct stat st {};
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return DirectoryWalker::Step::Next;
        if (S_ISDIR(st.st_mode)) return DirectoryWalker::Step::Descend;
        if (st.st_size > 0) total += static_cast<std::uint64_t>(st.st_size);
        return DirectoryWalker::Step::Next;
    }
};

}  // namespace

std::uint64_t treeLogicalSizeAt(int dirfd, const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    struct stat st {};
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    if (!S_ISDIR(st.st_mode)) return st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    int fd = openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return 0;
    std::deque<SizeVisitor> visitors;  // one per thread of the walk
    ParallelTreeWalk walk([&]() -> DirectoryWalker::Visitor& { return visitors.emplace_back(); });
    walk.walk(fd);  // a failure part-way keeps what was counted
    close(fd);
    std::uint64_t total = 0;
    for (const SizeVisitor& visitor : visitors)
        total += visitor.total;
    return total;
}

std::uint64_t treeLogicalSize(const std::string& path) {
    // "link/" would make the kernel resolve the link: the path names the link itself.
    std::string item = path;
    while (item.size() > 1 && item.back() == '/')
        item.pop_back();
    return treeLogicalSizeAt(AT_FDCWD, item.c_str());
}
