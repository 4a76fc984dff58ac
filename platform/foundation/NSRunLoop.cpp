#include "platform/foundation/NSRunLoop.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <utility>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSThread.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/RunLoopWaiter.h"

const NSRunLoopMode NSDefaultRunLoopMode = "kCFRunLoopDefaultMode";
const NSRunLoopMode NSModalPanelRunLoopMode = "NSModalPanelRunLoopMode";
const NSRunLoopMode NSEventTrackingRunLoopMode = "NSEventTrackingRunLoopMode";
const NSRunLoopMode NSRunLoopCommonModes = "kCFRunLoopCommonModes";

namespace {
const NSRunLoopMode kNotRunning;
constexpr double kNever = std::numeric_limits<double>::infinity();
}  // namespace

NSRunLoop& NSRunLoop::mainRunLoop() {
    static auto* loop = new NSRunLoop;  // lives for the process: worker threads may post late
    return *loop;
}

NSRunLoop& NSRunLoop::currentRunLoop() {
    if (NSThread::isMainThread()) return mainRunLoop();
    thread_local NSRunLoop loop;
    return loop;
}

NSRunLoop::NSRunLoop() : waiter_(std::make_shared<ConditionRunLoopWaiter>()) {}
NSRunLoop::~NSRunLoop() = default;

void NSRunLoop::addTimer(const Ref<NSTimer>& timer, const NSRunLoopMode& mode) {
    if (!timer) return;
    std::set<NSRunLoopMode> modes;
    if (mode == NSRunLoopCommonModes)
        modes = {NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode};
    else
        modes = {mode};
    for (TimerEntry& e : timers_) {
        if (e.timer == timer) {
            e.modes.insert(modes.begin(), modes.end());
            return;
        }
    }
    timers_.push_back({timer, std::move(modes)});
    wake();
}

bool NSRunLoop::runBlocks() {
    std::size_t count;
    {
        std::lock_guard lock(blocksMutex_);
        count = blocks_.size();
    }
    bool ran = false;
    // Only the blocks queued before this turn: a block that queues another does not starve
    // the timers, and a nested loop inside a block takes the remaining ones in order.
    for (std::size_t i = 0; i < count; ++i) {
        std::function<void()> block;
        {
            std::lock_guard lock(blocksMutex_);
            if (blocks_.empty()) break;
            block = std::move(blocks_.front());
            blocks_.pop_front();
        }
        if (block) block();
        ran = true;
    }
    return ran;
}

bool NSRunLoop::fireTimers(const NSRunLoopMode& mode) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [](const TimerEntry& e) { return !e.timer->isValid(); }),
                  timers_.end());
    const double now = Clock::shared()->now();
    std::vector<Ref<NSTimer>> due;
    for (const TimerEntry& e : timers_)
        if (e.modes.count(mode) && e.timer->fireDate() <= now) due.push_back(e.timer);
    std::stable_sort(due.begin(), due.end(), [](const Ref<NSTimer>& a, const Ref<NSTimer>& b) {
        return a->fireDate() < b->fireDate();
    });
    for (const Ref<NSTimer>& t : due) {
        if (!t->isValid()) continue;  // invalidated by an earlier timer of this turn
        if (t->repeats()) {
            double next = t->fireDate() + t->timeInterval();
            t->setFireDate(next > now ? next : now + std::max(t->timeInterval(), 1e-6));
        }
        t->fire();
    }
    return !due.empty();
}

double NSRunLoop::nextFireDate(const NSRunLoopMode& mode) const {
    double next = kNever;
    for (const TimerEntry& e : timers_)
        if (e.timer->isValid() && e.modes.count(mode)) next = std::min(next, e.timer->fireDate());
    return next;
}

void NSRunLoop::setTurnObserver(TurnObserver observer) {
    turnObserver_ = std::move(observer);
    turnStart_ = std::chrono::steady_clock::now();
}

NSRunLoop::BeforeWaiting NSRunLoop::setBeforeWaiting(BeforeWaiting observer) {
    return std::exchange(beforeWaiting_, std::move(observer));
}

void NSRunLoop::endTurn() {
    if (!turnObserver_) return;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - turnStart_).count();
    turnStart_ = now;
    // A copy: the observer may replace or remove itself.
    TurnObserver observer = turnObserver_;
    observer(seconds);
}

