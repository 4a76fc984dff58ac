#include "appsManager/AMFreedSpace.h"

#include <algorithm>

namespace {

/// `path` without trailing slashes ("/" stays "/").
std::string trimmed(const std::string& path) {
    std::string out = path;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

}  // namespace

void AMFreedSpace::reset() {
    std::lock_guard guard(lock_);
    counted_.clear();
    total_ = 0;
}

std::uint64_t AMFreedSpace::addRemoved(const std::string& path, std::uint64_t bytes) {
    std::lock_guard guard(lock_);
    const std::string key = trimmed(path);
    // The path itself or a folder above it was counted: its bytes are in the total already.
    for (std::string probe = key;;) {
        if (counted_.count(probe)) return total_;
        const std::size_t slash = probe.rfind('/');
        if (slash == std::string::npos || probe == "/") break;
        probe.resize(slash == 0 ? 1 : slash);
    }
    // Paths below this one were counted on their own: this folder's bytes include theirs.
    std::uint64_t inside = 0;
    if (!key.empty()) {
        const std::string below = key == "/" ? key : key + "/";
        auto first = counted_.lower_bound(below);
        auto last = first;
        for (; last != counted_.end() && last->first.starts_with(below); ++last)
            inside += last->second;
        counted_.erase(first, last);
    }
    const std::uint64_t own = std::max(bytes, inside);
    counted_[key] = own;
    total_ += own - inside;
    return total_;
}

std::uint64_t AMFreedSpace::total() const {
    std::lock_guard guard(lock_);
    return total_;
}
