#pragma once
// Animation groups: the duration and curve that animator changes made inside a group use, and
// a completion handler that runs once every animation begun in the group has ended.
//
//   NSAnimationContext::runAnimationGroup(
//       [&](NSAnimationContext& context) {
//           context.setDuration(0.3);
//           view->animator()->setAlphaValue(0);
//       },
//       [] { /* every animation of the group ended */ });

#include <functional>
#include <memory>

#include "platform/appkit/CAMediaTimingFunction.h"

namespace platform::detail {
class AnimationGroup;
}

class NSAnimationContext {
  public:
    /// The context of the innermost open group, or the application's default context (whose
    /// duration animator changes outside any group use).
    static NSAnimationContext& currentContext();
    /// Opens a group with the default duration (0.25 s) and curve.
    static void beginGrouping();
    /// Closes the innermost group; its completion handler runs now when none of its animations
    /// is running, else when the last one ends. Does nothing when no group is open.
    static void endGrouping();
    /// Runs `changes` inside a new group, then closes it; `completionHandler` (optional) runs
    /// once every animation begun in the group has ended, finished or replaced.
    static void runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes,
                                  std::function<void()> completionHandler = nullptr);

    NSAnimationContext();

    /// Seconds that animations begun in this context take (0.25 by default; 0 sets at once).
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds > 0 ? seconds : 0; }
    /// The curve; nullptr means ease-in-ease-out.
    const Ref<CAMediaTimingFunction>& timingFunction() const { return timing_; }
    void setTimingFunction(Ref<CAMediaTimingFunction> timing) { timing_ = std::move(timing); }
    /// The handler of this group (replacing runAnimationGroup's); ignored outside a group.
    void setCompletionHandler(std::function<void()> handler);
    /// Whether this is an open group rather than the default context.
    bool isGrouping() const { return group_ != nullptr; }

    /// Platform-internal: the group that animations begun now belong to (nullptr outside).
    const std::shared_ptr<platform::detail::AnimationGroup>& group() const { return group_; }

  private:
    double duration_ = 0.25;
    Ref<CAMediaTimingFunction> timing_;
    std::shared_ptr<platform::detail::AnimationGroup> group_;
};
