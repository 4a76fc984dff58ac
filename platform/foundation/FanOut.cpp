#include "platform/foundation/FanOut.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "platform/foundation/WorkerPool.h"

namespace platform {

// Shared with the queued blocks, which may reach a worker after the FanOut is gone.
struct FanOut::State {
    std::function<void()> body;
    unsigned maxHelpers = 0;
    std::mutex mutex;
    std::condition_variable finished;
    unsigned queued = 0;
    unsigned running = 0;
    bool closed = false;
};

FanOut::FanOut(std::function<void()> body, unsigned maxHelpers) : state_(new State) {
    state_->body = std::move(body);
    state_->maxHelpers = maxHelpers;
}

FanOut::~FanOut() {
    close();
}

unsigned FanOut::request(unsigned wanted) {
    State* s = state_.get();
    unsigned room = 0;
    {
        std::lock_guard lock(s->mutex);
        if (s->closed) return 0;
        const unsigned taken = s->queued + s->running;
        room = taken >= s->maxHelpers ? 0 : std::min(wanted, s->maxHelpers - taken);
    }
    if (room == 0) return 0;
    WorkerPool& pool = WorkerPool::shared();
    unsigned count = std::min(room, pool.idleWorkers());
    {
        std::lock_guard lock(s->mutex);
        if (s->closed) return 0;
        const unsigned taken = s->queued + s->running;
        count = taken >= s->maxHelpers ? 0 : std::min(count, s->maxHelpers - taken);
        s->queued += count;
    }
    for (unsigned i = 0; i < count; ++i) {
        pool.enqueue([state = state_] {
            {
                std::lock_guard lock(state->mutex);
                --state->queued;
                if (state->closed) return;
                ++state->running;
            }
            // Counted out even if the body throws, else close() would wait for ever.
            struct Leave {
                State* s;
                ~Leave() {
                    std::lock_guard lock(s->mutex);
                    if (--s->running == 0) s->finished.notify_all();
                }
            } leave{state.get()};
            state->body();
        });
    }
    return count;
}

void FanOut::close() {
    State* s = state_.get();
    std::unique_lock lock(s->mutex);
    s->closed = true;
    s->finished.wait(lock, [s] { return s->running == 0; });
}

unsigned FanOut::running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

}  // namespace platform
