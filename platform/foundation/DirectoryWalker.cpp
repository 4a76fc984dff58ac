#include "platform/foundation/DirectoryWalker.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform::detail {

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

std::size_t DirectoryWalker::defaultMaxOpenLevels() {
    struct rlimit limit {};
    std::size_t quarter = 128;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        quarter = static_cast<std::size_t>(limit.rlim_cur / 4);
    return std::clamp<std::size_t>(quarter, 16, 128);
}

DirectoryWalker::DirectoryWalker(Visitor& visitor, std::size_t maxOpenLevels)
    : visitor_(visitor),
      maxOpen_(std::max<std::size_t>(maxOpenLevels, 2)),
      buffer_(DirectoryListing::makeBuffer()) {}

int DirectoryWalker::list(Level& level) {
    level.next = 0;
    return level.listing.read(level.fd, buffer_);
}

int DirectoryWalker::openChild(int dirfd, const char* name) {
    for (;;) {
        int fd = openat(dirfd, name, kDirFlags);
        if (fd >= 0) return fd;
        int err = errno;
        if (err == EINTR) continue;
        if ((err == EMFILE || err == ENFILE) && closeOldest()) {
            // The limit is lower than we assumed (or others hold descriptors): hold fewer.
            std::size_t open = depth_ >= oldestOpen_ ? depth_ - oldestOpen_ + 2 : 1;
            maxOpen_ = std::max<std::size_t>(2, std::min(maxOpen_, open));
            continue;
        }
        return -err;
    }
}

bool DirectoryWalker::closeOldest() {
    // Never the root (the caller's) nor the top (the folder being worked in).
    if (oldestOpen_ < 1 || oldestOpen_ >= depth_) return false;
    Level& level = levels_[oldestOpen_];
    struct stat st {};
    if (fstat(level.fd, &st) == 0) {
        level.dev = st.st_dev;
        level.ino = st.st_ino;
    } else {
        level.dev = 0, level.ino = 0;  // unknown: reopening goes by names from the root
    }
    closeLevel(level);
    ++oldestOpen_;
    return true;
}

int DirectoryWalker::reopen(std::size_t depth) {
    Level& level = levels_[depth];
    int fd = openat(levels_[depth + 1].fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        if (fstat(fd, &st) == 0 && st.st_ino == level.ino && st.st_dev == level.dev &&
            level.ino != 0) {
            level.fd = fd;
            level.owned = true;
            return 0;
        }
        close(fd);
    }
    // The branch moved: follow the recorded names down from the root, refusing links.
    int current = levels_[0].fd;
    for (std::size_t i = 1; i <= depth; ++i) {
        const Level& parent = levels_[i - 1];
        int child = openat(current, parent.listing.name(parent.next - 1), kDirFlags);
        int err = errno;
        if (current != levels_[0].fd) close(current);
        if (child < 0) return err;
        current = child;
    }
    level.fd = current;
    level.owned = true;
    return 0;
}

void DirectoryWalker::closeLevel(Level& level) {
    if (level.owned && level.fd >= 0) close(level.fd);
    level.fd = -1;
    level.owned = false;
}

void DirectoryWalker::closeAll() {
    for (std::size_t i = 1; i < levels_.size(); ++i)
        closeLevel(levels_[i]);
    if (!levels_.empty()) levels_[0].fd = -1;
    depth_ = 0;
    oldestOpen_ = 1;
}

bool DirectoryWalker::walk(int rootfd) {
    error_ = 0;
    depth_ = 0;
    oldestOpen_ = 1;
    if (levels_.empty()) levels_.emplace_back();
    levels_[0].fd = rootfd;
    levels_[0].owned = false;
    if (int err = list(levels_[0])) {
        error_ = err;
        closeAll();
        return false;
    }

    for (;;) {
        Level& top = levels_[depth_];
        if (top.next == top.listing.size()) {
            if (depth_ == 0) break;
            Level& parent = levels_[depth_ - 1];
            if (parent.fd < 0) {
                if (int err = reopen(depth_ - 1)) {
                    error_ = err;
                    closeAll();
                    return false;
                }
                oldestOpen_ = depth_ - 1;
            }
            closeLevel(top);
            --depth_;
            if (depth_ == 0) oldestOpen_ = 1;
            if (visitor_.leave(parent.fd, parent.listing.name(parent.next - 1)) == Step::Stop) {
                closeAll();
                return false;
            }
            continue;
        }

        const std::size_t index = top.next++;
        const char* name = top.listing.name(index);
        Step step = visitor_.entry(top.fd, name, top.listing.type(index));
        if (step == Step::Descend) {
            int fd = openChild(top.fd, name);
            int err = fd < 0 ? -fd : 0;
            if (fd >= 0) {
                if (levels_.size() <= depth_ + 1) levels_.emplace_back();
                Level& child = levels_[depth_ + 1];
                child.fd = fd;
                child.owned = true;
                err = list(child);
                if (err) {
                    closeLevel(child);
                } else {
                    ++depth_;
                    if (oldestOpen_ > depth_) oldestOpen_ = depth_;
                    while (depth_ - oldestOpen_ + 2 > maxOpen_ && closeOldest()) {
                    }
                    continue;
                }
            }
            step = visitor_.failed(top.fd, name, err);
        }
        if (step == Step::Stop) {
            closeAll();
            return false;
        }
    }
    closeAll();
    return true;
}

}  // namespace platform::detail
