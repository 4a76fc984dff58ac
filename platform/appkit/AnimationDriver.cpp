#include "platform/appkit/AnimationDriver.h"

#include <algorithm>

#include "platform/appkit/NSAnimatablePropertyContainer.h"
#include "platform/appkit/NSAnimationContext.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSTimer.h"

namespace platform::detail {

namespace {

constexpr double kFrameInterval = 1.0 / 60;

/// Keeps the container alive while the driver calls into it, when a Ref owns it.
std::shared_ptr<NSObject> retain(NSAnimatablePropertyContainer* container) {
    if (auto* object = dynamic_cast<NSObject*>(container)) return object->weak_from_this().lock();
    return nullptr;
}

const Ref<CAMediaTimingFunction>& easeInEaseOut() {
    static const Ref<CAMediaTimingFunction> curve =
        CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    return curve;
}

}  // namespace

// --- Groups ---------------------------------------------------------------------------------

void AnimationGroup::animationEnded() {
    if (pending_ > 0) --pending_;
    completeIfDone();
}

void AnimationGroup::close() {
    closed_ = true;
    completeIfDone();
}

void AnimationGroup::completeIfDone() {
    if (!closed_ || pending_ > 0 || completed_) return;
    completed_ = true;
    std::function<void()> handler = std::move(completion_);
    completion_ = nullptr;
    if (handler) handler();
}

// --- Driver ---------------------------------------------------------------------------------

AnimationDriver& AnimationDriver::shared() {
    static AnimationDriver driver;
    return driver;
}

void AnimationDriver::animate(NSAnimatablePropertyContainer& container, const std::string& key,
                              double target) {
    auto keep = retain(&container);
    stop(container, key);
    NSAnimationContext& context = NSAnimationContext::currentContext();
    Ref<CAAnimation> animation = container.animationForKey(key);

    // A group's duration rules inside the group; outside, the key's animation may set one.
    double duration = context.duration();
    if (!context.isGrouping() && animation && animation->duration() > 0)
        duration = animation->duration();
    Ref<CAMediaTimingFunction> timing = animation ? animation->timingFunction() : nullptr;
    if (!timing) timing = context.timingFunction();
    if (!timing) timing = easeInEaseOut();

    double from = container.animatableValue(key);
    if (auto* basic = dynamic_cast<CABasicAnimation*>(animation.get());
        basic && basic->fromValue()) {
        from = *basic->fromValue();
        container.setAnimatableValue(key, from);
    }

    Running entry{++lastId_, &container, key,       from,           target, Clock::shared()->now(),
                  duration,  timing,     animation, context.group()};
    if (entry.group) entry.group->animationBegan();
    if (animation)
        if (auto delegate = animation->delegate()) delegate->animationDidStart(animation.get());
    if (duration <= 0) {
        end(std::move(entry), true);
        return;
    }
    running_.push_back(std::move(entry));
    scheduleTimer();
}

void AnimationDriver::stop(NSAnimatablePropertyContainer& container, const std::string& key) {
    auto it = std::find_if(running_.begin(), running_.end(), [&](const Running& r) {
        return r.container == &container && r.key == key;
    });
    if (it == running_.end()) return;
    Running entry = std::move(*it);
    running_.erase(it);
    end(std::move(entry), false);
    stopTimerIfIdle();
}

void AnimationDriver::forget(NSAnimatablePropertyContainer& container) {
    std::vector<std::shared_ptr<AnimationGroup>> groups;
    std::erase_if(running_, [&](const Running& r) {
        if (r.container != &container) return false;
        if (r.group) groups.push_back(r.group);
        return true;
    });
    // The groups hear of it on the next turn: the container is half destroyed now.
    if (!groups.empty())
        NSRunLoop::mainRunLoop().enqueueBlock([groups] {
            for (const auto& group : groups)
                group->animationEnded();
        });
    stopTimerIfIdle();
}

bool AnimationDriver::isAnimating(const NSAnimatablePropertyContainer& container,
                                  const std::string& key) const {
    return std::any_of(running_.begin(), running_.end(),
                       [&](const Running& r) { return r.container == &container && r.key == key; });
}

void AnimationDriver::end(Running entry, bool finished) {
    auto keep = retain(entry.container);
    if (finished) entry.container->setAnimatableValue(entry.key, entry.to);
    if (entry.animation)
        if (auto delegate = entry.animation->delegate())
            delegate->animationDidStop(entry.animation.get(), finished);
    if (entry.group) entry.group->animationEnded();
}

void AnimationDriver::tick() {
    const double now = Clock::shared()->now();
    std::vector<std::uint64_t> ids;
    for (const Running& r : running_)
        ids.push_back(r.id);
    for (std::uint64_t id : ids) {
        // Callbacks may start, stop or forget animations: look each one up again.
        auto it = std::find_if(running_.begin(), running_.end(),
                               [id](const Running& r) { return r.id == id; });
        if (it == running_.end()) continue;
        double t = (now - it->start) / it->duration;
        if (t >= 1) {
            Running entry = std::move(*it);
            running_.erase(it);
            end(std::move(entry), true);
            continue;
        }
        double progress = it->timing->valueAtTime(std::max(0.0, t));
        double value = it->from + (it->to - it->from) * progress;
        auto keep = retain(it->container);
        it->container->setAnimatableValue(it->key, value);
    }
    stopTimerIfIdle();
}

void AnimationDriver::scheduleTimer() {
    if (timer_) return;
    timer_ = NSTimer::timerWithTimeInterval(kFrameInterval, true,
                                            [](NSTimer&) { AnimationDriver::shared().tick(); });
    NSRunLoop::mainRunLoop().addTimer(timer_, NSRunLoopCommonModes);
}

void AnimationDriver::stopTimerIfIdle() {
    if (!running_.empty() || !timer_) return;
    timer_->invalidate();
    timer_ = nullptr;
}

}  // namespace platform::detail
