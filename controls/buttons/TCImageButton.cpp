#include "controls/buttons/TCImageButton.h"

void TCImageButton::setImageFromFileNormalName(const std::string& normal, const std::string& active,
                                               const std::string& hover,
                                               const std::string& disable) {
    loadStateImages(normal, active, hover, disable);
    const Ref<NSImage>& image = normalImage();
    NSSize size = image ? image->size() : NSSize{};
    setImageRect(NSMakeRect(0, 0, size.width, size.height));
    // Without a normal image the plain button is drawn: a zero size would hide it.
    if (image) setFrame(NSMakeRect(frame().origin.x, frame().origin.y, size.width, size.height));
    trackBounds();
}

void TCImageButton::drawRect(NSRect dirtyRect) {
    if (!normalImage()) {
        NSButton::drawRect(dirtyRect);
        return;
    }
    const Ref<NSImage>* shown = &normalImage();
    if (!isEnabled())
        shown = &disableImage();
    else if (isTracking())
        shown = &activeImage();
    else if (isFocus())
        shown = &hoverImage();
    if (!*shown) return;
    (*shown)->drawInRect(dstRect(), srcRect(), NSCompositingOperationSourceOver, 1.0, true, {});
}

void TCImageButton::registerClass() {
    ClassRegistry::shared().registerClass<TCImageButton, NSButton>("TCImageButton");
}
