#include "platform/appkit/NSImageCell.h"

#include <algorithm>

#include "platform/appkit/NSView.h"
#include "platform/graphics/NSImage.h"

NSImageCell::NSImageCell() {
    setType(NSImageCellType);
}

Ref<NSCell> NSImageCell::clone() const {
    return Ref<NSCell>(new NSImageCell(*this));
}

NSRect NSImageCell::rectForImage(NSSize size, NSRect bounds, NSImageScaling scaling,
                                 NSImageAlignment alignment, bool flipped) {
    if (size.width <= 0 || size.height <= 0 || NSIsEmptyRect(bounds)) return NSZeroRect;
    NSSize drawn = size;
    double fit = std::min(bounds.size.width / size.width, bounds.size.height / size.height);
    switch (scaling) {
        case NSImageScaleAxesIndependently:
            return bounds;
        case NSImageScaleProportionallyDown:
            if (fit < 1) drawn = {size.width * fit, size.height * fit};
            break;
        case NSImageScaleProportionallyUpOrDown:
            drawn = {size.width * fit, size.height * fit};
            break;
        case NSImageScaleNone:
            break;
    }
    double spareX = bounds.size.width - drawn.width, spareY = bounds.size.height - drawn.height;
    // Horizontal place: 0 left, 0.5 centre, 1 right; vertical: 0 bottom, 0.5 middle, 1 top.
    double hx = 0.5, vy = 0.5;
    switch (alignment) {
        case NSImageAlignTop:
            vy = 1;
            break;
        case NSImageAlignTopLeft:
            vy = 1;
            hx = 0;
            break;
        case NSImageAlignTopRight:
            vy = 1;
            hx = 1;
            break;
        case NSImageAlignLeft:
            hx = 0;
            break;
        case NSImageAlignBottom:
            vy = 0;
            break;
        case NSImageAlignBottomLeft:
            vy = 0;
            hx = 0;
            break;
        case NSImageAlignBottomRight:
            vy = 0;
            hx = 1;
            break;
        case NSImageAlignRight:
            hx = 1;
            break;
        case NSImageAlignCenter:
            break;
    }
    if (flipped) vy = 1 - vy;
    return NSMakeRect(bounds.origin.x + spareX * hx, bounds.origin.y + spareY * vy, drawn.width,
                      drawn.height);
}

NSRect NSImageCell::imageRectForBounds(NSRect bounds) const {
    if (!image()) return NSZeroRect;
    bool flipped = controlView() && controlView()->isFlipped();
    return rectForImage(image()->size(), drawingRectForBounds(bounds), imageScaling_,
                        imageAlignment_, flipped);
}

void NSImageCell::drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    if (!image()) return;
    NSRect rect = imageRectForBounds(cellFrame);
    if (NSIsEmptyRect(rect)) return;
    image()->drawInRect(rect, NSZeroRect, NSCompositingOperationSourceOver, 1, true);
}
