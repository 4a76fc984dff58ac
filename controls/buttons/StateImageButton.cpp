#include "controls/buttons/StateImageButton.h"

void StateImageButton::loadStateImages(const std::string& normal, const std::string& active,
                                       const std::string& hover, const std::string& disable) {
    normalImage_ = NSImage::imageNamed(normal);
    activeImage_ = NSImage::imageNamed(active);
    hoverImage_ = NSImage::imageNamed(hover);
    disableImage_ = NSImage::imageNamed(disable);
    setBezelStyle(NSBezelStyleTexturedRounded);
}

void StateImageButton::setImageRect(NSRect rect) {
    dstRect_ = rect;
    srcRect_ = rect;
}

void StateImageButton::trackBounds() {
    if (trackingTag_ != 0) removeTrackingRect(trackingTag_);
    trackingTag_ = addTrackingRect(bounds(), this, nullptr, false);
    setNeedsDisplay(true);
}

void StateImageButton::mouseDown(NSEvent& event) {
    if (!takesPress()) return;
    if (isEnabled()) {
        isTracking_ = true;
        display();
    }
    NSButton::mouseDown(event);
    isTracking_ = false;
    display();
}

void StateImageButton::mouseEntered(NSEvent&) {
    if (!isEnabled()) return;
    isFocus_ = true;
    display();
}

void StateImageButton::mouseExited(NSEvent&) {
    isFocus_ = false;
    display();
}
