#pragma once
// Animation descriptions: what an animator uses for one key of a container (its duration,
// timing curve, start value) and whom it tells when the animation starts and stops.

#include <optional>
#include <string>

#include "platform/appkit/CAMediaTimingFunction.h"
#include "platform/foundation/NSObject.h"

class CAAnimation;

/// What an animation tells its delegate; both messages are optional.
class CAAnimationDelegate {
  public:
    virtual ~CAAnimationDelegate() = default;
    /// The animation began changing its property.
    virtual void animationDidStart(CAAnimation* /*animation*/) {}
    /// The animation ended: `finished` is true when it ran to its end (the property then holds
    /// the target value), false when a newer animation of the same key replaced it.
    virtual void animationDidStop(CAAnimation* /*animation*/, bool /*finished*/) {}
};

class CAAnimation : public NSObject {
  public:
    /// A new animation with the defaults: duration 0 (the context's), no curve, no delegate.
    static Ref<CAAnimation> animation() { return std::make_shared<CAAnimation>(); }

    /// Seconds; 0 (the default) takes the duration of the current animation context.
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds > 0 ? seconds : 0; }
    /// The curve; nullptr takes the context's (ease-in-ease-out unless it sets one).
    const Ref<CAMediaTimingFunction>& timingFunction() const { return timing_; }
    void setTimingFunction(Ref<CAMediaTimingFunction> timing) { timing_ = std::move(timing); }
    /// The delegate (not retained), or nullptr.
    std::shared_ptr<CAAnimationDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CAAnimationDelegate>& delegate) { delegate_ = delegate; }

  private:
    double duration_ = 0;
    Ref<CAMediaTimingFunction> timing_;
    WeakRef<CAAnimationDelegate> delegate_;
};

/// An animation of one property between two values.
class CABasicAnimation : public CAAnimation {
  public:
    static Ref<CABasicAnimation> animation() { return std::make_shared<CABasicAnimation>(); }
    /// An animation of the property named `keyPath` ("alphaValue").
    static Ref<CABasicAnimation> animationWithKeyPath(std::string keyPath);

    const std::string& keyPath() const { return keyPath_; }
    void setKeyPath(std::string keyPath) { keyPath_ = std::move(keyPath); }
    /// Where the animation starts; nullopt starts from the property's current value.
    const std::optional<double>& fromValue() const { return fromValue_; }
    void setFromValue(std::optional<double> value) { fromValue_ = value; }
    /// Where an animation added on its own would end; an animator always ends at the value it
    /// was given, so it ignores this.
    const std::optional<double>& toValue() const { return toValue_; }
    void setToValue(std::optional<double> value) { toValue_ = value; }

  private:
    std::string keyPath_;
    std::optional<double> fromValue_;
    std::optional<double> toValue_;
};
