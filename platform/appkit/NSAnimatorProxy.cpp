#include "platform/appkit/NSAnimatorProxy.h"

#include "platform/appkit/AnimationDriver.h"

void NSAnimatorProxy::setValue(const std::string& key, double value) {
    platform::detail::AnimationDriver::shared().animate(owner_, key, value);
}
