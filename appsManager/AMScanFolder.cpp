#include "appsManager/AMScanFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/foundation/DirectoryListing.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSString.h"

std::shared_ptr<const AMScanFolder> AMScanFolder::open(const std::string& path) {
    if (path.empty()) return nullptr;
    std::string canonical;
    int fd = -1;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        canonical = resolved;
        std::free(resolved);
        fd = platform::detail::openFolderWithoutLinks(canonical);
    }
    if (fd < 0) {
        // Something moved under the walk: the folder is still walked by its path, and its
        // records are made from their full paths.
        canonical.clear();
        fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_shared<const AMScanFolder>(path, std::move(canonical), fd, st.st_dev,
                                                st.st_ino);
}

AMScanFolder::AMScanFolder(std::string path, std::string canonical, int fd, dev_t device,
                           ino_t inode)
    : path_(std::move(path)),
      canonical_(std::move(canonical)),
      fd_(fd),
      device_(device),
      inode_(inode) {}

AMScanFolder::~AMScanFolder() {
    ::close(fd_);
}

std::string AMScanFolder::pathOf(const std::string& name) const {
    return ns::stringByAppendingPathComponent(path_, name);
}

std::vector<AMScanFolder::Entry> AMScanFolder::entries() const {
    std::vector<Entry> entries;
    const int listing = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return entries;
    thread_local platform::detail::DirectoryListing::Buffer buffer =
        platform::detail::DirectoryListing::makeBuffer();
    platform::detail::DirectoryListing listed;
    const int failed = listed.read(listing, buffer);
    ::close(listing);
    if (failed != 0) return entries;  // a listing that broke off lists nothing
    entries.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i)
        entries.push_back({listed.name(i), listed.type(i)});
    return entries;
}

std::optional<AMScanFolder::Target> AMScanFolder::target(const Entry& entry) const {
    // The listing tells plain files apart already; links and the rest need a look.
    if (entry.type != DT_UNKNOWN && entry.type != DT_LNK && entry.type != DT_DIR) return Target{};
    struct stat st {};
    if (::fstatat(fd_, entry.name.c_str(), &st, 0) != 0) return std::nullopt;
    return Target{S_ISDIR(st.st_mode), st.st_dev, st.st_ino};
}

void AMScanFolder::describe(const std::string& name,
                            std::optional<platform::FileEntryRecord>& record,
                            std::optional<double>& creationDate) const {
    record.reset();
    creationDate.reset();
    struct statx stx {};
    if (::statx(fd_, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx) !=
        0) {
        if (errno != ENOSYS) return;
        // Kernels before statx: the full path, as the file manager reads it.
        const std::string path = pathOf(name);
        record = platform::recordEntryAtPath(path);
        if (auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(path))
            creationDate = attributes->creationDate;
        return;
    }
    creationDate = platform::detail::fileAttributesFromStatx(stx).creationDate;
    if (canonical_.empty()) {
        record = platform::recordEntryAtPath(pathOf(name));
        return;
    }
    platform::FileEntryRecord made;
    made.parent = canonical_;
    made.name = name;
    made.device = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    made.inode = stx.stx_ino;
    made.type = stx.stx_mode & S_IFMT;
    record = std::move(made);
}
