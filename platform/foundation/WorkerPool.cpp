#include "platform/foundation/WorkerPool.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

WorkerPool& WorkerPool::shared() {
    static auto* pool = new WorkerPool(std::max(4u, std::thread::hardware_concurrency()));
    return *pool;
}

WorkerPool::WorkerPool(unsigned threads) : threads_(threads), state_(new State), owner_(getpid()) {
    start();
}

// Returns once every worker is waiting for blocks: a thread still starting up is inside the
// C library and its allocator, and a fork() at that moment would copy their locks held.
void WorkerPool::start() {
    State* s = state_;
    for (unsigned i = 0; i < threads_; ++i)
        std::thread([s] { work(s); }).detach();
    std::unique_lock lock(s->mutex);
    s->idle.wait(lock, [&] { return s->started == threads_; });
}

// A child made by fork() has none of the parent's workers, and its copy of the queue may
// have been taken while a parent thread held the lock. The child leaves that copy alone and
// starts workers of its own the first time it uses the pool. (Fork handlers are not enough:
// sanitizer runtimes fork without running them.)
void WorkerPool::restartIfForked() {
    pid_t now = getpid();
    if (now == owner_.load(std::memory_order_relaxed)) return;
    owner_ = now;
    state_ = new State;
    start();
}

void WorkerPool::enqueue(std::function<void()> block) {
    restartIfForked();
    State* s = state_;
    {
        std::lock_guard lock(s->mutex);
        s->blocks.push_back(std::move(block));
    }
    s->ready.notify_one();
}

void WorkerPool::waitIdle() {
    restartIfForked();
    State* s = state_;
    std::unique_lock lock(s->mutex);
    s->idle.wait(lock, [s] { return s->blocks.empty() && s->busy == 0; });
}

unsigned WorkerPool::idleWorkers() {
    restartIfForked();
    State* s = state_;
    std::lock_guard lock(s->mutex);
    const std::size_t claimed = s->busy + s->blocks.size();
    return claimed >= threads_ ? 0 : threads_ - static_cast<unsigned>(claimed);
}

void WorkerPool::work(State* s) {
    {
        std::lock_guard lock(s->mutex);
        ++s->started;
    }
    s->idle.notify_all();
    for (;;) {
        std::function<void()> block;
        {
            std::unique_lock lock(s->mutex);
            s->ready.wait(lock, [s] { return !s->blocks.empty(); });
            block = std::move(s->blocks.front());
            s->blocks.pop_front();
            ++s->busy;
        }
        try {
            if (block) block();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "uncaught exception in a background block: %s\n", e.what());
        }
        // Gone before the worker counts itself idle, so that a caller who waits for the
        // queues to drain (and then forks, say) finds no worker inside the allocator.
        block = nullptr;
        {
            std::lock_guard lock(s->mutex);
            --s->busy;
            if (s->blocks.empty() && s->busy == 0) s->idle.notify_all();
        }
    }
}
