#include "appsManager/BundleFolderWalk.h"

#include <optional>

BundleFolderWalk::BundleFolderWalk(Rules rules, Found found, FolderDone folderDone)
    : rules_(std::move(rules)), found_(std::move(found)), folderDone_(std::move(folderDone)) {}

bool BundleFolderWalk::firstMeeting(dev_t device, ino_t inode) {
    return met_.emplace(device, inode).second;
}

void BundleFolderWalk::walk(const std::string& folder) {
    std::shared_ptr<const AMScanFolder> opened = AMScanFolder::open(folder);
    if (!opened || !firstMeeting(opened->device(), opened->inode())) return;
    walkEntries(opened);
    if (folderDone_) folderDone_();
}

void BundleFolderWalk::walkEntries(const std::shared_ptr<const AMScanFolder>& folder) {
    // Entries are looked up by name inside the open folder; only folders and links need it.
    for (const AMScanFolder::Entry& entry : folder->entries()) {
        if (rules_.skipHidden && entry.name.front() == '.') continue;
        const bool isItem = rules_.isItem(entry.name);
        if (!isItem || rules_.itemsAreFolders) {
            const std::optional<AMScanFolder::Target> target = folder->target(entry);
            if (!target || !target->isFolder) continue;
            if (!isItem) {
                walk(folder->pathOf(entry.name));
                continue;
            }
            if (!firstMeeting(target->device, target->inode)) continue;
        } else {
            // An item that may be a file: listed whatever it is, but a bundle folder once.
            const std::optional<AMScanFolder::Target> target = folder->target(entry);
            if (target && target->isFolder && !firstMeeting(target->device, target->inode))
                continue;
        }
        found_(folder, entry.name);
    }
}
