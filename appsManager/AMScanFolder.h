#pragma once
// A folder of the catalogue walk, opened once for everything the walk and the item records
// read in it: entries are listed and looked up by their names relative to the open folder
// instead of by long absolute paths.

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/FileEntryRecord.h"

class AMScanFolder {
  public:
    /// One entry as the folder lists it.
    struct Entry {
        std::string name;
        unsigned char type = 0;  ///< the listing's d_type (DT_UNKNOWN when it does not say)
    };
    /// What a walk needs of an entry, links followed.
    struct Target {
        bool isFolder = false;
        dev_t device = 0;
        ino_t inode = 0;
    };

    /// The folder at `path` (links followed); nullptr when nothing there is a folder. It is
    /// opened by its canonical path without following links when that works, so that the
    /// records of its entries name it as recordEntryAtPath would.
    static std::shared_ptr<const AMScanFolder> open(const std::string& path);
    ~AMScanFolder();
    AMScanFolder(const AMScanFolder&) = delete;
    AMScanFolder& operator=(const AMScanFolder&) = delete;

    /// The path by which the walk reached the folder.
    const std::string& path() const { return path_; }
    /// The folder's device and inode.
    dev_t device() const { return device_; }
    ino_t inode() const { return inode_; }
    /// A descriptor of the folder for names relative to it (only for lookups).
    int descriptor() const { return fd_; }
    /// The path of the entry `name` (the folder's path joined with it).
    std::string pathOf(const std::string& name) const;
    /// The entries, "." and ".." left out, in the order the file system lists them; none when
    /// the folder cannot be read.
    std::vector<Entry> entries() const;
    /// The entry with links followed (device and inode only of folders); nullopt when it
    /// cannot be reached.
    std::optional<Target> target(const Entry& entry) const;
    /// The record of the entry `name` and its creation date (seconds since 1970), both from one
    /// look at the entry itself (a link is recorded as the link); nullopt parts when it is gone.
    void describe(const std::string& name, std::optional<platform::FileEntryRecord>& record,
                  std::optional<double>& creationDate) const;

    /// Use open().
    AMScanFolder(std::string path, std::string canonical, int fd, dev_t device, ino_t inode);

  private:
    std::string path_;
    std::string canonical_;  // empty when the folder could not be opened without links
    int fd_;
    dev_t device_;
    ino_t inode_;
};
