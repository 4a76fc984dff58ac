#pragma once
// The worker threads behind the global queues: a FIFO of blocks run concurrently.

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class WorkerPool {
  public:
    /// The process-wide pool; it is never destroyed, so workers may outlive main(). A child
    /// made by fork() gets a fresh pool of its own (the parent's workers do not exist there,
    /// and blocks queued in the parent are not run in the child).
    static WorkerPool& shared();

    explicit WorkerPool(unsigned threads);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    /// Queues a block; a worker runs it.
    void enqueue(std::function<void()> block);
    /// Waits until the queue is empty and no worker is busy.
    void waitIdle();
    /// Workers neither running a block nor promised to one already queued: a hint, which may
    /// change at once.
    unsigned idleWorkers();
    /// The number of worker threads.
    unsigned threads() const { return threads_; }

  private:
    /// What the workers share; replaced (never freed) in a forked child, whose copy may have
    /// been taken while a parent thread held the lock.
    struct State {
        std::mutex mutex;
        std::condition_variable ready;
        std::condition_variable idle;
        std::deque<std::function<void()>> blocks;
        unsigned busy = 0;
        unsigned started = 0;  ///< workers that have reached their loop
    };

    void start();
    void restartIfForked();
    static void work(State* state);

    unsigned threads_;
    State* state_;
    std::atomic<pid_t> owner_;  ///< the process whose workers serve state_
};
