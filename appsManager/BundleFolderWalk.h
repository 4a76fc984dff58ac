#pragma once
// The walk under both scans of the application folders: the catalogue's list of bundles and the
// language screen's. Folders are walked depth first in the order they are listed, links
// followed, and every folder and every bundle is met once in the whole walk however many links
// lead to it (kept by device and inode): a cycle of links ends, links that fan out to the same
// folders walk them once, and a bundle reached again keeps the path by which it was first
// reached. An item (a name the rules accept) is never entered.

#include <sys/types.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "appsManager/AMScanFolder.h"

class BundleFolderWalk {
  public:
    struct Rules {
        /// Whether the entry `name` is an item (by its name alone).
        std::function<bool(const std::string& name)> isItem;
        /// True: an item must be a folder (reached through links), anything else is passed
        /// over. False: files are items too, and only an item that is a folder is kept to once.
        bool itemsAreFolders = true;
        /// Entries whose names begin with "." are passed over, folders and items alike.
        bool skipHidden = false;
    };
    /// Called for each item, with the open folder it was listed in and its name.
    using Found =
        std::function<void(const std::shared_ptr<const AMScanFolder>& folder, const std::string&)>;
    /// Called after the entries of each folder walked.
    using FolderDone = std::function<void()>;

    BundleFolderWalk(Rules rules, Found found, FolderDone folderDone = {});

    /// Walks `folder` (links followed) and everything below it. Several calls on one walk share
    /// what was met: a folder met in an earlier call is not walked again. Nothing there, or
    /// something other than a folder, walks nothing.
    void walk(const std::string& folder);

  private:
    void walkEntries(const std::shared_ptr<const AMScanFolder>& folder);
    /// True the first time the folder of `device` and `inode` is met.
    bool firstMeeting(dev_t device, ino_t inode);

    Rules rules_;
    Found found_;
    FolderDone folderDone_;
    std::set<std::pair<dev_t, ino_t>> met_;
};
