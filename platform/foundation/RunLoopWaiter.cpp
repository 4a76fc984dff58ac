#include "platform/foundation/RunLoopWaiter.h"

#include <chrono>

bool ConditionRunLoopWaiter::wait(double timeout) {
    std::unique_lock lock(mutex_);
    if (timeout < 0) {
        cv_.wait(lock, [this] { return woken_; });
    } else if (timeout > 0) {
        cv_.wait_for(lock, std::chrono::duration<double>(timeout), [this] { return woken_; });
    }
    woken_ = false;
    return false;
}

void ConditionRunLoopWaiter::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
}
