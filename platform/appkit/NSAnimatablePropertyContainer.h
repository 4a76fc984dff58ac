#pragma once
// What windows and views share for animation: the animations used for their keys, and an
// animator that changes properties gradually (over the current NSAnimationContext group's
// duration, else the key's animation's, else 0.25 s) on a timer that runs only while
// something animates. Subclasses read and write their animatable properties by key.

#include <map>
#include <memory>
#include <string>

#include "platform/appkit/CAAnimation.h"
#include "platform/appkit/NSAnimatorProxy.h"

class NSAnimatablePropertyContainer {
  public:
    NSAnimatablePropertyContainer();
    /// Forgets the running animations of this object (their delegates are not told).
    virtual ~NSAnimatablePropertyContainer();
    NSAnimatablePropertyContainer(const NSAnimatablePropertyContainer&) = delete;
    NSAnimatablePropertyContainer& operator=(const NSAnimatablePropertyContainer&) = delete;

    /// The proxy whose setters animate this object's properties.
    NSAnimatorProxy* animator() { return &animator_; }

    /// The animations used for keys, by key ("alphaValue" -> a CABasicAnimation whose
    /// duration, curve, start value and delegate the animator honours).
    const std::map<std::string, Ref<CAAnimation>>& animations() const { return animations_; }
    void setAnimations(std::map<std::string, Ref<CAAnimation>> animations);
    /// The animation set for `key`, or nullptr (the animator then uses the context alone).
    Ref<CAAnimation> animationForKey(const std::string& key) const;
    /// Whether an animation of `key` is running.
    bool isAnimatingKey(const std::string& key) const;
    /// Stops a running animation of `key` where it is (its delegate hears finished=false).
    void stopAnimationForKey(const std::string& key);

    /// The current value of the animatable property `key`.
    virtual double animatableValue(const std::string& key) const = 0;
    /// Sets the animatable property `key` at once (the animator calls it on every step).
    virtual void setAnimatableValue(const std::string& key, double value) = 0;

  private:
    NSAnimatorProxy animator_;
    std::map<std::string, Ref<CAAnimation>> animations_;
};

namespace platform {
/// The number of animations running in the process (tests check that none is left).
std::size_t activeAnimationCount();
/// Whether the animation timer is scheduled (it must not be once nothing animates).
bool animationTimerIsScheduled();
}  // namespace platform
