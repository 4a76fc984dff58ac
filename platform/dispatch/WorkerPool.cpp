#include "platform/dispatch/WorkerPool.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

WorkerPool& WorkerPool::shared() {
    static auto* pool = new WorkerPool(std::max(4u, std::thread::hardware_concurrency()));
    return *pool;
}

WorkerPool::WorkerPool(unsigned threads) {
    for (unsigned i = 0; i < threads; ++i)
        std::thread([this] { work(); }).detach();
}

void WorkerPool::enqueue(std::function<void()> block) {
    {
        std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    ready_.notify_one();
}

void WorkerPool::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return blocks_.empty() && busy_ == 0; });
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> block;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return !blocks_.empty(); });
            block = std::move(blocks_.front());
            blocks_.pop_front();
            ++busy_;
        }
        try {
            if (block) block();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "uncaught exception in a background block: %s\n", e.what());
        }
        {
            std::lock_guard lock(mutex_);
            --busy_;
            if (blocks_.empty() && busy_ == 0) idle_.notify_all();
        }
    }
}
