#include "controls/rowcells/RSVerticallyCenteredTextFieldCell.h"

NSRect RSVerticallyCenteredTextFieldCell::drawingRectForBounds(NSRect bounds) const {
    NSRect r = NSTextFieldCell::drawingRectForBounds(bounds);
    if (mIsEditingOrSelecting || measuring_) return r;
    measuring_ = true;
    const double textHeight = cellSizeForBounds(bounds).height;
    measuring_ = false;
    const float spare = static_cast<float>(r.size.height - textHeight);
    if (spare > 0) {
        r.size.height -= spare;
        r.origin.y += spare / 2;
    }
    return r;
}

void RSVerticallyCenteredTextFieldCell::editWithFrame(NSRect rect, NSView* controlView,
                                                      NSTextView* editor, NSObject* delegate,
                                                      NSEvent* event) {
    const NSRect centred = drawingRectForBounds(rect);
    mIsEditingOrSelecting = true;
    NSTextFieldCell::editWithFrame(centred, controlView, editor, delegate, event);
    mIsEditingOrSelecting = false;
}

void RSVerticallyCenteredTextFieldCell::selectWithFrame(NSRect rect, NSView* controlView,
                                                        NSTextView* editor, NSObject* delegate,
                                                        long start, long length) {
    const NSRect centred = drawingRectForBounds(rect);
    mIsEditingOrSelecting = true;
    NSTextFieldCell::selectWithFrame(centred, controlView, editor, delegate, start, length);
    mIsEditingOrSelecting = false;
}

void RSVerticallyCenteredTextFieldCell::registerClass() {
    ClassRegistry::shared().registerClass<RSVerticallyCenteredTextFieldCell, NSTextFieldCell>(
        "RSVerticallyCenteredTextFieldCell");
}
