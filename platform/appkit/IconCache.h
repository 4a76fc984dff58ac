#pragma once
// File icons kept across the lists that show them: a rescan of a list makes new records for the
// same bundles, and without this every visible icon would be read and scaled again. An icon is
// answered again only while its file is unchanged (the stamp the image took when it read it).

#include <array>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"
#include "platform/graphics/NSImage.h"

class IconCache {
  public:
    /// Entries past which the icons nothing else holds are let go (icons that records still
    /// hold stay, however many: they cost the cache nothing but their entry).
    static constexpr std::size_t kCapacity = 2048;
    /// Independent parts, each with its lock: the scan asks from every worker at once.
    static constexpr std::size_t kShards = 16;

    /// The icon of the file at `path` drawn at `size`: the one made before while the file is
    /// unchanged since it was read (or not read yet), else a new one from `make`, kept when it
    /// is not nullptr. Safe on any thread.
    Ref<NSImage> iconForFile(const std::string& path, NSSize size,
                             const std::function<Ref<NSImage>()>& make);

    /// Entries held now (tests).
    std::size_t count() const;

  private:
    struct Shard {
        mutable std::mutex mutex;
        /// By path, then by the size drawn.
        std::unordered_multimap<std::string, std::pair<NSSize, Ref<NSImage>>> icons;
        /// The size at which the next trim runs: twice what the last one kept, at least.
        std::size_t trimAt = kCapacity / kShards;
    };
    static void trim(Shard& shard);

    std::array<Shard, kShards> shards_;
};