std::shared_ptr<RunLoopWaiter> NSRunLoop::waiter() const {
    std::lock_guard lock(waiterMutex_);
    return waiter_;
}

bool NSRunLoop::runMode(const NSRunLoopMode& mode, double timeout) {
    return runTurns(mode, timeout).handled;
}

NSRunLoop::TurnResult NSRunLoop::runTurns(const NSRunLoopMode& mode, double timeout) {
    auto clock = Clock::shared();
    const double deadline = timeout < 0 ? kNever : clock->now() + timeout;
    modeStack_.push_back(mode);
    TurnResult result;
    for (;;) {
        if (runBlocks()) result.handled = true;
        fireTimers(mode);
        if (runBlocks()) result.handled = true;
        if (stopRequests_ > 0) {
            --stopRequests_;
            result.stopped = true;
            break;
        }
        if (result.handled) break;
        if (clock->now() >= deadline || !clock->isRealTime()) break;
        if (beforeWaiting_) {
            // A copy: the observer may replace or remove itself.
            BeforeWaiting observer = beforeWaiting_;
            observer();
        }
        const double now = clock->now();
        double wait = std::max(0.0, std::min(deadline, nextFireDate(mode)) - now);
        endTurn();
        const bool woken = waiter()->wait(wait == kNever ? -1 : wait);
        turnStart_ = std::chrono::steady_clock::now();
        if (woken) {
            result.handled = true;
            break;
        }
    }
    endTurn();
    modeStack_.pop_back();
    return result;
}

void NSRunLoop::run() {
    while (!runTurns(NSDefaultRunLoopMode, -1).stopped) {
    }
}

void NSRunLoop::runForTimeInterval(double seconds) {
    auto clock = Clock::shared();
    const double deadline = clock->now() + seconds;
    do {
        runMode(NSDefaultRunLoopMode, std::max(0.0, deadline - clock->now()));
    } while (clock->isRealTime() && clock->now() < deadline);
}

void NSRunLoop::stop() {
    ++stopRequests_;
    wake();
}

const NSRunLoopMode& NSRunLoop::currentMode() const {
    return modeStack_.empty() ? kNotRunning : modeStack_.back();
}

void NSRunLoop::enqueueBlock(std::function<void()> block) {
    {
        std::lock_guard lock(blocksMutex_);
        blocks_.push_back(std::move(block));
    }
    wake();
}

void NSRunLoop::performOnMainThreadAndWait(const std::function<void()>& block) {
    if (NSThread::isMainThread()) {
        block();
        return;
    }
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    mainRunLoop().enqueueBlock([&] {
        block();
        std::lock_guard lock(m);
        done = true;
        cv.notify_all();
    });
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return done; });
}

void NSRunLoop::setWaiter(std::shared_ptr<RunLoopWaiter> waiter) {
    std::lock_guard lock(waiterMutex_);
    waiter_ = waiter ? std::move(waiter) : std::make_shared<ConditionRunLoopWaiter>();
}

void NSRunLoop::wake() {
    waiter()->wake();
}

void NSRunLoop::addPerformRequest(const Ref<NSObject>& target, SEL sel, const SelectorArg& arg,
                                  double delay) {
    if (!target) return;
    const std::uint64_t id = ++lastPerformId_;
    // The block runs once: it drops its request, then performs.
    auto timer = NSTimer::timerWithTimeInterval(delay, false, [this, id, sel, arg](NSTimer&) {
        auto it = std::find_if(performs_.begin(), performs_.end(),
                               [id](const PerformRequest& r) { return r.id == id; });
        if (it == performs_.end()) return;
        Ref<NSObject> t = std::move(it->target);
        performs_.erase(it);
        t->performSelector(sel, arg);
    });
    performs_.push_back({id, target, sel, timer});
    addTimer(timer, NSDefaultRunLoopMode);
}

void NSRunLoop::cancelPerformRequests(const NSObject* target, SEL sel) {
    for (auto it = performs_.begin(); it != performs_.end();) {
        if (it->target.get() == target && (!sel || it->sel == sel)) {
            it->timer->invalidate();
            it = performs_.erase(it);
        } else {
            ++it;
        }
    }
}

std::size_t NSRunLoop::pendingPerformRequests() const {
    return performs_.size();
}
