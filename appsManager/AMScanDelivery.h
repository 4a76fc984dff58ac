#pragma once
// The items of one catalogue walk, made in parallel and handed on in walk order. The walking
// thread adds entries one by one; they are gathered into chunks, each chunk's items are made
// by a block of the global queue (or by the walking thread itself: the first row, every chunk
// once enough are in flight, and at the end of the walk every chunk no worker has started yet,
// so that the walk never waits for a queued block), and finished chunks are released strictly
// in the order they were added, in batches: the first row at once, then every kRowsPerBatch
// rows or kBatchInterval, and at the end of each search folder.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "appsManager/AMAppItem.h"
#include "appsManager/AMScanFolder.h"

class AMScanDelivery : public std::enable_shared_from_this<AMScanDelivery> {
  public:
    using Rows = std::vector<Ref<AMAppItem>>;
    /// Makes the item of the entry `name` of `folder`; nullptr leaves it out.
    using Make = std::function<Ref<AMAppItem>(const AMScanFolder& folder, const std::string& name)>;
    /// Hands one batch on, rows in walk order (none: only the end of a search folder). Called
    /// in order under the delivery's lock, so it must not wait (dispatch_async the work).
    using Deliver = std::function<void(Rows rows)>;
    /// Runs once, after the last batch, on the thread that released it.
    using Finish = std::function<void()>;

    static constexpr std::size_t kRowsPerBatch = 100;
    static constexpr std::chrono::milliseconds kBatchInterval{20};
    /// Entries per chunk once the first row has gone.
    static constexpr std::size_t kChunkSize = 32;

    /// A delivery making items with `make`, handing batches to `deliver` and ending with
    /// `finish`.
    static std::shared_ptr<AMScanDelivery> make(Make make, Deliver deliver, Finish finish);
    /// Use make().
    AMScanDelivery(Make make, Deliver deliver, Finish finish);

    /// Adds the entry `name` of `folder` (walking thread only).
    void add(const std::shared_ptr<const AMScanFolder>& folder, const std::string& name);
    /// Sends the entries gathered so far to be made when they have waited long enough; the walk
    /// calls it after each folder, so that a slow walk still shows its rows.
    void poll();
    /// Ends a search folder: every entry added so far is made and delivered, then a batch.
    void endOfSearchFolder();
    /// No more entries: the walking thread makes what no worker has started yet; after the last
    /// batch, `finish` runs (walking thread only, once).
    void finish();

  private:
    struct Chunk {
        std::vector<std::pair<std::shared_ptr<const AMScanFolder>, std::string>> entries;
        Rows rows;
        bool flush = false;  // deliver after it even when no batch is due
        bool last = false;   // the end of the walk
        bool done = false;
        bool dispatched = false;
        std::atomic<bool> claimed{false};  // someone is making it
    };

    void close(bool flush, bool last);
    /// The oldest chunk queued on the global queue that no worker has started, claimed.
    std::shared_ptr<Chunk> claimQueued();
    void build(Chunk& chunk) const;
    /// Marks `chunk` made and releases every made chunk at the front; runs finish after the
    /// last one.
    void complete(const std::shared_ptr<Chunk>& chunk, bool dispatched);
    void deliverPending();

    const Make make_;
    const Deliver deliver_;
    Finish finish_;
    const std::size_t maxInFlight_;

    // Walking thread only.
    std::shared_ptr<Chunk> open_;
    std::chrono::steady_clock::time_point openedAt_;
    bool closedAny_ = false;

    // Under mutex_.
    std::mutex mutex_;
    std::deque<std::shared_ptr<Chunk>> queued_;
    std::size_t inFlight_ = 0;
    bool firstMade_ = false;
    Rows pending_;
    bool deliveredAny_ = false;
    std::chrono::steady_clock::time_point lastDelivery_;
};
