#pragma once
// The entries of one folder, read completely through its descriptor with getdents64: the walks
// read a folder at once when they enter it, so that its descriptor afterwards only names its
// children.

#include <cstddef>
#include <string>
#include <vector>

namespace platform::detail {

class DirectoryListing {
  public:
    /// Space for the raw records of one read (8-byte aligned); one per thread suffices.
    using Buffer = std::vector<unsigned long long>;
    /// A buffer of the size read() uses.
    static Buffer makeBuffer();

    /// Replaces the listing with the entries of the folder open as `fd` ("." and ".." left
    /// out), read through `buffer`; answers 0 or the errno value of the failure.
    int read(int fd, Buffer& buffer);

    /// The number of entries.
    std::size_t size() const { return entries_.size(); }
    /// The name of entry `i` (NUL-terminated, valid until the next read).
    const char* name(std::size_t i) const { return names_.data() + entries_[i].nameOffset; }
    /// The d_type of entry `i` (DT_UNKNOWN when the file system does not say).
    unsigned char type(std::size_t i) const { return entries_[i].type; }

  private:
    struct Entry {
        std::size_t nameOffset;
        unsigned char type;
    };
    std::string names_;  // every entry name, each followed by a NUL
    std::vector<Entry> entries_;
};

}  // namespace platform::detail
