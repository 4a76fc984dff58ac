#include "controls/rowcells/ImageStripTextCell.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSView.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/TextLayout.h"

namespace {

/// `rect` less a slice of `width` at its left edge (nothing left when it is narrower).
NSRect withoutLeftSlice(NSRect rect, double width) {
    const double cut = std::min(std::max(width, 0.0), rect.size.width);
    return NSMakeRect(rect.origin.x + cut, rect.origin.y, rect.size.width - cut, rect.size.height);
}

/// The slice of `width` at the left edge of `rect`.
NSRect leftSlice(NSRect rect, double width) {
    const double cut = std::min(std::max(width, 0.0), rect.size.width);
    return NSMakeRect(rect.origin.x, rect.origin.y, cut, rect.size.height);
}

}  // namespace

NSRect ImageStripTextCell::imageFrameForCellFrame(NSRect cellFrame) const {
    if (!image()) return NSZeroRect;
    NSSize size = image()->size();
    return NSMakeRect(cellFrame.origin.x + 3,
                      cellFrame.origin.y + std::ceil((cellFrame.size.height - size.height) / 2),
                      size.width, size.height);
}

NSRect ImageStripTextCell::drawnImageFrameForCellFrame(NSRect cellFrame, bool flipped) const {
    const double side = imageSide_;
    // The same distance from the top edge either way: y grows downwards in flipped views and
    // upwards in the others.
    const double fromTop = std::ceil((cellFrame.size.height - side) / 2);
    const double y = flipped ? cellFrame.origin.y + fromTop : NSMaxY(cellFrame) - fromTop - side;
    return NSMakeRect(cellFrame.origin.x + 3, y, side, side);
}

void ImageStripTextCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (!image()) {
        NSTextFieldCell::drawWithFrame(cellFrame, controlView);
        return;
    }
    if (controlView) setControlView(controlView);
    const NSRect strip = leftSlice(cellFrame, stripWidth_);
    const NSRect rest = withoutLeftSlice(cellFrame, stripWidth_);
    if (drawsBackground()) {
        backgroundColor()->setFill();
        NSBezierPath::fillRect(strip);
    }
    const bool flipped = controlView && controlView->isFlipped();
    image()->drawInRect(drawnImageFrameForCellFrame(strip, flipped), NSZeroRect,
                        NSCompositingOperationSourceOver, 1.0, true, {});
    NSTextFieldCell::drawWithFrame(rest, controlView);
}

void ImageStripTextCell::drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    drawText(attributedStringValue(), titleRectForBounds(cellFrame));
}

double ImageStripTextCell::editingInset() const {
    return (image() ? image()->size().width : 0) + 3;
}

void ImageStripTextCell::editWithFrame(NSRect rect, NSView* controlView, NSTextView* editor,
                                       NSObject* delegate, NSEvent* event) {
    NSTextFieldCell::editWithFrame(withoutLeftSlice(rect, editingInset()), controlView, editor,
                                   delegate, event);
}

void ImageStripTextCell::selectWithFrame(NSRect rect, NSView* controlView, NSTextView* editor,
                                         NSObject* delegate, long start, long length) {
    NSTextFieldCell::selectWithFrame(withoutLeftSlice(rect, editingInset()), controlView, editor,
                                     delegate, start, length);
}

NSSize ImageStripTextCell::cellSize() const {
    NSSize size = NSTextFieldCell::cellSize();
    size.width += editingInset();
    return size;
}

NSRect ImageStripTextCell::titleRectForBounds(NSRect bounds) const {
    NSRect r = NSTextFieldCell::titleRectForBounds(bounds);
    const double textHeight = ns::size(*attributedStringValue()).height;
    r.origin.y = bounds.origin.y - 0.5 + (bounds.size.height - textHeight) / 2;
    return r;
}
