#pragma once
// The space a removal freed, from the paths reported removed and their sizes. A path counts
// once however often it is reported, and a path inside one already counted adds nothing: a
// list may name one file twice, or a file and the folder that holds it. Safe to call from any
// thread.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

class AMFreedSpace {
  public:
    /// Forgets every removal: the total is 0 again.
    void reset();
    /// Counts `bytes` for the removed `path` and answers the new total. A path equal to or
    /// inside one counted already adds nothing; a folder that holds counted paths adds its own
    /// bytes less theirs (never below nothing).
    std::uint64_t addRemoved(const std::string& path, std::uint64_t bytes);
    /// The bytes freed so far.
    std::uint64_t total() const;

  private:
    mutable std::mutex lock_;
    std::map<std::string, std::uint64_t> counted_;  // path without trailing slashes -> bytes
    std::uint64_t total_ = 0;
};
