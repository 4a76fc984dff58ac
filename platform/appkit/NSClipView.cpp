#include "platform/appkit/NSClipView.h"

#include <algorithm>

#include "platform/appkit/NSScrollView.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"

const NSNotificationName NSViewBoundsDidChangeNotification = "NSViewBoundsDidChangeNotification";

NSClipView::NSClipView() : background_(NSColor::controlBackgroundColor()) {}

NSClipView::~NSClipView() = default;

void NSClipView::setDocumentView(const Ref<NSView>& view) {
    if (view == document_) return;
    if (document_) document_->removeFromSuperview();
    document_ = view;
    if (view) addSubview(view);
    NSRect doc = documentRect();
    // A flipped document starts at its top (its lowest y); any other at its top too, which is
    // its highest y.
    NSPoint start = doc.origin;
    if (view && !isFlipped()) start.y = NSMaxY(doc) - bounds().size.height;
    moveBoundsOrigin(constrainScrollPoint(start));
    tellScrollView();
}

NSRect NSClipView::documentRect() const {
    return document_ ? document_->frame() : NSZeroRect;
}

NSRect NSClipView::documentVisibleRect() const {
    if (!document_) return NSZeroRect;
    NSRect visible = NSIntersectionRect(bounds(), documentRect());
    return document_->convertRect(visible, this);
}

NSPoint NSClipView::constrainScrollPoint(NSPoint point) const {
    NSRect doc = documentRect();
    NSSize size = bounds().size;
    auto clampAxis = [](double v, double lo, double span, double length) {
        // A document shorter than the view stays at its start.
        double hi = lo + std::max(0.0, span - length);
        return std::clamp(v, lo, hi);
    };
    if (!document_) return NSZeroPoint;
    return NSMakePoint(clampAxis(point.x, doc.origin.x, doc.size.width, size.width),
                       clampAxis(point.y, doc.origin.y, doc.size.height, size.height));
}

void NSClipView::scrollToPoint(NSPoint point) {
    moveBoundsOrigin(constrainScrollPoint(point));
    tellScrollView();
}

bool NSClipView::scrollRectToVisible(NSRect rect) {
    if (!document_) return false;
    rect = convertRect(rect, document_.get());
    NSRect b = bounds();
    NSPoint origin = b.origin;
    auto axis = [](double& o, double visibleLength, double lo, double length) {
        // Show the rect's start when it does not fit; otherwise scroll the least.
        if (lo < o || length > visibleLength)
            o = lo;
        else if (lo + length > o + visibleLength)
            o = lo + length - visibleLength;
    };
    axis(origin.x, b.size.width, rect.origin.x, rect.size.width);
    axis(origin.y, b.size.height, rect.origin.y, rect.size.height);
    origin = constrainScrollPoint(origin);
    if (origin == b.origin) return false;
    scrollToPoint(origin);
    return true;
}

void NSClipView::moveBoundsOrigin(NSPoint origin) {
    if (origin == bounds().origin) return;
    setBoundsOrigin(origin);
    if (postsBoundsChanged_)
        NSNotificationCenter::defaultCenter().postNotificationName(
            NSViewBoundsDidChangeNotification, this);
}

void NSClipView::tellScrollView() {
    if (auto* scrollView = dynamic_cast<NSScrollView*>(superview()))
        scrollView->reflectScrolledClipView(this);
}

void NSClipView::setDrawsBackground(bool draws) {
    if (draws == drawsBackground_) return;
    drawsBackground_ = draws;
    setNeedsDisplay(true);
}

void NSClipView::setBackgroundColor(const Ref<NSColor>& color) {
    background_ = color ? color : NSColor::controlBackgroundColor();
    setNeedsDisplay(true);
}

bool NSClipView::isFlipped() const {
    return document_ && document_->isFlipped();
}

bool NSClipView::isOpaque() const {
    return drawsBackground_ && background_->alphaComponent() >= 1;
}

void NSClipView::drawRect(NSRect dirtyRect) {
    if (!drawsBackground_) return;
    background_->setFill();
    NSBezierPath::fillRect(dirtyRect);
}

void NSClipView::setFrameSize(NSSize size) {
    if (size == frame().size) return;
    // Keep the document's top in place for unflipped documents, as a flipped one does.
    NSPoint origin = bounds().origin;
    if (document_ && !isFlipped()) origin.y += frame().size.height - size.height;
    NSView::setFrameSize(size);
    moveBoundsOrigin(constrainScrollPoint(origin));
}

void NSClipView::subviewFrameDidChange(NSView* subview) {
    if (!document_ || subview != document_.get()) return;
    moveBoundsOrigin(constrainScrollPoint(bounds().origin));
    tellScrollView();
}

void NSClipView::willRemoveSubview(NSView* subview) {
    if (document_ && subview == document_.get()) {
        // Removing the document from elsewhere leaves the clip view empty, not dangling.
        Ref<NSView> keep = document_;
        document_ = nullptr;
    }
}
