#pragma once
// How a run loop sleeps: until it is woken (a post from any thread) or the timeout passes.
// A window-system backend installs its own waiter, which also returns when input arrives.

#include <condition_variable>
#include <mutex>

class RunLoopWaiter {
  public:
    virtual ~RunLoopWaiter() = default;
    /// Sleeps at most `timeout` seconds (negative: without limit); returns true when input
    /// from outside the run loop (window-system events) arrived.
    virtual bool wait(double timeout) = 0;
    /// Wakes a waiting (or the next) wait(); callable from any thread.
    virtual void wake() = 0;
};

/// The waiter of run loops without a window system: a condition variable.
class ConditionRunLoopWaiter final : public RunLoopWaiter {
  public:
    bool wait(double timeout) override;
    void wake() override;

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = false;
};
