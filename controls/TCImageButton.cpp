#include "controls/TCImageButton.h"

void TCImageButton::setImageFromFileNormalName(const std::string& normal, const std::string& active,
                                               const std::string& hover,
                                               const std::string& disable) {
    normalImage_ = NSImage::imageNamed(normal);
    activeImage_ = NSImage::imageNamed(active);
    hoverImage_ = NSImage::imageNamed(hover);
    disableImage_ = NSImage::imageNamed(disable);
    NSSize size = normalImage_ ? normalImage_->size() : NSSize{};
    dstRect_ = NSMakeRect(0, 0, size.width, size.height);
    srcRect_ = dstRect_;
    setBezelStyle(NSBezelStyleTexturedRounded);
    // Without a normal image the plain button is drawn: a zero size would hide it.
    if (normalImage_)
        setFrame(NSMakeRect(frame().origin.x, frame().origin.y, size.width, size.height));
    // One rectangle over the current bounds: a stale one from an earlier call would report
    // the pointer over a button it is not over.
    if (trackingTag_ != 0) removeTrackingRect(trackingTag_);
    trackingTag_ = addTrackingRect(bounds(), this, nullptr, false);
    setNeedsDisplay(true);
}

void TCImageButton::drawRect(NSRect dirtyRect) {
    if (!normalImage_) {
        NSButton::drawRect(dirtyRect);
        return;
    }
    const Ref<NSImage>* shown = &normalImage_;
    if (!isEnabled())
        shown = &disableImage_;
    else if (isTracking_)
        shown = &activeImage_;
    else if (isFocus_)
        shown = &hoverImage_;
    if (!*shown) return;
    (*shown)->drawInRect(dstRect_, srcRect_, NSCompositingOperationSourceOver, 1.0, true, {});
}

void TCImageButton::mouseDown(NSEvent& event) {
    if (isEnabled()) {
        isTracking_ = true;
        display();
    }
    NSButton::mouseDown(event);
    isTracking_ = false;
    display();
}

void TCImageButton::mouseEntered(NSEvent&) {
    if (!isEnabled()) return;
    isFocus_ = true;
    display();
}

void TCImageButton::mouseExited(NSEvent&) {
    isFocus_ = false;
    display();
}

void TCImageButton::registerClass() {
    ClassRegistry::shared().registerClass<TCImageButton, NSButton>("TCImageButton");
}
