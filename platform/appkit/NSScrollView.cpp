#include "platform/appkit/NSScrollView.h"

#include <algorithm>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSScrollViewHeaderSource.h"
#include "platform/appkit/theme/ScrollerTheme.h"
#include "platform/graphics/NSColor.h"

NSScrollView::NSScrollView() : clip_(NSClipView::make()) {
    addSubview(clip_);
}

NSScrollView::~NSScrollView() {
    for (NSScroller* s : {vertical_.get(), horizontal_.get()})
        if (s) s->setOwningScrollView(nullptr);
}

void NSScrollView::initWithFrame(NSRect frame) {
    NSView::initWithFrame(frame);
    tile();
}

// --- Document and clip view -----------------------------------------------------------------

NSView* NSScrollView::documentView() const {
    return clip_->documentView().get();
}

void NSScrollView::setDocumentView(const Ref<NSView>& view) {
    clip_->setDocumentView(view);
    tile();
}

void NSScrollView::setContentView(const Ref<NSClipView>& clip) {
    if (!clip || clip == clip_) return;
    Ref<NSClipView> old = clip_;
    clip_ = clip;
    addSubview(clip, NSWindowBelow, nullptr);
    old->removeFromSuperview();
    tile();
}

NSSize NSScrollView::contentSize() const {
    return clip_->frame().size;
}

NSRect NSScrollView::documentVisibleRect() const {
    return clip_->documentVisibleRect();
}

// --- Scrollers ------------------------------------------------------------------------------

void NSScrollView::adoptScroller(const Ref<NSScroller>& scroller, Ref<NSScroller>& slot) {
    if (scroller == slot) return;
    if (slot) {
        slot->setOwningScrollView(nullptr);
        slot->removeFromSuperview();
    }
    slot = scroller;
    if (!scroller) return;
    scroller->setOwningScrollView(this);
    scroller->setScrollerStyle(style_);
    addSubview(scroller);  // above the clip view
}

void NSScrollView::setHasVerticalScroller(bool has) {
    if (has == hasVertical_) return;
    hasVertical_ = has;
    if (has && !vertical_) adoptScroller(NSScroller::make(NSMakeRect(0, 0, 15, 100)), vertical_);
    tile();
}

void NSScrollView::setHasHorizontalScroller(bool has) {
    if (has == hasHorizontal_) return;
    hasHorizontal_ = has;
    if (has && !horizontal_)
        adoptScroller(NSScroller::make(NSMakeRect(0, 0, 100, 15)), horizontal_);
    tile();
}

void NSScrollView::setVerticalScroller(const Ref<NSScroller>& scroller) {
    adoptScroller(scroller, vertical_);
    tile();
}

void NSScrollView::setHorizontalScroller(const Ref<NSScroller>& scroller) {
    adoptScroller(scroller, horizontal_);
    tile();
}

void NSScrollView::setAutohidesScrollers(bool autohides) {
    if (autohides == autohides_) return;
    autohides_ = autohides;
    tile();
}

void NSScrollView::setScrollerStyle(NSScrollerStyle style) {
    style_ = style;
    for (NSScroller* s : {vertical_.get(), horizontal_.get()})
        if (s) s->setScrollerStyle(style);
    tile();
}

void NSScrollView::setBorderType(NSBorderType type) {
    if (type == border_) return;
    border_ = type;
    tile();
    setNeedsDisplay(true);
}

bool NSScrollView::drawsBackground() const {
    return clip_->drawsBackground();
}

void NSScrollView::setDrawsBackground(bool draws) {
    clip_->setDrawsBackground(draws);
}

Ref<NSColor> NSScrollView::backgroundColor() const {
    return clip_->backgroundColor();
}

void NSScrollView::setBackgroundColor(const Ref<NSColor>& color) {
    clip_->setBackgroundColor(color);
}

void NSScrollView::setLineScroll(double amount) {
    verticalLine_ = horizontalLine_ = amount;
}

void NSScrollView::setPageScroll(double amount) {
    verticalPage_ = horizontalPage_ = amount;
}

// --- Layout ---------------------------------------------------------------------------------

namespace {

double widthOf(const Ref<NSScroller>& scroller, NSScrollerStyle style) {
    NSControlSize size = scroller ? scroller->controlSize() : NSControlSizeRegular;
    return NSScroller::scrollerWidthForControlSize(size, style);
}

}  // namespace

