#include "platform/appkit/NSAnimatablePropertyContainer.h"

#include "platform/appkit/AnimationDriver.h"

using platform::detail::AnimationDriver;

NSAnimatablePropertyContainer::NSAnimatablePropertyContainer() : animator_(*this) {}

NSAnimatablePropertyContainer::~NSAnimatablePropertyContainer() {
    AnimationDriver::shared().forget(*this);
}

void NSAnimatablePropertyContainer::setAnimations(
    std::map<std::string, Ref<CAAnimation>> animations) {
    animations_ = std::move(animations);
}

Ref<CAAnimation> NSAnimatablePropertyContainer::animationForKey(const std::string& key) const {
    auto it = animations_.find(key);
    return it == animations_.end() ? nullptr : it->second;
}

bool NSAnimatablePropertyContainer::isAnimatingKey(const std::string& key) const {
    return AnimationDriver::shared().isAnimating(*this, key);
}

void NSAnimatablePropertyContainer::stopAnimationForKey(const std::string& key) {
    AnimationDriver::shared().stop(*this, key);
}

namespace platform {

std::size_t activeAnimationCount() {
    return AnimationDriver::shared().activeCount();
}

bool animationTimerIsScheduled() {
    return AnimationDriver::shared().timerScheduled();
}

}  // namespace platform
