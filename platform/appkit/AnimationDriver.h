#pragma once
// The animations that animators started: one shared ~60 Hz timer (in the common modes, so
// animations run during modal and tracking loops too) that moves each animated property from
// its start value to its target, and stops when nothing is animating.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/CAAnimation.h"

class NSAnimatablePropertyContainer;
class NSTimer;

namespace platform::detail {

/// The animations of one NSAnimationContext group, counted until they have all ended.
class AnimationGroup {
  public:
    /// One more animation of the group is running.
    void animationBegan() { ++pending_; }
    /// One animation ended; the handler runs when it was the last and the group is closed.
    void animationEnded();
    /// The group was closed; the handler runs now when nothing of it is running.
    void close();
    void setCompletionHandler(std::function<void()> handler) { completion_ = std::move(handler); }

  private:
    void completeIfDone();

    int pending_ = 0;
    bool closed_ = false;
    bool completed_ = false;
    std::function<void()> completion_;
};

class AnimationDriver {
  public:
    /// The driver of the main thread.
    static AnimationDriver& shared();

    /// Animates `key` of `container` to `target` as the current animation context and the
    /// container's animation for the key say, replacing a running animation of that key.
    void animate(NSAnimatablePropertyContainer& container, const std::string& key, double target);
    /// Stops the running animation of `key` (the property keeps its value; the delegate hears
    /// finished=false); does nothing when none runs.
    void stop(NSAnimatablePropertyContainer& container, const std::string& key);
    /// Forgets every animation of a container that is going away, telling no one but the groups.
    void forget(NSAnimatablePropertyContainer& container);

    /// Whether `key` of `container` is animating.
    bool isAnimating(const NSAnimatablePropertyContainer& container, const std::string& key) const;
    /// The number of running animations.
    std::size_t activeCount() const { return running_.size(); }
    /// Whether the driver's timer is scheduled.
    bool timerScheduled() const { return timer_ != nullptr; }

  private:
    struct Running {
        std::uint64_t id;
        NSAnimatablePropertyContainer* container;
        std::string key;
        double from;
        double to;
        double start;
        double duration;
        Ref<CAMediaTimingFunction> timing;
        Ref<CAAnimation> animation;
        std::shared_ptr<AnimationGroup> group;
    };
    void tick();
    /// Sets the final value, tells the delegate and the group.
    void end(Running entry, bool finished);
    void scheduleTimer();
    void stopTimerIfIdle();

    std::vector<Running> running_;
    std::uint64_t lastId_ = 0;
    Ref<NSTimer> timer_;
};

}  // namespace platform::detail