bool NSScrollView::scrollerWanted(bool vertical, NSSize clipSize) const {
    if (!(vertical ? hasVertical_ && vertical_ : hasHorizontal_ && horizontal_)) return false;
    if (!autohides_) return true;
    NSSize doc = clip_->documentRect().size;
    return vertical ? doc.height > clipSize.height : doc.width > clipSize.width;
}

NSRect NSScrollView::layout(bool showVertical, bool showHorizontal) {
    const NSRect inner = contentArea();
    const double sw = showVertical ? widthOf(vertical_, style_) : 0;
    const double sh = showHorizontal ? widthOf(horizontal_, style_) : 0;
    const bool legacy = style_ == NSScrollerStyleLegacy;
    NSRect clip = inner;
    if (legacy) {
        clip.size.width = std::max(0.0, clip.size.width - sw);
        clip.size.height = std::max(0.0, clip.size.height - sh);
    }
    if (vertical_) {
        vertical_->setHidden(!showVertical);
        if (showVertical)
            vertical_->setFrame(NSMakeRect(NSMaxX(inner) - sw, inner.origin.y, sw,
                                           std::max(0.0, inner.size.height - sh)));
    }
    if (horizontal_) {
        horizontal_->setHidden(!showHorizontal);
        if (showHorizontal)
            horizontal_->setFrame(NSMakeRect(inner.origin.x, NSMaxY(inner) - sh,
                                             std::max(0.0, inner.size.width - sw), sh));
    }
    if (headerClip_) {
        const double header =
            NSMinY(inner) - NSMinY(bounds()) - platform::theme::scrollViewBorderWidth(border_);
        headerClip_->setFrame(
            NSMakeRect(clip.origin.x, inner.origin.y - header, clip.size.width, header));
    }
    return clip;
}

NSRect NSScrollView::contentArea() const {
    const double bw = platform::theme::scrollViewBorderWidth(border_);
    NSRect inner = NSInsetRect(bounds(), bw, bw);
    const double header = std::min(headerHeight_, std::max(0.0, inner.size.height));
    inner.origin.y += header;
    inner.size.height -= header;
    return inner;
}

double NSScrollView::adoptHeader() {
    NSView* doc = documentView();
    auto* source = dynamic_cast<NSScrollViewHeaderSource*>(doc);
    NSView* header = source ? source->scrollViewHeaderView() : nullptr;
    if (!header) {
        if (headerClip_) {
            headerClip_->removeFromSuperview();
            headerClip_ = nullptr;
        }
        return 0;
    }
    if (!headerClip_) {
        headerClip_ = NSClipView::make();
        headerClip_->setDrawsBackground(false);
        addSubview(headerClip_, NSWindowAbove, clip_.get());
    }
    if (headerClip_->documentView().get() != header)
        headerClip_->setDocumentView(std::static_pointer_cast<NSView>(header->shared_from_this()));
    return std::max(0.0, header->frame().size.height);
}

std::pair<bool, bool> NSScrollView::wantedScrollers() const {
    const NSSize inner = contentArea().size;
    const bool legacy = style_ == NSScrollerStyleLegacy;
    // Legacy scrollers take room, so one that shows can make the other one needed.
    bool showV = scrollerWanted(true, inner);
    NSSize room = inner;
    if (legacy && showV) room.width -= widthOf(vertical_, style_);
    bool showH = scrollerWanted(false, room);
    if (legacy && showH && !showV) {
        room = inner;
        room.height -= widthOf(horizontal_, style_);
        showV = scrollerWanted(true, room);
    }
    return {showV, showH};
}

void NSScrollView::tile() {
    if (tiling_) return;
    tiling_ = true;
    headerHeight_ = adoptHeader();
    auto [showV, showH] = wantedScrollers();
    clip_->setFrame(layout(showV, showH));
    tiling_ = false;
    reflectScrolledClipView(clip_.get());
}

void NSScrollView::setFrameSize(NSSize size) {
    if (size == frame().size) return;
    NSView::setFrameSize(size);
    tile();
}

