#pragma once
// The run loop of a thread: the main queue's blocks (in every mode), timers (in the modes
// they were added for) and the waiter that sleeps until input, a post or the next timer.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/ClassInfo.h"
#include "platform/foundation/Ref.h"
#include "platform/foundation/SEL.h"

class NSObject;
class NSTimer;
class RunLoopWaiter;

using NSRunLoopMode = std::string;
extern const NSRunLoopMode NSDefaultRunLoopMode;
extern const NSRunLoopMode NSModalPanelRunLoopMode;
extern const NSRunLoopMode NSEventTrackingRunLoopMode;
/// Adding a timer for the common modes adds it for the three modes above.
extern const NSRunLoopMode NSRunLoopCommonModes;

class NSRunLoop {
  public:
    /// The main thread's run loop; it also serves the main dispatch queue.
    static NSRunLoop& mainRunLoop();
    /// The calling thread's run loop (the main run loop on the main thread).
    static NSRunLoop& currentRunLoop();

    NSRunLoop();
    ~NSRunLoop();
    NSRunLoop(const NSRunLoop&) = delete;
    NSRunLoop& operator=(const NSRunLoop&) = delete;

    /// Adds `timer` for `mode`; a timer may be added for several modes.
    void addTimer(const Ref<NSTimer>& timer, const NSRunLoopMode& mode);

    /// Runs in `mode` until a block or an input event was handled, stop() was called, or
    /// `timeout` seconds passed (0: one turn without waiting; negative: no limit). Firing
    /// timers alone does not end it. Returns whether a block or an input was handled.
    bool runMode(const NSRunLoopMode& mode, double timeout);
    /// Runs the default mode until stop().
    void run();
    /// Runs the default mode for `seconds`.
    void runForTimeInterval(double seconds);
    /// Ends the innermost run() or runMode() at its next turn.
    void stop();
    /// The mode of the innermost running turn, or "" when the loop is not running.
    const NSRunLoopMode& currentMode() const;

    /// Queues a block that runs in every mode, in order; callable from any thread.
    void enqueueBlock(std::function<void()> block);
    /// Queues `block` on the main run loop and waits until it has run; from the main thread it
    /// runs at once instead (no deadlock).
    static void performOnMainThreadAndWait(const std::function<void()>& block);
    /// Replaces the waiter (the window-system backend installs one); nullptr restores the default.
    void setWaiter(std::shared_ptr<RunLoopWaiter> waiter);
    /// Wakes the loop from any thread.
    void wake();

    /// Schedules target's `sel` after `delay` seconds in the default mode (retaining target).
    void addPerformRequest(const Ref<NSObject>& target, SEL sel, const SelectorArg& arg,
                           double delay);
    /// Cancels pending performs of `sel` (all when null) on `target`.
    void cancelPerformRequests(const NSObject* target, SEL sel);
    /// The number of delayed performs still pending (for tests and diagnostics).
    std::size_t pendingPerformRequests() const;

    /// Told, on the loop's thread, the real seconds of every turn: from the moment the loop
    /// last had the thread back (the end of the previous turn or of a wait) to the start of
    /// its next wait or its return. So a turn holds its blocks and timers and whatever the
    /// thread did between two runs of the loop (events, drawing); time asleep never counts,
    /// and a nested loop's turns are reported on their own, not again in the enclosing one.
    /// For diagnostics and benchmarks; nullptr (the default) removes it.
    using TurnObserver = std::function<void(double seconds)>;
    void setTurnObserver(TurnObserver observer);

    /// Told on the loop's thread each time it is about to sleep, after its blocks and timers
    /// of the turn: what a timer changed is drawn there, before the loop waits for input.
    /// Returns the one it replaces; nullptr (the default) removes it.
    using BeforeWaiting = std::function<void()>;
    BeforeWaiting setBeforeWaiting(BeforeWaiting observer);

  private:
    struct TimerEntry {
        Ref<NSTimer> timer;
        std::set<NSRunLoopMode> modes;
    };
    struct PerformRequest {
        std::uint64_t id;
        Ref<NSObject> target;
        SEL sel;
        Ref<NSTimer> timer;
    };

    struct TurnResult {
        bool handled = false;
        bool stopped = false;
    };
    TurnResult runTurns(const NSRunLoopMode& mode, double timeout);
    bool runBlocks();
    bool fireTimers(const NSRunLoopMode& mode);
    double nextFireDate(const NSRunLoopMode& mode) const;
    std::shared_ptr<RunLoopWaiter> waiter() const;
    void endTurn();

    mutable std::mutex blocksMutex_;
    std::deque<std::function<void()>> blocks_;
    std::vector<TimerEntry> timers_;
    std::vector<PerformRequest> performs_;
    std::vector<NSRunLoopMode> modeStack_;
    std::atomic<int> stopRequests_{0};
    std::uint64_t lastPerformId_ = 0;
    mutable std::mutex waiterMutex_;
    std::shared_ptr<RunLoopWaiter> waiter_;
    TurnObserver turnObserver_;
    BeforeWaiting beforeWaiting_;
    std::chrono::steady_clock::time_point turnStart_;
};
