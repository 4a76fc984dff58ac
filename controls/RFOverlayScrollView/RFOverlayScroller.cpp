#include "controls/RFOverlayScrollView/RFOverlayScroller.h"

#include <typeinfo>

#include "platform/appkit/NSAnimationContext.h"

namespace {

const SEL& fadeOutSelector() {
    static const SEL sel("fadeOut");
    return sel;
}

constexpr NSTrackingAreaOptions kOverlayTrackingOptions =
    NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved | NSTrackingActiveInActiveApp;

/// Animates `scroller` to full opacity in a group of `seconds`.
void animateOpaque(RFOverlayScroller& scroller, double seconds) {
    NSAnimationContext::runAnimationGroup(
        [&](NSAnimationContext& context) {
            context.setDuration(seconds);
            scroller.animator()->setAlphaValue(1.0);
        },
        [] {});
}

}  // namespace

RFOverlayScroller::~RFOverlayScroller() = default;

void RFOverlayScroller::initWithFrame(NSRect frame) {
    NSScroller::initWithFrame(frame);
    commonInitializer();
}

void RFOverlayScroller::awakeFromNib() {
    NSScroller::awakeFromNib();
    commonInitializer();
}

void RFOverlayScroller::commonInitializer() {
    if (trackingArea_) removeTrackingArea(trackingArea_);
    auto owner = std::dynamic_pointer_cast<NSResponder>(weak_from_this().lock());
    trackingArea_ = NSTrackingArea::make(bounds(), kOverlayTrackingOptions, owner);
    if (!owner) trackingArea_->setRawOwner(this);
    addTrackingArea(trackingArea_);
}

void RFOverlayScroller::drawRect(NSRect) {
    drawKnob();
}

void RFOverlayScroller::drawKnobSlotInRect(NSRect, bool) {}

void RFOverlayScroller::setFloatValue(float value) {
    NSScroller::setFloatValue(value);
    animator()->setAlphaValue(1.0);
    cancelFade();
    // A delayed perform retains its target: a scroller that no Ref owns cannot be scheduled.
    if (!weak_from_this().expired()) performSelectorAfterDelay(fadeOutSelector(), {}, 1.5);
}

void RFOverlayScroller::mouseEntered(NSEvent& event) {
    NSScroller::mouseEntered(event);
    animateOpaque(*this, 0.1);
    cancelFade();
}

void RFOverlayScroller::mouseExited(NSEvent& event) {
    NSScroller::mouseExited(event);
    fadeOut();
}

void RFOverlayScroller::mouseMoved(NSEvent& event) {
    NSScroller::mouseMoved(event);
    setAlphaValue(1.0);
}

void RFOverlayScroller::fadeOut() {
    animateOpaque(*this, 0.3);
}

bool RFOverlayScroller::isCompatibleWithOverlayScrollers() const {
    return typeid(*this) == typeid(RFOverlayScroller);
}

void RFOverlayScroller::cancelFade() {
    NSObject::cancelPreviousPerformRequestsWithTarget(this, fadeOutSelector());
}

void RFOverlayScroller::registerClass() {
    ClassRegistry::shared()
        .registerClass<RFOverlayScroller, NSScroller>("RFOverlayScroller")
        .method("fadeOut", &RFOverlayScroller::fadeOut);
}
