#include "platform/appkit/IconCache.h"

Ref<NSImage> IconCache::iconForFile(const std::string& path, NSSize size,
                                    const std::function<Ref<NSImage>()>& make) {
    const auto key = std::make_pair(path, std::make_pair(size.width, size.height));
    Ref<NSImage> kept;
    {
        std::lock_guard lock(mutex_);
        auto found = icons_.find(key);
        if (found != icons_.end()) kept = found->second;
    }
    if (kept) {
        // An icon not read yet reads the file as it is then; one read already must still match.
        std::optional<NSImage::FileStamp> read = kept->decodedFileStamp();
        if (!kept->isDecoded() || (read && read == NSImage::stampOfFile(path))) return kept;
    }
    Ref<NSImage> made = make();
    if (!made) return made;
    std::lock_guard lock(mutex_);
    icons_[key] = made;
    if (icons_.size() > kCapacity) trim();
    return made;
}

std::size_t IconCache::count() const {
    std::lock_guard lock(mutex_);
    return icons_.size();
}

void IconCache::trim() {
    for (auto it = icons_.begin(); it != icons_.end();)
        it = it->second.use_count() == 1 ? icons_.erase(it) : std::next(it);
    // Every icon still shown by someone: start afresh rather than grow without bound.
    if (icons_.size() > kCapacity) icons_.clear();
}
