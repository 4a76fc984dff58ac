#pragma once
// The file manager: listing, existence, attributes, permission checks and safe removal of items,
// with the platform's rules. Paths are byte strings (UTF-8 where the names are), passed to the
// kernel as they are.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Ref.h"

struct statx;

/// The kind of an item, read without following a final symbolic link.
enum class NSFileType { Regular, Directory, SymbolicLink, Other };

/// The attributes of one item (attributesOfItemAtPath).
struct FileAttributes {
    NSFileType type = NSFileType::Other;  ///< of the item itself (lstat)
    std::uint64_t size = 0;               ///< st_size; for a link, the length of its target
    unsigned posixPermissions = 0;        ///< mode & 07777
    double creationDate = 0;      ///< seconds since 1970: birth time, else modification time
    double modificationDate = 0;  ///< seconds since 1970
    uid_t ownerAccountID = 0;
    gid_t groupOwnerAccountID = 0;
};

/// The attributes that setAttributes changes; unset fields are left alone.
struct FileAttributeChanges {
    std::optional<unsigned> posixPermissions;  ///< & 07777, never applied through a link
    std::optional<double> modificationDate;    ///< seconds since 1970, of the item itself
    std::optional<uid_t> ownerAccountID;       ///< of the item itself
    std::optional<gid_t> groupOwnerAccountID;  ///< of the item itself
};

/// Stateless and thread-safe; use defaultManager() or make your own.
class NSFileManager {
  public:
    /// The process-wide file manager.
    static Ref<NSFileManager> defaultManager();

    /// Names in the folder at `path` (a link to a folder is followed), one level, hidden entries
    /// included, "." and ".." excluded, in the order the file system gives them; names that are
    /// not UTF-8 come back as their raw bytes. nil when the folder is missing or unreadable.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(
        const std::string& path) const;

    /// Whether something exists at `path`, following links (a dangling link does not exist).
    bool fileExistsAtPath(const std::string& path) const;
    /// The same, and tells whether it is (or leads to) a folder; `isDirectory` may be null.
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const;

    /// Attributes of the item itself (a final link is not followed); nil when it does not exist.
    std::optional<FileAttributes> attributesOfItemAtPath(const std::string& path) const;
    /// Applies `changes` to the item itself (owner and group first, then permissions, then the
    /// date); true when every requested change was made. Permissions of a link are refused.
    bool setAttributes(const FileAttributeChanges& changes, const std::string& path) const;

    /// Whether this process may remove the item: it exists (lstat), its parent folder is writable
    /// and searchable with the effective ids (read-only file systems refuse even root), and in a
    /// sticky parent the effective user is root or owns the item or the parent. A path without a
    /// folder part uses the current folder.
    bool isDeletableFileAtPath(const std::string& path) const;
    /// access(2)-style checks with the effective ids, following links.
    bool isReadableFileAtPath(const std::string& path) const;
    bool isWritableFileAtPath(const std::string& path) const;
    bool isExecutableFileAtPath(const std::string& path) const;

    /// Removes a file, a link (never its target) or a whole folder tree, depth-first, never
    /// following a link out of the tree; names that are not UTF-8 are removed too. Stops at the
    /// first failure (what was removed stays removed) and returns false with strerror() text in
    /// `error` and the errno value in `errorCode`; a missing path fails with ENOENT.
    bool removeItemAtPath(const std::string& path, std::string* error = nullptr,
                          int* errorCode = nullptr) const;

    /// Creates a folder (and its missing parents when `withIntermediateDirectories`; an existing
    /// folder then counts as success). `posixPermissions`, when given, is set exactly on each
    /// folder created (no umask); otherwise 0777 less the umask.
    bool createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories,
                               std::optional<unsigned> posixPermissions = std::nullopt,
                               std::string* error = nullptr) const;

    /// Renames `source` to `destination` on the same file system; fails when the destination
    /// exists (EEXIST) or lies on another file system (EXDEV).
    bool moveItemAtPath(const std::string& source, const std::string& destination,
                        std::string* error = nullptr) const;

    /// The name to show for the item: a bundle folder's name without its extension ("Foo.app"
    /// shows as "Foo"), else the last path component.
    std::string displayNameAtPath(const std::string& path) const;

    /// The process's current folder ("" if it cannot be read, e.g. it was removed).
    std::string currentDirectoryPath() const;
};

namespace platform::detail {
/// The attributes carried by a statx result (creation date falls back to the modification
/// date when the file system does not record birth times).
FileAttributes fileAttributesFromStatx(const struct statx& st);
}  // namespace platform::detail
