#include "platform/foundation/NSTimer.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSRunLoop.h"

NSTimer::NSTimer(double interval, bool repeats, Block block)
    : interval_(interval < 0 ? 0 : interval),
      repeats_(repeats),
      fireDate_(Clock::shared()->now() + interval_),
      block_(std::move(block)) {}

Ref<NSTimer> NSTimer::timerWithTimeInterval(double interval, bool repeats, Block block) {
    return std::make_shared<NSTimer>(interval, repeats, std::move(block));
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double interval, bool repeats, Block block) {
    auto timer = timerWithTimeInterval(interval, repeats, std::move(block));
    NSRunLoop::mainRunLoop().addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

void NSTimer::fire() {
    if (!valid_) return;
    if (!repeats_) valid_ = false;
    Block block = block_;  // the block may invalidate or release the timer
    if (block) block(*this);
}
