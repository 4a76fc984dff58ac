#include "platform/foundation/FileEntryRecord.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool isDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

/// Whether every component of the absolute `path` is a real name ("/" alone has none).
bool isCanonicalAbsolute(std::string_view path) {
    if (path.empty() || path.front() != '/') return false;
    if (path == "/") return true;
    if (path.back() == '/') return false;
    for (std::size_t start = 1; start <= path.size();) {
        std::size_t stop = path.find('/', start);
        if (stop == std::string_view::npos) stop = path.size();
        std::string_view component = path.substr(start, stop - start);
        if (component.empty() || isDotOrDotDot(component)) return false;
        start = stop + 1;
    }
    return true;
}

int openWithOpenat2(const std::string& path) {
#ifdef SYS_openat2
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    for (;;) {
        long fd = ::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how);
        if (fd >= 0) return static_cast<int>(fd);
        if (errno == EINTR || errno == EAGAIN) continue;
        return -errno;
    }
#else
    (void)path;
    return -ENOSYS;
#endif
}

int openComponentByComponent(const std::string& path) {
    int current = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (current < 0) return -errno;
    for (std::size_t start = 1; start < path.size();) {
        std::size_t stop = path.find('/', start);
        if (stop == std::string::npos) stop = path.size();
        const std::string component = path.substr(start, stop - start);
        start = stop + 1;
        // O_PATH with O_NOFOLLOW opens a link itself: the check below then refuses it.
        int next = ::openat(current, component.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        int error = errno;
        ::close(current);
        if (next < 0) return -error;
        struct stat st {};
        if (::fstat(next, &st) != 0 || !S_ISDIR(st.st_mode)) {
            error = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
            ::close(next);
            return -error;
        }
        current = next;
    }
    return current;
}

}  // namespace

std::string FileEntryRecord::path() const {
    return parent == "/" ? "/" + name : parent + "/" + name;
}

bool FileEntryRecord::isWellFormed() const {
    return isCanonicalAbsolute(parent) && parent.find('\0') == std::string::npos && !name.empty() &&
           !isDotOrDotDot(name) && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::optional<FileEntryRecord> recordEntryAtPath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
    std::string item = path;
    while (item.size() > 1 && item.back() == '/')
        item.pop_back();
    const std::size_t slash = item.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : item.substr(0, slash);
    if (folder.empty()) folder = "/";
    FileEntryRecord record;
    record.name = slash == std::string::npos ? item : item.substr(slash + 1);
    if (record.name.empty() || isDotOrDotDot(record.name)) return std::nullopt;

    char* canonical = ::realpath(folder.c_str(), nullptr);
    if (!canonical) return std::nullopt;
    record.parent = canonical;
    std::free(canonical);

    const int parent = detail::openFolderWithoutLinks(record.parent);
    if (parent < 0) return std::nullopt;
    struct stat st {};
    const bool found = ::fstatat(parent, record.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(parent);
    if (!found) return std::nullopt;
    record.device = st.st_dev;
    record.inode = st.st_ino;
    record.type = st.st_mode & S_IFMT;
    return record;
}

namespace detail {

int openFolderWithoutLinks(const std::string& path, bool allowOpenat2) {
    if (!isCanonicalAbsolute(path) || path.find('\0') != std::string::npos) return -EINVAL;
    if (allowOpenat2) {
        int fd = openWithOpenat2(path);
        // Kernels without openat2 (or filters that forbid it) take the slower road.
        if (fd != -ENOSYS && fd != -EPERM && fd != -E2BIG) return fd;
    }
    return openComponentByComponent(path);
}

}  // namespace detail

}  // namespace platform
