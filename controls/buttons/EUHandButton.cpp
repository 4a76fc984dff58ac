#include "controls/buttons/EUHandButton.h"

#include "platform/appkit/NSCursor.h"

Ref<NSObject> EUHandButton::handButDelegate() const {
    std::lock_guard lock(delegateMutex_);
    return handButDelegate_.lock();
}

void EUHandButton::setHandButDelegate(const Ref<NSObject>& delegate) {
    std::lock_guard lock(delegateMutex_);
    handButDelegate_ = delegate;
    // Whether the delegate answers is decided once, when it is set.
    answeringDelegate_ = std::dynamic_pointer_cast<HandButtonDelegate>(delegate);
}

void EUHandButton::viewDidMoveToWindow() {
    NSButton::viewDidMoveToWindow();
    // Moving between windows must not leave a second rectangle behind, or each entry would be
    // reported twice.
    if (trackingTag_ != 0) {
        removeTrackingRect(trackingTag_);
        trackingTag_ = 0;
    }
    if (window()) trackingTag_ = addTrackingRect(bounds(), this, nullptr, false);
}

void EUHandButton::mouseEntered(NSEvent&) {
    NSCursor::pointingHandCursor()->set();
    tellDelegate(true);
}

void EUHandButton::mouseExited(NSEvent&) {
    NSCursor::arrowCursor()->set();
    tellDelegate(false);
}

void EUHandButton::tellDelegate(bool inside) {
    Ref<HandButtonDelegate> delegate;
    {
        std::lock_guard lock(delegateMutex_);
        delegate = answeringDelegate_.lock();
    }
    if (delegate) delegate->mouseInHandButton(inside);
}

void EUHandButton::registerClass() {
    ClassRegistry::shared()
        .registerClass<EUHandButton, NSButton>("EUHandButton")
        .outlet("handButDelegate", &EUHandButton::setHandButDelegate);
}
