#include "platform/foundation/EntryRemoval.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <string>

#include "platform/foundation/DirectoryWalker.h"
#include "platform/foundation/ParallelTreeWalk.h"

namespace platform {

namespace {

using detail::DirectoryWalker;
using detail::ParallelTreeWalk;

EntryRemoval outcome(EntryRemovalStatus status, int error = 0) {
    return EntryRemoval{status, error};
}

bool sameObject(const FileEntryRecord& record, const struct stat& st) {
    return st.st_dev == record.device && st.st_ino == record.inode &&
           (st.st_mode & S_IFMT) == record.type;
}

// One thread's share of the removal: unlinks as it goes, a folder once it is empty; the first
// failure stops the walk and is kept in `error`.
class RemoveVisitor final : public DirectoryWalker::Visitor {
  public:
    DirectoryWalker::Step entry(int dirfd, const char* name, unsigned char type) override {
        if (type == DT_DIR) return DirectoryWalker::Step::Descend;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return stopUnlessGone(errno);
            if (S_ISDIR(st.st_mode)) return DirectoryWalker::Step::Descend;
        }
        if (unlinkat(dirfd, name, 0) == 0) return DirectoryWalker::Step::Next;
        if (errno == EISDIR) return DirectoryWalker::Step::Descend;  // became a folder meanwhile
        return stopUnlessGone(errno);
    }

    DirectoryWalker::Step leave(int dirfd, const char* name) override {
        if (unlinkat(dirfd, name, AT_REMOVEDIR) == 0) return DirectoryWalker::Step::Next;
        return stopUnlessGone(errno);
    }

    DirectoryWalker::Step failed(int dirfd, const char* name, int err) override {
        // Listed as a folder but now a link or a file: remove that item itself.
        if ((err == ENOTDIR || err == ELOOP) && unlinkat(dirfd, name, 0) == 0)
            return DirectoryWalker::Step::Next;
        return stopUnlessGone(err);
    }

    int error = 0;

  private:
    DirectoryWalker::Step stopUnlessGone(int err) {
        if (err == ENOENT) return DirectoryWalker::Step::Next;  // already gone: nothing to do
        error = err;
        return DirectoryWalker::Step::Stop;
    }
};

}  // namespace

