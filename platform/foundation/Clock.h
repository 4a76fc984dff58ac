#pragma once
// The time source of run loops and timers; tests install a manual clock and advance it.

#include <memory>

/// Monotonic seconds; the origin is arbitrary.
class Clock {
  public:
    virtual ~Clock() = default;
    /// The current time in seconds.
    virtual double now() const = 0;
    /// Whether the run loop may sleep for real time while it waits for this clock.
    virtual bool isRealTime() const { return true; }

    /// The process-wide clock (steady_clock unless a test replaced it).
    static std::shared_ptr<Clock> shared();
    /// Replaces the process-wide clock; nullptr restores the real one.
    static void setShared(std::shared_ptr<Clock> clock);
};
