#include "platform/appkit/CAAnimation.h"

Ref<CABasicAnimation> CABasicAnimation::animationWithKeyPath(std::string keyPath) {
    auto animation = std::make_shared<CABasicAnimation>();
    animation->keyPath_ = std::move(keyPath);
    return animation;
}
