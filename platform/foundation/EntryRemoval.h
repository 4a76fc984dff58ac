#pragma once
// Removal of a recorded entry (FileEntryRecord.h): its parent is opened from the root without
// following any link, the entry is checked to be still the object that was recorded (same
// device, inode and type), and it is removed beneath that parent with unlinkat, a folder by
// walking its descriptors (a large one with idle workers), never following a link. No path is
// resolved twice: an entry that is another object now, or whose parent's path holds a link now, is
// left alone.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/foundation/FileEntryRecord.h"

namespace platform {

enum class EntryRemovalStatus : std::uint32_t {
    kRemoved = 0,  ///< the entry was removed
    kGone = 1,     ///< nothing was there any more: nothing to remove
    kChanged = 2,  ///< another object stands there now, or a link on the parent's path: kept
    kFailed = 3,   ///< the removal was tried and failed (error says why)
};

/// The outcome of finding or removing a recorded entry.
struct EntryRemoval {
    EntryRemovalStatus status = EntryRemovalStatus::kFailed;
    int error = 0;  ///< errno value for kFailed (and for kChanged, ELOOP or 0)

    /// Removed, or nothing left to remove.
    bool succeeded() const {
        return status == EntryRemovalStatus::kRemoved || status == EntryRemovalStatus::kGone;
    }
};

/// A recorded entry found again beneath its parent, held open (without following a link) from
/// the check of its identity to its removal.
class RecordedEntry {
  public:
    /// Finds the entry of `record`. kGone when the parent or the entry is missing (or a
    /// component of the parent's path is no folder any more); kChanged when a link stands on the
    /// parent's path or the entry is another object now; kFailed with the errno otherwise (a
    /// parent that cannot be searched, EINVAL for a malformed record). On success the status is
    /// kRemoved (meaning "found") and `*entry` is set.
    static EntryRemoval open(const FileEntryRecord& record, std::unique_ptr<RecordedEntry>* entry);

    ~RecordedEntry();
    RecordedEntry(const RecordedEntry&) = delete;
    RecordedEntry& operator=(const RecordedEntry&) = delete;

    const FileEntryRecord& record() const { return record_; }

    /// Whether this process may remove the entry: its parent is writable and searchable with
    /// the effective ids and, in a sticky parent, the effective user is root or owns the entry
    /// or the parent.
    bool isDeletable() const;
    /// Gives the entry's owner read, write and search on it (never through a link; a link itself
    /// is left alone), remembering the previous mode; true when the mode was changed.
    bool grantOwnerAccess();
    /// Puts back the mode that grantOwnerAccess replaced, on the very object it changed
    /// (nothing when it changed none).
    void restoreMode();

    /// Removes the entry (a folder with everything in it), checking its identity once more
    /// just before: kRemoved, kGone when it vanished meanwhile, kChanged when it is another
    /// object now (nothing removed), kFailed with the errno of the first failure (what was
    /// removed inside a folder stays removed).
    EntryRemoval remove();

  private:
    RecordedEntry(const FileEntryRecord& record, int parent, int self, uid_t owner, mode_t mode);
    bool changeModeOfSelf(mode_t mode) const;

    FileEntryRecord record_;
    int parent_;  // O_PATH descriptor of the parent folder
    int self_;    // O_PATH descriptor of the entry itself (O_NOFOLLOW)
    uid_t owner_;
    mode_t mode_;
    std::optional<mode_t> previousMode_;
};

/// RecordedEntry::open followed by remove: the removal used by the privileged helper.
EntryRemoval removeRecordedEntry(const FileEntryRecord& record);

namespace detail {
/// Removes everything inside the folder open (for reading) as `folder`, through descriptors,
/// never following a link (links are removed as links) nor leaving the tree; a large tree is
/// shared with idle workers of the global queue (ParallelTreeWalk), each folder removed once
/// empty. A failure stops the work as soon as practical; answers 0 or the errno of a failure
/// (entries that vanished meanwhile are no failure; what was removed stays removed).
int removeFolderContents(int folder);
}  // namespace detail

}  // namespace platform
