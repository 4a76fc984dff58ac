#include "platform/dispatch/Dispatch.h"

#include <cmath>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/WorkerPool.h"

class DispatchQueue {
  public:
    explicit DispatchQueue(bool main) : main_(main) {}
    bool isMain() const { return main_; }

  private:
    bool main_;
};

namespace {
DispatchQueue gMainQueue(true);
DispatchQueue gGlobalQueue(false);

double clockSecondsOf(dispatch_time_t when) {
    return when == DISPATCH_TIME_NOW ? Clock::shared()->now()
                                     : static_cast<double>(when) / NSEC_PER_SEC;
}
}  // namespace

dispatch_queue_t dispatch_get_main_queue() {
    return &gMainQueue;
}

dispatch_queue_t dispatch_get_global_queue(long, unsigned long) {
    return &gGlobalQueue;
}

void dispatch_async(dispatch_queue_t queue, dispatch_block_t block) {
    if (!queue || !block) return;
    if (queue->isMain())
        NSRunLoop::mainRunLoop().enqueueBlock(std::move(block));
    else
        WorkerPool::shared().enqueue(std::move(block));
}

void dispatch_sync(dispatch_queue_t queue, dispatch_block_t block) {
    if (!queue || !block) return;
    if (queue->isMain())
        NSRunLoop::performOnMainThreadAndWait(block);
    else
        block();
}

dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t delta) {
    if (when == DISPATCH_TIME_FOREVER) return when;
    double base = clockSecondsOf(when);
    double t = base * NSEC_PER_SEC + static_cast<double>(delta);
    return t <= 1 ? 1 : static_cast<dispatch_time_t>(std::llround(t));
}

void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block) {
    if (!queue || !block || when == DISPATCH_TIME_FOREVER) return;
    double delay = clockSecondsOf(when) - Clock::shared()->now();
    if (delay <= 0) {
        dispatch_async(queue, std::move(block));
        return;
    }
    // The main run loop keeps the time; the block then goes to its queue.
    auto timer = NSTimer::timerWithTimeInterval(
        delay, false, [queue, block](NSTimer&) { dispatch_async(queue, block); });
    NSRunLoop::mainRunLoop().enqueueBlock(
        [timer] { NSRunLoop::mainRunLoop().addTimer(timer, NSRunLoopCommonModes); });
}

namespace platform {
void waitForGlobalQueuesForTesting() {
    WorkerPool::shared().waitIdle();
}
}  // namespace platform
