#pragma once
// Related-file discovery: the item record of any path, and for one bundle the files it left in
// the Library folders of the user and of the computer (preferences, caches, logs, saved state,
// support folders, downloads, notification tickets), matched by name and bundle identifier.
// Stateless and synchronous; callers run it off the main thread.

#include <string>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMScanFolder.h"
#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSString.h"

/// A group of related files: element 0 is the bundle itself, then the entries found, each
/// path once, in discovery order.
using AMAppItemGroup = std::vector<Ref<AMAppItem>>;

class RelatedAppFilesScanner : public NSObject {
  public:
    /// The group of the bundle at `path`: its own record (real size), then every entry of the
    /// searched Library folders whose name begins with the bundle's name or identifier as a
    /// whole word (see AddPathIfExists), each with its real size; an identifier without a dot
    /// is not searched for. Only the bundle's record when it has no usable name or identifier.
    /// A nil path is logged as ".......".
    static AMAppItemGroup relatedFilesToApplicationAtPath(const NSStringOpt& path);
    /// A new record of the item at `path` (icon, display name, identifier, version, system
    /// flag, creation date); its size is not set. `appFlag` is not used.
    static Ref<AMAppItem> getAppItemWithFilePath(const NSStringOpt& path, bool appFlag);
    /// getAppItemWithFilePath with the size text "0KB" (the real size is filled in later).
    static Ref<AMAppItem> constructItem(const NSStringOpt& path, bool appFlag);
    /// constructItem of the entry `name` of the walked `folder`, read through the open folder.
    static Ref<AMAppItem> constructItemInFolder(const AMScanFolder& folder, const std::string& name,
                                                bool appFlag);
    /// getAppItemWithFilePath with the real size text of `path` (its whole tree is walked).
    static Ref<AMAppItem> aConstructItem(const NSStringOpt& path, bool appFlag);
    /// The size text of the item at `path` ("0.00 KB" for nil or nothing there).
    static std::string getFileSizeItem(const NSStringOpt& path);

    static void registerClass();
};

/// Whether a record of `path` is in the group.
bool AMGroupContainsPath(const AMAppItemGroup& group, const std::string& path);
/// Appends `item` unless the group already lists its path (the first record of a path is
/// kept); true when appended.
bool AMAppendItemUnlessListed(AMAppItemGroup& group, const Ref<AMAppItem>& item);

// Each of the six searches below goes through its folders in order, each folder first for the
// name, then for the identifier (only an identifier with a dot).

/// "Preferences" of the user's, then the local Library folder.
void GetPreferencePaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID);
/// The user's, then the local Caches folder.
void GetCachePaths(AMAppItemGroup& result, const std::string& name, const std::string& bundleID);
/// "Logs" of the user's, then the local Library folder.
void GetLogPaths(AMAppItemGroup& result, const std::string& name, const std::string& bundleID);
/// "Saved Application State" of the user's Library folder only.
void GetSavedStatePaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID);
/// The user's, then the local Application Support folder.
void GetAppSupportPaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID);
/// The user's Downloads folder only.
void GetDownloadPaths(AMAppItemGroup& result, const std::string& name, const std::string& bundleID);
/// "Growl/Tickets" of the user's Application Support folder, with the key "<name>.growlTicket".
void GetGrowlPaths(AMAppItemGroup& result, const std::string& name);
/// Appends (with its real size) every entry of `folder`, one level, in listing order, whose
/// name is `key` or `key` without its spaces, or begins with one of them followed by anything
/// but a letter or a digit, ignoring case ("Foo" takes "Foo.log", "foo Settings.plist", not
/// "Football"; a non-ASCII character counts as a letter); entries already in the group are
/// skipped. A missing or unreadable folder adds nothing.
void AddPathIfExists(AMAppItemGroup& result, const std::string& folder, const std::string& key);
