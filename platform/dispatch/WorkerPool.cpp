#include "platform/dispatch/WorkerPool.h"

#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

WorkerPool& WorkerPool::shared() {
    static auto* pool = [] {
        auto* p = new WorkerPool(std::max(4u, std::thread::hardware_concurrency()));
        pthread_atfork(&WorkerPool::beforeFork, &WorkerPool::afterForkInParent,
                       &WorkerPool::afterForkInChild);
        return p;
    }();
    return *pool;
}

WorkerPool::WorkerPool(unsigned threads) : threads_(threads), state_(new State) {
    start();
}

void WorkerPool::start() {
    for (unsigned i = 0; i < threads_; ++i)
        std::thread([state = state_] { work(state); }).detach();
}

// The fork handlers hold the lock across fork() so that the child's copy of the queue is
// consistent; the child then leaves that copy (and its waiters, who are not there) behind.
void WorkerPool::beforeFork() {
    shared().state_->mutex.lock();
}

void WorkerPool::afterForkInParent() {
    shared().state_->mutex.unlock();
}

void WorkerPool::afterForkInChild() {
    WorkerPool& pool = shared();
    pool.state_ = new State;  // the old state is left as it is: its lock is still held
    pool.start();
}

void WorkerPool::enqueue(std::function<void()> block) {
    State* s = state_;
    {
        std::lock_guard lock(s->mutex);
        s->blocks.push_back(std::move(block));
    }
    s->ready.notify_one();
}

void WorkerPool::waitIdle() {
    State* s = state_;
    std::unique_lock lock(s->mutex);
    s->idle.wait(lock, [s] { return s->blocks.empty() && s->busy == 0; });
}

void WorkerPool::work(State* s) {
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
        {
            std::lock_guard lock(s->mutex);
            --s->busy;
            if (s->blocks.empty() && s->busy == 0) s->idle.notify_all();
        }
    }
}
