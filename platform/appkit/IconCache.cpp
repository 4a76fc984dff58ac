#include "platform/appkit/IconCache.h"

#include <algorithm>

namespace {

bool sameSize(NSSize a, NSSize b) {
    return a.width == b.width && a.height == b.height;
}

}  // namespace

Ref<NSImage> IconCache::iconForFile(const std::string& path, NSSize size,
                                    const std::function<Ref<NSImage>()>& make) {
    Shard& shard = shards_[std::hash<std::string>{}(path) % kShards];
    Ref<NSImage> kept;
    {
        std::lock_guard lock(shard.mutex);
        auto [first, last] = shard.icons.equal_range(path);
        for (auto it = first; it != last && !kept; ++it)
            if (sameSize(it->second.first, size)) kept = it->second.second;
    }
    if (kept) {
        // An icon not read yet reads the file as it is then; one read already must still match.
        std::optional<NSImage::FileStamp> read = kept->decodedFileStamp();
        if (!kept->isDecoded() || (read && read == NSImage::stampOfFile(path))) return kept;
    }
    Ref<NSImage> made = make();
    if (!made) return made;
    std::lock_guard lock(shard.mutex);
    auto [first, last] = shard.icons.equal_range(path);
    auto it = first;
    while (it != last && !sameSize(it->second.first, size))
        ++it;
    if (it != last)
        it->second.second = made;
    else
        shard.icons.emplace(path, std::make_pair(size, made));
    if (shard.icons.size() > shard.trimAt) trim(shard);
    return made;
}

std::size_t IconCache::count() const {
    std::size_t total = 0;
    for (const Shard& shard : shards_) {
        std::lock_guard lock(shard.mutex);
        total += shard.icons.size();
    }
    return total;
}

void IconCache::trim(Shard& shard) {
    for (auto it = shard.icons.begin(); it != shard.icons.end();)
        it = it->second.second.use_count() == 1 ? shard.icons.erase(it) : std::next(it);
    // What stays is held by records: the next trim waits until the shard has doubled, so that
    // trimming costs a constant per icon however many stay.
    shard.trimAt = std::max(kCapacity / kShards, 2 * shard.icons.size());
}
