#pragma once
// A timer that a run loop fires in the modes it was added for.

#include <functional>

#include "platform/foundation/NSObject.h"

class NSTimer : public NSObject {
  public:
    using Block = std::function<void(NSTimer&)>;

    /// A timer not yet in any run loop; it first fires `interval` seconds from now.
    static Ref<NSTimer> timerWithTimeInterval(double interval, bool repeats, Block block);
    /// A timer added to the main run loop in the default mode.
    static Ref<NSTimer> scheduledTimerWithTimeInterval(double interval, bool repeats, Block block);

    NSTimer(double interval, bool repeats, Block block);

    /// Stops the timer for good; a run loop drops it at its next turn.
    void invalidate() { valid_ = false; }
    bool isValid() const { return valid_; }
    /// Runs the block now (a non-repeating timer is then invalid).
    void fire();

    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    /// When the timer fires next, in clock seconds.
    double fireDate() const { return fireDate_; }
    void setFireDate(double date) { fireDate_ = date; }

  private:
    double interval_;
    bool repeats_;
    bool valid_ = true;
    double fireDate_;
    Block block_;
};