EntryRemoval RecordedEntry::open(const FileEntryRecord& record,
                                 std::unique_ptr<RecordedEntry>* entry) {
    entry->reset();
    if (!record.isWellFormed()) return outcome(EntryRemovalStatus::kFailed, EINVAL);
    const int parent = detail::openFolderWithoutLinks(record.parent);
    if (parent < 0) {
        // Nothing can be beneath a folder that is missing or is a file now; a link on the way
        // would lead somewhere that nobody reviewed.
        if (parent == -ENOENT || parent == -ENOTDIR) return outcome(EntryRemovalStatus::kGone);
        if (parent == -ELOOP) return outcome(EntryRemovalStatus::kChanged, ELOOP);
        return outcome(EntryRemovalStatus::kFailed, -parent);
    }
    const int self = ::openat(parent, record.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (self < 0) {
        const int error = errno;
        ::close(parent);
        if (error == ENOENT) return outcome(EntryRemovalStatus::kGone);
        return outcome(EntryRemovalStatus::kFailed, error);
    }
    struct stat st {};
    if (::fstat(self, &st) != 0 || !sameObject(record, st)) {
        ::close(self);
        ::close(parent);
        return outcome(EntryRemovalStatus::kChanged);
    }
    entry->reset(new RecordedEntry(record, parent, self, st.st_uid, st.st_mode));
    return outcome(EntryRemovalStatus::kRemoved);
}

RecordedEntry::RecordedEntry(const FileEntryRecord& record, int parent, int self, uid_t owner,
                             mode_t mode)
    : record_(record), parent_(parent), self_(self), owner_(owner), mode_(mode) {}

RecordedEntry::~RecordedEntry() {
    ::close(self_);
    ::close(parent_);
}

bool RecordedEntry::isDeletable() const {
    // With the effective ids; for root this still reports EROFS on a read-only file system.
    if (::faccessat(parent_, ".", W_OK | X_OK, AT_EACCESS) != 0) return false;
    struct stat parentStat {};
    if (::fstat(parent_, &parentStat) != 0) return false;
    if (parentStat.st_mode & S_ISVTX) {
        const uid_t me = ::geteuid();
        return me == 0 || me == owner_ || me == parentStat.st_uid;
    }
    return true;
}

bool RecordedEntry::changeModeOfSelf(mode_t mode) const {
    // The descriptor names the object itself: its magic link in /proc leads to that inode and
    // nowhere else, whatever has happened to the name meanwhile.
    const std::string self = "/proc/self/fd/" + std::to_string(self_);
    return ::chmod(self.c_str(), mode & 07777) == 0;
}

bool RecordedEntry::grantOwnerAccess() {
    if (S_ISLNK(mode_) || previousMode_) return false;
    const mode_t wanted = (mode_ & 07777) | S_IRWXU;
    if (wanted == (mode_ & 07777) || !changeModeOfSelf(wanted)) return false;
    previousMode_ = mode_ & 07777;
    return true;
}

void RecordedEntry::restoreMode() {
    if (!previousMode_) return;
    changeModeOfSelf(*previousMode_);
    previousMode_.reset();
}

EntryRemoval RecordedEntry::remove() {
    const char* name = record_.name.c_str();
    if (!S_ISDIR(record_.type)) {
        struct stat st {};
        if (::fstatat(parent_, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? outcome(EntryRemovalStatus::kGone)
                                   : outcome(EntryRemovalStatus::kFailed, errno);
        if (!sameObject(record_, st)) return outcome(EntryRemovalStatus::kChanged);
        if (::unlinkat(parent_, name, 0) == 0) return outcome(EntryRemovalStatus::kRemoved);
        return errno == ENOENT ? outcome(EntryRemovalStatus::kGone)
                               : outcome(EntryRemovalStatus::kFailed, errno);
    }

    const int folder = ::openat(parent_, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        const int error = errno;
        if (error == ENOENT) return outcome(EntryRemovalStatus::kGone);
        if (error == ELOOP || error == ENOTDIR) return outcome(EntryRemovalStatus::kChanged);
        return outcome(EntryRemovalStatus::kFailed, error);
    }
    struct stat st {};
    if (::fstat(folder, &st) != 0 || !sameObject(record_, st)) {
        ::close(folder);
        return outcome(EntryRemovalStatus::kChanged);
    }
    const int error = detail::removeFolderContents(folder);
    ::close(folder);
    if (error != 0) return outcome(EntryRemovalStatus::kFailed, error);
    if (::unlinkat(parent_, name, AT_REMOVEDIR) == 0) return outcome(EntryRemovalStatus::kRemoved);
    return errno == ENOENT ? outcome(EntryRemovalStatus::kGone)
                           : outcome(EntryRemovalStatus::kFailed, errno);
}

EntryRemoval removeRecordedEntry(const FileEntryRecord& record) {
    std::unique_ptr<RecordedEntry> entry;
    EntryRemoval found = RecordedEntry::open(record, &entry);
    if (!entry) return found;
    return entry->remove();
}

namespace detail {

int removeFolderContents(int folder) {
    std::deque<RemoveVisitor> visitors;  // one per thread of the walk
    // Removing costs several times what sizing costs per entry: helpers pay off sooner.
    ParallelTreeWalk::Options options;
    options.spreadAfterEntries = 512;
    ParallelTreeWalk walk([&]() -> DirectoryWalker::Visitor& { return visitors.emplace_back(); },
                          options);
    if (walk.walk(folder)) return 0;
    for (const RemoveVisitor& visitor : visitors)
        if (visitor.error) return visitor.error;
    return walk.error() ? walk.error() : EIO;  // stopped without a reason: never a success
}

}  // namespace detail

}  // namespace platform