void NSScrollView::reflectScrolledClipView(NSClipView* clip) {
    if (tiling_) return;
    if (clip && clip == headerClip_.get()) {
        // A header that changed height takes its new room.
        if (adoptHeader() != headerHeight_) tile();
        return;
    }
    if (clip != clip_.get()) return;
    const NSRect doc = clip_->documentRect();
    const NSRect b = clip_->bounds();
    auto report = [](NSScroller* scroller, double docLength, double visibleLength, double offset) {
        if (!scroller) return;
        double range = docLength - visibleLength;
        scroller->setKnobProportion(docLength > 0 ? visibleLength / docLength : 1);
        scroller->setFloatValue(static_cast<float>(range > 0 ? offset / range : 0));
    };
    const double fromTop = clip_->isFlipped() ? b.origin.y - doc.origin.y : NSMaxY(doc) - NSMaxY(b);
    report(vertical_.get(), doc.size.height, b.size.height, fromTop);
    report(horizontal_.get(), doc.size.width, b.size.width, b.origin.x - doc.origin.x);
    // The header follows the document sideways.
    if (headerClip_)
        headerClip_->scrollToPoint(NSMakePoint(b.origin.x, headerClip_->bounds().origin.y));
    if (!autohides_) return;
    // Autohiding scrollers follow the document's size.
    const bool vShown = vertical_ && !vertical_->isHidden();
    const bool hShown = horizontal_ && !horizontal_->isHidden();
    if (wantedScrollers() != std::make_pair(vShown, hShown)) tile();
}

// --- Scrolling ------------------------------------------------------------------------------

void NSScrollView::scrollWheel(NSEvent& event) {
    const NSRect doc = clip_->documentRect();
    const NSRect b = clip_->bounds();
    const bool canV = doc.size.height > b.size.height;
    const bool canH = doc.size.width > b.size.width;
    if (!clip_->documentView() || (!canV && !canH)) {
        NSView::scrollWheel(event);
        return;
    }
    NSPoint origin = b.origin;
    const double dy = event.deltaY() * verticalLine_;
    origin.y += clip_->isFlipped() ? -dy : dy;
    origin.x -= event.deltaX() * horizontalLine_;
    clip_->scrollToPoint(origin);
}

void NSScrollView::scrollerDidScroll(NSScroller& scroller) {
    const bool vertical = &scroller == vertical_.get();
    if (!vertical && &scroller != horizontal_.get()) return;
    const NSRect doc = clip_->documentRect();
    const NSRect b = clip_->bounds();
    NSPoint origin = b.origin;
    const bool flipped = clip_->isFlipped();
    const NSScrollerPart part = scroller.hitPart();
    if (part == NSScrollerKnob) {
        const double v = scroller.doubleValue();
        if (vertical) {
            double fromTop = v * std::max(0.0, doc.size.height - b.size.height);
            origin.y = flipped ? doc.origin.y + fromTop : NSMaxY(doc) - b.size.height - fromTop;
        } else {
            origin.x = doc.origin.x + v * std::max(0.0, doc.size.width - b.size.width);
        }
    } else if (part == NSScrollerDecrementPage || part == NSScrollerIncrementPage) {
        const double visible = vertical ? b.size.height : b.size.width;
        const double keep = vertical ? verticalPage_ : horizontalPage_;
        double amount = std::max(1.0, visible - keep);
        if (part == NSScrollerDecrementPage) amount = -amount;  // towards the top or left
        if (!vertical)
            origin.x += amount;
        else
            origin.y += flipped ? amount : -amount;
    } else {
        return;
    }
    clip_->scrollToPoint(origin);
}

// --- Drawing and interface files ------------------------------------------------------------

void NSScrollView::drawRect(NSRect /*dirtyRect*/) {
    platform::theme::drawScrollViewBorder(bounds(), border_);
}

void NSScrollView::addNibChild(Ref<NSObject> child) {
    if (auto clip = std::dynamic_pointer_cast<NSClipView>(child)) {
        setContentView(clip);
    } else if (auto scroller = std::dynamic_pointer_cast<NSScroller>(child)) {
        if (scroller->isVertical())
            setVerticalScroller(scroller);
        else
            setHorizontalScroller(scroller);
    } else if (auto view = std::dynamic_pointer_cast<NSView>(child)) {
        setDocumentView(view);
    }
}
