#include "appsManager/AMScanDelivery.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/dispatch/Dispatch.h"

namespace {

/// Chunks handed to the global queue at once: enough to keep every worker busy, few enough
/// that a large volume does not fill the queue ahead of size and icon tasks.
std::size_t chunksInFlight() {
    return 2 * std::max<std::size_t>(4, std::thread::hardware_concurrency());
}

}  // namespace

std::shared_ptr<AMScanDelivery> AMScanDelivery::make(Make make, Deliver deliver, Finish finish) {
    return std::make_shared<AMScanDelivery>(std::move(make), std::move(deliver), std::move(finish));
}

AMScanDelivery::AMScanDelivery(Make make, Deliver deliver, Finish finish)
    : make_(std::move(make)),
      deliver_(std::move(deliver)),
      finish_(std::move(finish)),
      maxInFlight_(chunksInFlight()) {}

void AMScanDelivery::add(const std::shared_ptr<const AMScanFolder>& folder,
                         const std::string& name) {
    if (!open_) {
        open_ = std::make_shared<Chunk>();
        openedAt_ = std::chrono::steady_clock::now();
    }
    open_->entries.emplace_back(folder, name);
    // The first row goes alone, so that it shows at once.
    if (!closedAny_ || open_->entries.size() >= kChunkSize) close(false, false);
}

void AMScanDelivery::poll() {
    if (open_ && std::chrono::steady_clock::now() - openedAt_ >= kBatchInterval / 2)
        close(false, false);
}

void AMScanDelivery::endOfSearchFolder() {
    close(true, false);
}

void AMScanDelivery::finish() {
    close(true, true);
    // The walking thread has nothing left to do: it makes the chunks still waiting behind
    // other blocks of the global queue rather than leave the end of the scan to them.
    while (std::shared_ptr<Chunk> chunk = claimQueued()) {
        build(*chunk);
        complete(chunk, true);
    }
}

std::shared_ptr<AMScanDelivery::Chunk> AMScanDelivery::claimQueued() {
    std::lock_guard lock(mutex_);
    for (const std::shared_ptr<Chunk>& chunk : queued_)
        if (chunk->dispatched && !chunk->claimed.exchange(true)) return chunk;
    return nullptr;
}

void AMScanDelivery::close(bool flush, bool last) {
    std::shared_ptr<Chunk> chunk = std::exchange(open_, nullptr);
    if (!chunk) chunk = std::make_shared<Chunk>();
    chunk->flush = flush;
    chunk->last = last;
    closedAny_ = closedAny_ || !chunk->entries.empty();
    bool dispatch = false;
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(chunk);
        // The first row is made here, so that it shows at once however busy the workers are.
        if (!chunk->entries.empty() && firstMade_ && inFlight_ < maxInFlight_) {
            ++inFlight_;
            dispatch = chunk->dispatched = true;
        }
        firstMade_ = firstMade_ || !chunk->entries.empty();
    }
    if (dispatch) {
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
                       [self = shared_from_this(), chunk] {
                           if (chunk->claimed.exchange(true)) return;  // the walk made it
                           self->build(*chunk);
                           self->complete(chunk, true);
                       });
        return;
    }
    // Enough in flight: the walking thread makes this chunk itself rather than wait.
    build(*chunk);
    complete(chunk, false);
}

void AMScanDelivery::build(Chunk& chunk) const {
    chunk.rows.reserve(chunk.entries.size());
    for (const auto& [folder, name] : chunk.entries)
        if (Ref<AMAppItem> item = make_(*folder, name)) chunk.rows.push_back(std::move(item));
    chunk.entries.clear();  // lets go of the folders (and their descriptors) at once
}

void AMScanDelivery::complete(const std::shared_ptr<Chunk>& chunk, bool dispatched) {
    bool ended = false;
    {
        std::lock_guard lock(mutex_);
        chunk->done = true;
        if (dispatched) --inFlight_;
        while (!queued_.empty() && queued_.front()->done) {
            const std::shared_ptr<Chunk> front = std::move(queued_.front());
            queued_.pop_front();
            for (Ref<AMAppItem>& row : front->rows) {
                pending_.push_back(std::move(row));
                if (!deliveredAny_ || pending_.size() >= kRowsPerBatch) deliverPending();
            }
            const bool intervalPassed =
                !pending_.empty() &&
                std::chrono::steady_clock::now() - lastDelivery_ >= kBatchInterval;
            if (front->flush || intervalPassed) deliverPending();
            ended = ended || front->last;
        }
    }
    if (ended && finish_) std::exchange(finish_, nullptr)();
}

void AMScanDelivery::deliverPending() {
    if (!pending_.empty()) {
        deliveredAny_ = true;
        lastDelivery_ = std::chrono::steady_clock::now();
    }
    deliver_(std::exchange(pending_, {}));
}
