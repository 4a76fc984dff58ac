#include "platform/foundation/NSFileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/foundation/EntryRemoval.h"
#include "platform/foundation/NSString.h"

namespace {

// "a/b/" names "a/b" itself: a trailing slash would make the kernel resolve a final link.
std::string withoutTrailingSlashes(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

// The folder holding `path` (already without trailing slashes): "." when there is none.
std::string parentFolder(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    std::string parent = path.substr(0, slash);
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    return parent.empty() ? "/" : parent;
}

bool fail(int err, std::string* error, int* errorCode = nullptr) {
    if (error) *error = std::strerror(err);
    if (errorCode) *errorCode = err;
    return false;
}

double seconds(std::int64_t sec, std::uint32_t nsec) {
    return static_cast<double>(sec) + static_cast<double>(nsec) / 1e9;
}

NSFileType typeOfMode(mode_t mode) {
    if (S_ISREG(mode)) return NSFileType::Regular;
    if (S_ISDIR(mode)) return NSFileType::Directory;
    if (S_ISLNK(mode)) return NSFileType::SymbolicLink;
    return NSFileType::Other;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

namespace platform::detail {

FileAttributes fileAttributesFromStatx(const struct statx& st) {
    FileAttributes a;
    a.type = typeOfMode(st.stx_mode);
    a.size = st.stx_size;
    a.posixPermissions = st.stx_mode & 07777;
    a.modificationDate = seconds(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    a.creationDate = (st.stx_mask & STATX_BTIME)
                         ? seconds(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                         : a.modificationDate;
    a.ownerAccountID = st.stx_uid;
    a.groupOwnerAccountID = st.stx_gid;
    return a;
}

}  // namespace platform::detail

Ref<NSFileManager> NSFileManager::defaultManager() {
    static const Ref<NSFileManager> manager = std::make_shared<NSFileManager>();
    return manager;
}

std::optional<std::vector<std::string>> NSFileManager::contentsOfDirectoryAtPath(
    const std::string& path) const {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd));
    if (!dir) {
        close(fd);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) return std::nullopt;
            break;
        }
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        names.emplace_back(n);
    }
    return names;
}

bool NSFileManager::fileExistsAtPath(const std::string& path) const {
    return fileExistsAtPath(path, nullptr);
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return false;
    if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
    return true;
}

std::optional<FileAttributes> NSFileManager::attributesOfItemAtPath(const std::string& path) const {
    const std::string item = withoutTrailingSlashes(path);
    if (item.empty()) return std::nullopt;
    struct statx stx {};
    if (statx(AT_FDCWD, item.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx) ==
        0)
        return platform::detail::fileAttributesFromStatx(stx);
    if (errno != ENOSYS) return std::nullopt;
    struct stat st {};  // kernels before statx: no birth times
    if (lstat(item.c_str(), &st) != 0) return std::nullopt;
    FileAttributes a;
    a.type = typeOfMode(st.st_mode);
    a.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    a.posixPermissions = st.st_mode & 07777;
    a.modificationDate = seconds(st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec));
    a.creationDate = a.modificationDate;
    a.ownerAccountID = st.st_uid;
    a.groupOwnerAccountID = st.st_gid;
    return a;
}

bool NSFileManager::setAttributes(const FileAttributeChanges& changes,
                                  const std::string& path) const {
    const std::string item = withoutTrailingSlashes(path);
    if (item.empty()) return false;
    const char* p = item.c_str();
    bool ok = true;
    if (changes.ownerAccountID || changes.groupOwnerAccountID) {
        uid_t uid = changes.ownerAccountID.value_or(static_cast<uid_t>(-1));
        gid_t gid = changes.groupOwnerAccountID.value_or(static_cast<gid_t>(-1));
        if (fchownat(AT_FDCWD, p, uid, gid, AT_SYMLINK_NOFOLLOW) != 0) ok = false;
    }
    if (changes.posixPermissions) {
        const mode_t mode = *changes.posixPermissions & 07777;
        if (fchmodat(AT_FDCWD, p, mode, AT_SYMLINK_NOFOLLOW) != 0) {
            // Where the C library cannot change a mode without following, refuse links only.
            struct stat st {};
            if ((errno != ENOTSUP && errno != EOPNOTSUPP) || lstat(p, &st) != 0 ||
                S_ISLNK(st.st_mode) || fchmodat(AT_FDCWD, p, mode, 0) != 0)
                ok = false;
        }
    }
    if (changes.modificationDate) {
        double when = *changes.modificationDate;
        struct timespec times[2] = {};
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(when);
        long nsec = static_cast<long>((when - static_cast<double>(times[1].tv_sec)) * 1e9);
        if (nsec < 0) {  // negative dates: tv_nsec must stay in [0, 1e9)
            nsec += 1000000000L;
            times[1].tv_sec -= 1;
        }
        times[1].tv_nsec = nsec >= 1000000000L ? 999999999L : nsec;
        if (utimensat(AT_FDCWD, p, times, AT_SYMLINK_NOFOLLOW) != 0) ok = false;
    }
    return ok;
}

