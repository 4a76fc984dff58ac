#pragma once
// A clock that stands still until the test advances it.

#include <atomic>
#include <memory>

#include "platform/foundation/Clock.h"

class ManualClock final : public Clock {
  public:
    explicit ManualClock(double start = 1000.0) : now_(start) {}
    double now() const override { return now_.load(); }
    bool isRealTime() const override { return false; }
    /// Moves time forward by `seconds`.
    void advance(double seconds) { now_.store(now_.load() + seconds); }

    /// Installs a new manual clock as the shared clock for the life of the returned guard.
    class Installed {
      public:
        Installed() : clock_(std::make_shared<ManualClock>()) { Clock::setShared(clock_); }
        ~Installed() { Clock::setShared(nullptr); }
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;
        ManualClock& operator*() const { return *clock_; }
        ManualClock* operator->() const { return clock_.get(); }

      private:
        std::shared_ptr<ManualClock> clock_;
    };

  private:
    std::atomic<double> now_;
};
