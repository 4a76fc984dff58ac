#include "appsManager/RelatedAppFilesScanner.h"

#include "appsManager/AMPublicUtilities.h"
#include "appsManager/NSStringFSRef.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"

namespace {

/// A string value of the dictionary; nil when absent or not a string.
NSStringOpt stringForKey(const PlistValue* dictionary, std::string_view key) {
    if (!dictionary) return std::nullopt;
    const PlistValue* value = dictionary->objectForKey(key);
    return value ? value->stringValue() : std::nullopt;
}

/// Whether a byte ends a key inside an entry name: anything but an ASCII letter or digit. A
/// byte of a multi-byte UTF-8 character belongs to a letter in practice ("Fooé" is one word),
/// so it never ends a key.
bool isWordBoundary(unsigned char c) {
    if (c >= 0x80) return false;
    return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
}

/// Whether `entry` is `key` as a whole word at its start, ignoring case: the entry is the key,
/// or begins with it and goes on with a character that is not a letter or a digit ("Foo" takes
/// "foo", "Foo.log" and "Foo Settings.plist", not "Football" or "FooBar"). An empty key
/// matches nothing.
bool beginsWithWordIgnoringCase(const std::string& entry, const std::string& key) {
    const std::string lowerKey = ns::lowercaseString(key);
    if (lowerKey.empty()) return false;
    const std::string lowerEntry = ns::lowercaseString(entry);
    // Both are compared lower-cased (case mapping may change a UTF-8 length); a key of whole
    // characters that begins the entry ends on a character boundary of it.
    if (lowerEntry.compare(0, lowerKey.size(), lowerKey) != 0) return false;
    return lowerEntry.size() == lowerKey.size() ||
           isWordBoundary(static_cast<unsigned char>(lowerEntry[lowerKey.size()]));
}

/// Whether the bundle identifier can serve as a key: one without a dot ("com", "app") is a
/// word that begins unrelated entries.
bool isUsableIdentifierKey(const std::string& bundleID) {
    return bundleID.find('.') != std::string::npos;
}

std::vector<std::string> folders(NSSearchPathDirectory directory, NSSearchPathDomainMask domains,
                                 const std::string& subfolder = {}) {
    std::vector<std::string> result;
    for (const std::string& folder : NSSearchPathForDirectoriesInDomains(directory, domains, true))
        result.push_back(ns::stringByAppendingPathComponent(folder, subfolder));
    return result;
}

/// Each folder, first for the name, then for the identifier.
void searchFolders(AMAppItemGroup& result, const std::vector<std::string>& searched,
                   const std::string& name, const std::string& bundleID) {
    for (const std::string& folder : searched) {
        AddPathIfExists(result, folder, name);
        if (isUsableIdentifierKey(bundleID)) AddPathIfExists(result, folder, bundleID);
    }
}

/// Icon, name, identifier, version and system flag of the item at `path`, from `bundle` (its
/// Info.plist read once; nullptr when `path` is no folder). The record's values come from
/// Contents/Info.plist only: a flat bundle's Info.plist gives it its icon, nothing else.
void fillFromBundle(AMAppItem& item, const std::string& path, const Ref<NSBundle>& bundle) {
    item.setImage(bundle ? NSWorkspace::sharedWorkspace()->iconForBundle(*bundle)
                         : NSWorkspace::sharedWorkspace()->iconForFile(path));
    std::string name;
    if (bundle) name = NSFileManager::defaultManager()->displayNameAtPath(bundle->bundlePath());
    item.setName(name.empty() ? ns::lastPathComponent(path) : name);

    const PlistValue* dictionary =
        bundle && !bundle->isFlat() ? &bundle->infoDictionary() : nullptr;
    NSStringOpt bundleID = stringForKey(dictionary, "CFBundleIdentifier");
    const bool isSystemApp = bundleID && ns::hasPrefix(*bundleID, "com.apple.");
    item.setBundleID(bundleID);
    item.setIsSystemApp(isSystemApp);
    item.setIsSystemAppStr(isSystemApp ? "YES" : "NO");
    item.setBundleVersion(stringForKey(dictionary, "CFBundleShortVersionString"));
}

/// The record of the item at `path` (size not set), read as `bundle` (bundleWithPath).
Ref<AMAppItem> itemOfPath(const std::string& path, const Ref<NSBundle>& bundle) {
    auto item = AMAppItem::make();
    item->setPath(path);
    // Recorded now, before anyone reviews it: removal later takes this entry or nothing.
    item->setEntryRecord(platform::recordEntryAtPath(path));
    fillFromBundle(*item, path, bundle);
    if (auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(path))
        item->setDate(NSDate::dateWithTimeIntervalSince1970(attributes->creationDate));
    return item;
}

constexpr NSSearchPathDomainMask kUserThenLocal = NSUserDomainMask | NSLocalDomainMask;

}  // namespace

