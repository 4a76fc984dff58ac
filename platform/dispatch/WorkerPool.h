#pragma once
// The worker threads behind the global queues: a FIFO of blocks run concurrently.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class WorkerPool {
  public:
    /// The process-wide pool; it is never destroyed, so workers may outlive main().
    static WorkerPool& shared();

    explicit WorkerPool(unsigned threads);
    /// Queues a block; a worker runs it.
    void enqueue(std::function<void()> block);
    /// Waits until the queue is empty and no worker is busy.
    void waitIdle();

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> blocks_;
    unsigned busy_ = 0;
};