bool NSFileManager::isDeletableFileAtPath(const std::string& path) const {
    const std::string item = withoutTrailingSlashes(path);
    if (item.empty() || item == "/") return false;
    struct stat itemStat {};
    if (lstat(item.c_str(), &itemStat) != 0) return false;
    const std::string parent = parentFolder(item);
    // With the effective ids; for root this still reports EROFS on a read-only file system.
    if (faccessat(AT_FDCWD, parent.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
    struct stat parentStat {};
    if (stat(parent.c_str(), &parentStat) != 0) return false;
    if (parentStat.st_mode & S_ISVTX) {
        const uid_t me = geteuid();
        return me == 0 || me == itemStat.st_uid || me == parentStat.st_uid;
    }
    return true;
}

bool NSFileManager::isReadableFileAtPath(const std::string& path) const {
    return !path.empty() && faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0;
}

bool NSFileManager::isWritableFileAtPath(const std::string& path) const {
    return !path.empty() && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool NSFileManager::isExecutableFileAtPath(const std::string& path) const {
    return !path.empty() && faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
}

bool NSFileManager::removeItemAtPath(const std::string& path, std::string* error,
                                     int* errorCode) const {
    const std::string item = withoutTrailingSlashes(path);
    if (item.empty()) return fail(ENOENT, error, errorCode);
    const char* p = item.c_str();
    struct stat st {};
    if (lstat(p, &st) != 0) return fail(errno, error, errorCode);
    if (!S_ISDIR(st.st_mode)) {
        if (unlink(p) != 0) return fail(errno, error, errorCode);
        return true;
    }
    int fd = open(p, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        // Replaced by a link or a file since the lstat: remove that item itself.
        if ((err == ELOOP || err == ENOTDIR) && unlink(p) == 0) return true;
        return fail(err, error, errorCode);
    }
    const int err = platform::detail::removeFolderContents(fd);
    close(fd);
    if (err != 0) return fail(err, error, errorCode);
    if (rmdir(p) != 0) return fail(errno, error, errorCode);
    return true;
}

bool NSFileManager::createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories,
                                          std::optional<unsigned> posixPermissions,
                                          std::string* error) const {
    const std::string target = withoutTrailingSlashes(path);
    if (target.empty()) return fail(ENOENT, error);
    const mode_t mode = posixPermissions ? (*posixPermissions & 07777) : 0777;
    auto make = [&](const std::string& folder) {
        if (mkdir(folder.c_str(), mode) != 0) return false;
        // mkdir applies the umask; permissions that were asked for are set exactly.
        if (posixPermissions && chmod(folder.c_str(), mode) != 0) return false;
        return true;
    };
    if (!withIntermediateDirectories) return make(target) || fail(errno, error);

    std::string::size_type pos = 0;
    for (;;) {
        pos = target.find('/', pos + 1);
        const std::string prefix = target.substr(0, pos);
        if (!prefix.empty() && prefix.back() != '/' && !make(prefix)) {
            int err = errno;
            struct stat st {};
            if (err != EEXIST || stat(prefix.c_str(), &st) != 0) return fail(err, error);
            if (!S_ISDIR(st.st_mode)) return fail(ENOTDIR, error);
        }
        if (pos == std::string::npos) return true;
    }
}

bool NSFileManager::moveItemAtPath(const std::string& source, const std::string& destination,
                                   std::string* error) const {
    const std::string from = withoutTrailingSlashes(source);
    const std::string to = withoutTrailingSlashes(destination);
    if (from.empty() || to.empty()) return fail(ENOENT, error);
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return fail(errno, error);
    // A file system without RENAME_NOREPLACE: check, then rename (not atomic there).
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0) return fail(EEXIST, error);
    if (rename(from.c_str(), to.c_str()) != 0) return fail(errno, error);
    return true;
}

std::string NSFileManager::displayNameAtPath(const std::string& path) const {
    // Extension point: a bundle's localized name (CFBundleDisplayName) will be answered here
    // once bundles are read; every other item shows its last path component.
    std::string name = ns::lastPathComponent(path);
    // The desktop hides the extension of bundle folders ("Foo.app" shows as "Foo"), in any case.
    static const char* const kBundleExtensions[] = {
        "app",   "plugin", "prefpane", "wdgt",      "bundle",      "framework", "kext",
        "appex", "saver",  "xpc",      "component", "qlgenerator", "mdimporter"};
    std::string extension = ns::lowercaseString(ns::pathExtension(name));
    if (extension.empty()) return name;
    bool isBundleExtension = false;
    for (const char* bundleExtension : kBundleExtensions)
        isBundleExtension = isBundleExtension || extension == bundleExtension;
    bool isDirectory = false;
    if (!isBundleExtension || !fileExistsAtPath(path, &isDirectory) || !isDirectory) return name;
    std::string shown = ns::stringByDeletingPathExtension(name);
    return shown.empty() ? name : shown;
}

std::string NSFileManager::currentDirectoryPath() const {
    std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
    return cwd ? std::string(cwd.get()) : std::string();
}