AMAppItemGroup RelatedAppFilesScanner::relatedFilesToApplicationAtPath(const NSStringOpt& path) {
    if (!path) NSLog(".......");
    AMAppItemGroup result;
    // One reading of the bundle serves its own record and the keys of the search.
    Ref<NSBundle> bundle = path ? NSBundle::bundleWithPath(*path) : nullptr;
    Ref<AMAppItem> own = itemOfPath(path.value_or(std::string()), bundle);
    own->setSize(getFileSizeItem(path));
    result.push_back(own);

    const PlistValue* info = bundle ? &bundle->infoDictionary() : nullptr;
    NSStringOpt name = stringForKey(info, "CFBundleName");
    if (!name || name->empty()) name = stringForKey(info, "CFBundleExecutable");
    if (!name || name->empty()) return result;

    NSStringOpt bundleID = bundle->bundleIdentifier();
    if (!bundleID || *bundleID == " " || bundleID->empty()) return result;

    GetPreferencePaths(result, *name, *bundleID);
    GetCachePaths(result, *name, *bundleID);
    GetLogPaths(result, *name, *bundleID);
    GetSavedStatePaths(result, *name, *bundleID);
    GetAppSupportPaths(result, *name, *bundleID);
    GetDownloadPaths(result, *name, *bundleID);
    GetGrowlPaths(result, *name);
    return result;
}

Ref<AMAppItem> RelatedAppFilesScanner::getAppItemWithFilePath(const NSStringOpt& path, bool) {
    const std::string p = path.value_or(std::string());
    return itemOfPath(p, p.empty() ? nullptr : NSBundle::bundleWithPath(p));
}

Ref<AMAppItem> RelatedAppFilesScanner::constructItemInFolder(const AMScanFolder& folder,
                                                             const std::string& name, bool) {
    const std::string p = folder.pathOf(name);
    auto item = AMAppItem::make();
    item->setPath(p);
    std::optional<platform::FileEntryRecord> record;
    std::optional<double> creationDate;
    folder.describe(name, record, creationDate);
    item->setEntryRecord(std::move(record));
    fillFromBundle(*item, p, NSBundle::bundleAtEntry(folder.descriptor(), name, p));
    if (creationDate) item->setDate(NSDate::dateWithTimeIntervalSince1970(*creationDate));
    item->setSize("0KB");
    return item;
}

Ref<AMAppItem> RelatedAppFilesScanner::constructItem(const NSStringOpt& path, bool appFlag) {
    Ref<AMAppItem> item = getAppItemWithFilePath(path, appFlag);
    item->setSize("0KB");
    return item;
}

Ref<AMAppItem> RelatedAppFilesScanner::aConstructItem(const NSStringOpt& path, bool appFlag) {
    Ref<AMAppItem> item = getAppItemWithFilePath(path, appFlag);
    item->setSize(getFileSizeItem(path));
    return item;
}

std::string RelatedAppFilesScanner::getFileSizeItem(const NSStringOpt& path) {
    FSRef ref = fsref(path);
    return AMPublicUtilities::convertVolSpace(AMPublicUtilities::sizeOfFileRef(&ref));
}

void RelatedAppFilesScanner::registerClass() {
    ClassRegistry::shared().registerClass<RelatedAppFilesScanner, NSObject>(
        "RelatedAppFilesScanner");
}

bool AMGroupContainsPath(const AMAppItemGroup& group, const std::string& path) {
    for (const Ref<AMAppItem>& item : group)
        if (item && item->path() == path) return true;
    return false;
}

bool AMAppendItemUnlessListed(AMAppItemGroup& group, const Ref<AMAppItem>& item) {
    if (!item || AMGroupContainsPath(group, item->path())) return false;
    group.push_back(item);
    return true;
}

void GetPreferencePaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID) {
    searchFolders(result, folders(NSLibraryDirectory, kUserThenLocal, "Preferences"), name,
                  bundleID);
}

void GetCachePaths(AMAppItemGroup& result, const std::string& name, const std::string& bundleID) {
    searchFolders(result, folders(NSCachesDirectory, kUserThenLocal), name, bundleID);
}

void GetLogPaths(AMAppItemGroup& result, const std::string& name, const std::string& bundleID) {
    searchFolders(result, folders(NSLibraryDirectory, kUserThenLocal, "Logs"), name, bundleID);
}

void GetSavedStatePaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID) {
    searchFolders(result, folders(NSLibraryDirectory, NSUserDomainMask, "Saved Application State"),
                  name, bundleID);
}

void GetAppSupportPaths(AMAppItemGroup& result, const std::string& name,
                        const std::string& bundleID) {
    searchFolders(result, folders(NSApplicationSupportDirectory, kUserThenLocal), name, bundleID);
}

void GetDownloadPaths(AMAppItemGroup& result, const std::string& name,
                      const std::string& bundleID) {
    searchFolders(result, folders(NSDownloadsDirectory, NSUserDomainMask), name, bundleID);
}

void GetGrowlPaths(AMAppItemGroup& result, const std::string& name) {
    for (const std::string& folder :
         folders(NSApplicationSupportDirectory, NSUserDomainMask, "Growl/Tickets"))
        AddPathIfExists(result, folder, ns::stringWithFormat("%@.growlTicket", name));
}

void AddPathIfExists(AMAppItemGroup& result, const std::string& folder, const std::string& key) {
    const std::string keyWithoutSpaces = ns::stringByReplacingOccurrencesOfString(key, " ", "");
    auto entries = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder);
    if (!entries) return;
    for (const std::string& entry : *entries) {
        bool matched = beginsWithWordIgnoringCase(entry, key);
        if (!matched) {
            if (entry == "FlashPlayerInstallManager.log") NSLog("Break here!");
            matched = beginsWithWordIgnoringCase(entry, keyWithoutSpaces);
        }
        if (!matched) continue;
        std::string path = ns::stringByAppendingPathComponent(folder, entry);
        // An entry that begins with both keys is found twice: keep its first record (and
        // walk its size once).
        if (AMGroupContainsPath(result, path)) continue;
        result.push_back(RelatedAppFilesScanner::aConstructItem(path, false));
    }
}
