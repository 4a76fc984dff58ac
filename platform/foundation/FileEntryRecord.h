#pragma once
// What is recorded of an entry when it is found, so that it can be removed later without its
// path being resolved again: the canonical path of its folder (every link resolved once, when
// the record is made), its name in that folder, and its identity (device, inode and file type of
// the entry itself, never of what a link names). See EntryRemoval.h for the removal.

#include <sys/types.h>

#include <optional>
#include <string>

namespace platform {

/// One entry of the file system as it was found.
struct FileEntryRecord {
    std::string parent;  ///< absolute and canonical: no link, no "." or ".." component
    std::string name;    ///< one component: no "/", not "." nor ".."
    dev_t device = 0;
    ino_t inode = 0;
    mode_t type = 0;  ///< st_mode & S_IFMT of the entry itself

    /// The parent joined with the name.
    std::string path() const;
    /// Whether the fields can name an entry at all (as the comments above say; no NUL byte).
    bool isWellFormed() const;
    bool operator==(const FileEntryRecord&) const = default;
};

/// Records the entry at `path` (a final link is recorded as the link): realpath() of its
/// folder, once, then the entry's identity read beneath that folder opened without following
/// links. nullopt when nothing is there, or when the path names no entry of a folder ("/", a
/// last component "." or "..").
std::optional<FileEntryRecord> recordEntryAtPath(const std::string& path);

namespace detail {

/// Opens the folder at the absolute, canonical `path` from the root of the file system without
/// following any link on the way: openat2 with RESOLVE_NO_SYMLINKS where the kernel has it
/// (and `allowOpenat2`), else component by component, each opened with O_NOFOLLOW and checked
/// to be a folder. Answers an O_PATH descriptor (close-on-exec), or -errno: -ELOOP when a
/// component is a link, -ENOTDIR when one is something else, -ENOENT when one is missing,
/// -EINVAL for a path that is not absolute and canonical.
int openFolderWithoutLinks(const std::string& path, bool allowOpenat2 = true);

}  // namespace detail

}  // namespace platform
