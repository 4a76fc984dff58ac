#include "controls/rowcells/ImageTextCell.h"

#include "platform/appkit/NSView.h"
#include "platform/graphics/NSAffineTransform.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/graphics/TextLayout.h"
#include "services/Palette.h"

NSRect ImageTextCell::textRectForBounds(NSRect bounds) {
    return NSMakeRect(bounds.origin.x + 49, bounds.origin.y + 14, 200, 20);
}

void ImageTextCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    if (primaryTextKeyPath_) {
        auto style =
            std::make_shared<NSMutableParagraphStyle>(*NSParagraphStyle::defaultParagraphStyle());
        style->setLineBreakMode(NSLineBreakByTruncatingTail);
        style->setAlignment(NSLeftTextAlignment);
        NSAttributes attributes;
        attributes[NSForegroundColorAttributeName] = Palette::titleWhite();
        attributes[NSFontAttributeName] = NSFont::systemFontOfSize(14);
        attributes[NSParagraphStyleAttributeName] = style;
        ns::drawInRect(*primaryTextKeyPath_, textRectForBounds(cellFrame), attributes);
    }
    drawIcon(cellFrame, controlView && controlView->isFlipped());
}

void ImageTextCell::drawIcon(NSRect cellFrame, bool flipped) const {
    Ref<NSGraphicsContext> context = NSGraphicsContext::currentContext();
    if (!context) return;
    NSGraphicsContext::saveGraphicsState();
    double y = cellFrame.origin.y;
    if (flipped) {
        // Mirror the y axis, then move down by the frame's height: the icon is drawn in
        // y-up coordinates again, so it stands upright; -y takes the place of y.
        NSAffineTransformStruct m;
        m.m22 = -1;
        m.tY = cellFrame.size.height;
        NSAffineTransform(m).concat();
        y = -y;
    }
    const NSImageInterpolation interpolation = context->imageInterpolation();
    context->setImageInterpolation(NSImageInterpolationHigh);
    if (iconImage_)
        iconImage_->drawInRect(NSMakeRect(cellFrame.origin.x + 11, y + 10, 28, 28), NSZeroRect,
                               NSCompositingOperationSourceOver, 1.0);
    context->setImageInterpolation(interpolation);
    NSGraphicsContext::restoreGraphicsState();
}

void ImageTextCell::registerClass() {
    ClassRegistry::shared().registerClass<ImageTextCell, NSTextFieldCell>("ImageTextCell");
}
