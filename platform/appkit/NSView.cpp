#include "platform/appkit/NSView.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSViewController.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

NSView::~NSView() {
    for (auto& sub : subviews_) {
        sub->superview_ = nullptr;
        sub->linkNextResponder(nullptr, this);
    }
}

void NSView::initWithFrame(NSRect frame) {
    frame_ = frame;
    bounds_ = NSMakeRect(0, 0, frame.size.width, frame.size.height);
}

void NSView::setFrame(NSRect frame) {
    setFrameOrigin(frame.origin);
    setFrameSize(frame.size);
}

void NSView::setFrameOrigin(NSPoint origin) {
    if (frame_.origin == origin) return;
    frame_.origin = origin;
    geometryChanged();
    if (superview_) superview_->subviewFrameDidChange(this);
}

void NSView::setFrameSize(NSSize size) {
    if (frame_.size == size) return;
    NSSize old = frame_.size;
    frame_.size = size;
    bounds_.size = size;
    if (autoresizesSubviews_) resizeSubviewsWithOldSize(old);
    geometryChanged();
    if (superview_) superview_->subviewFrameDidChange(this);
}

void NSView::setBounds(NSRect bounds) {
    setBoundsOrigin(bounds.origin);
}

void NSView::setBoundsOrigin(NSPoint origin) {
    if (bounds_.origin == origin) return;
    bounds_.origin = origin;
    geometryChanged();
}

void NSView::geometryChanged() {
    updateTrackingAreas();
    if (superview_) superview_->setNeedsDisplay(true);
    setNeedsDisplay(true);
    if (window_) window_->noteTrackingGeometryChanged();
}

NSRect NSView::visibleRect() const {
    NSRect rect = bounds_;
    for (const NSView* a = superview_; a && !NSIsEmptyRect(rect); a = a->superview_)
        rect = NSIntersectionRect(rect, convertRect(a->bounds_, a));
    return rect;
}

// --- The tree -------------------------------------------------------------------------------

void NSView::addSubview(const Ref<NSView>& view) {
    addSubview(view, NSWindowAbove, nullptr);
}

void NSView::sortSubviewsUsingFunction(NSComparisonResult (*compare)(NSView*, NSView*, void*),
                                       void* context) {
    if (!compare || subviews_.size() < 2) return;
    // Sort a copy: a comparison that touches the view tree must not see a half-sorted vector.
    std::vector<Ref<NSView>> sorted = subviews_;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Ref<NSView>& a, const Ref<NSView>& b) {
        return compare(a.get(), b.get(), context) == NSOrderedAscending;
    });
    if (sorted == subviews_) return;
    subviews_ = std::move(sorted);
    setNeedsDisplay(true);
    if (window_) window_->noteTrackingGeometryChanged();
}

void NSView::addSubview(const Ref<NSView>& view, NSWindowOrderingMode place,
                        const NSView* relativeTo) {
    if (!view || view.get() == this) return;
    Ref<NSView> keep = view;
    if (view->superview_ != this) {
        view->viewWillMoveToSuperview(this);
        if (view->window_ != window_) view->setWindowRecursively(nullptr);
    }
    if (view->superview_) {
        auto& old = view->superview_->subviews_;
        old.erase(std::remove(old.begin(), old.end(), view), old.end());
        view->superview_ = nullptr;
    }
    auto at = subviews_.end();
    if (relativeTo) {
        at = std::find_if(subviews_.begin(), subviews_.end(),
                          [&](const Ref<NSView>& v) { return v.get() == relativeTo; });
        if (at != subviews_.end() && place != NSWindowBelow) ++at;
    } else if (place == NSWindowBelow) {
        at = subviews_.begin();
    }
    subviews_.insert(at, view);
    view->superview_ = this;
    view->linkNextResponder(this);
    view->setWindowRecursively(window_);
    view->viewDidMoveToSuperview();
    didAddSubview(view.get());
    view->setNeedsDisplay(true);
    if (window_) window_->noteTrackingGeometryChanged();
}

// A view controller sits between its view and the view's superview in the responder chain;
// otherwise the superview follows the view directly.
void NSView::linkNextResponder(NSView* super, NSView* leaving) {
    NSResponder* next = nextResponder();
    auto* controller = dynamic_cast<NSViewController*>(next);
    if (controller && controller->isViewLoaded() && controller->view() == this) {
        if (super || controller->nextResponder() == leaving) controller->setNextResponder(super);
        return;
    }
    if (super || next == leaving) setNextResponder(super);
}

void NSView::removeFromSuperview() {
    NSView* super = superview_;
    if (!super) return;
    Ref<NSView> keep = std::static_pointer_cast<NSView>(shared_from_this());
    super->willRemoveSubview(this);
    viewWillMoveToSuperview(nullptr);
    setWindowRecursively(nullptr);
    auto& list = super->subviews_;
    list.erase(std::remove(list.begin(), list.end(), keep), list.end());
    superview_ = nullptr;
    linkNextResponder(nullptr, super);
    viewDidMoveToSuperview();
    super->setNeedsDisplay(true);
}

bool NSView::isDescendantOf(const NSView* view) const {
    for (const NSView* v = this; v; v = v->superview_)
        if (v == view) return true;
    return false;
}

void NSView::setWindowRecursively(NSWindow* window) {
    if (window_ == window) return;
    viewWillMoveToWindow(window);
    if (window_) window_->viewWillLeaveWindow(this);
    window_ = window;
    for (auto& sub : subviews_)
        sub->setWindowRecursively(window);
    viewDidMoveToWindow();
    if (window_) {
        updateTrackingAreas();
        window_->noteNeedsDisplay();
    }
}

void NSView::setHidden(bool hidden) {
    if (hidden_ == hidden) return;
    hidden_ = hidden;
    if (window_) {
        if (hidden) window_->viewWillLeaveWindow(this);
        window_->noteTrackingGeometryChanged();
    }
    if (superview_) superview_->setNeedsDisplay(true);
    setNeedsDisplay(true);
}

bool NSView::isHiddenOrHasHiddenAncestor() const {
    for (const NSView* v = this; v; v = v->superview_)
        if (v->hidden_) return true;
    return false;
}

NSView* NSView::viewWithTag(long tag) {
    if (this->tag() == tag) return this;
    for (auto& sub : subviews_)
        if (NSView* found = sub->viewWithTag(tag)) return found;
    return nullptr;
}

// --- Autoresizing ---------------------------------------------------------------------------

void NSView::resizeSubviewsWithOldSize(NSSize oldSize) {
    for (auto& sub : std::vector<Ref<NSView>>(subviews_))
        sub->resizeWithOldSuperviewSize(oldSize);
}

namespace {

// Shares `delta` among the flexible parts of one axis: the low margin, the length and the
// high margin. Returns the new origin and length.
std::pair<double, double> distribute(double delta, double low, double length, double high,
                                     bool lowFlex, bool lengthFlex, bool highFlex) {
    int count = int(lowFlex) + int(lengthFlex) + int(highFlex);
    if (count == 0 || delta == 0) return {low, length};
    double total = (lowFlex ? low : 0) + (lengthFlex ? length : 0) + (highFlex ? high : 0);
    auto share = [&](bool flex, double part) {
        if (!flex) return 0.0;
        return total > 0 ? delta * std::max(part, 0.0) / total : delta / count;
    };
    double newLow = low + share(lowFlex, low);
    double newLength = std::max(0.0, length + share(lengthFlex, length));
    return {newLow, newLength};
}

}  // namespace

void NSView::resizeWithOldSuperviewSize(NSSize oldSize) {
    if (!superview_ || autoresizingMask_ == NSViewNotSizable) return;
    NSSize newSize = superview_->bounds_.size;
    NSRect f = frame_;
    auto [x, w] =
        distribute(newSize.width - oldSize.width, f.origin.x, f.size.width,
                   oldSize.width - NSMaxX(f), autoresizingMask_ & NSViewMinXMargin,
                   autoresizingMask_ & NSViewWidthSizable, autoresizingMask_ & NSViewMaxXMargin);
    auto [y, h] =
        distribute(newSize.height - oldSize.height, f.origin.y, f.size.height,
                   oldSize.height - NSMaxY(f), autoresizingMask_ & NSViewMinYMargin,
                   autoresizingMask_ & NSViewHeightSizable, autoresizingMask_ & NSViewMaxYMargin);
    setFrame(NSMakeRect(x, y, w, h));
}

// --- Conversion -----------------------------------------------------------------------------

bool NSView::superviewFlipped() const {
    return superview_ ? superview_->isFlipped() : false;
}

NSPoint NSView::pointToSuperview(NSPoint p) const {
    double x = frame_.origin.x + (p.x - bounds_.origin.x);
    double dy = p.y - bounds_.origin.y;
    double y = isFlipped() != superviewFlipped() ? NSMaxY(frame_) - dy : frame_.origin.y + dy;
    return {x, y};
}

NSPoint NSView::pointFromSuperview(NSPoint p) const {
    double x = p.x - frame_.origin.x + bounds_.origin.x;
    double dy = isFlipped() != superviewFlipped() ? NSMaxY(frame_) - p.y : p.y - frame_.origin.y;
    return {x, dy + bounds_.origin.y};
}

NSPoint NSView::toBase(NSPoint p) const {
    for (const NSView* v = this; v; v = v->superview_)
        p = v->pointToSuperview(p);
    return p;
}

NSPoint NSView::fromBase(NSPoint p) const {
    std::vector<const NSView*> chain;
    for (const NSView* v = this; v; v = v->superview_)
        chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        p = (*it)->pointFromSuperview(p);
    return p;
}

NSPoint NSView::convertPoint(NSPoint point, const NSView* fromView) const {
    if (fromView == this) return point;
    NSPoint base = fromView ? fromView->toBase(point) : point;
    return fromBase(base);
}

NSPoint NSView::convertPointToView(NSPoint point, const NSView* toView) const {
    if (toView == this) return point;
    NSPoint base = toBase(point);
    return toView ? toView->fromBase(base) : base;
}

namespace {
NSRect rectFromCorners(NSPoint a, NSPoint b) {
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(a.x - b.x),
                      std::fabs(a.y - b.y));
}
}  // namespace

NSRect NSView::convertRect(NSRect rect, const NSView* fromView) const {
    return rectFromCorners(convertPoint(rect.origin, fromView),
                           convertPoint({NSMaxX(rect), NSMaxY(rect)}, fromView));
}

NSRect NSView::convertRectToView(NSRect rect, const NSView* toView) const {
    return rectFromCorners(convertPointToView(rect.origin, toView),
                           convertPointToView({NSMaxX(rect), NSMaxY(rect)}, toView));
}

// --- Hits -----------------------------------------------------------------------------------

bool NSView::mouse(NSPoint point, NSRect inRect) const {
    return NSMouseInRect(point, inRect, isFlipped());
}

NSView* NSView::hitTest(NSPoint point) {
    if (hidden_) return nullptr;
    if (!NSMouseInRect(point, frame_, superviewFlipped())) return nullptr;
    NSPoint local = pointFromSuperview(point);
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it)
        if (NSView* hit = (*it)->hitTest(local)) return hit;
    return this;
}

// --- Drawing --------------------------------------------------------------------------------

void NSView::setNeedsDisplay(bool needs) {
    needsDisplay_ = needs;
    dirtyRect_ = needs ? bounds_ : NSZeroRect;
    if (needs && window_) window_->noteNeedsDisplay();
}

void NSView::setNeedsDisplayInRect(NSRect rect) {
    NSRect clipped = NSIntersectionRect(rect, bounds_);
    if (NSIsEmptyRect(clipped)) return;
    dirtyRect_ = NSUnionRect(needsDisplay_ ? dirtyRect_ : NSZeroRect, clipped);
    needsDisplay_ = true;
    if (window_) window_->noteNeedsDisplay();
}

void NSView::display() {
    if (window_) window_->display();
}

void NSView::clearNeedsDisplayRecursively() {
    needsDisplay_ = false;
    dirtyRect_ = NSZeroRect;
    for (auto& sub : subviews_)
        sub->clearNeedsDisplayRecursively();
}

double NSView::animatableValue(const std::string& key) const {
    return key == "alphaValue" ? alphaValue_ : 0;
}

void NSView::setAnimatableValue(const std::string& key, double value) {
    if (key == "alphaValue") setAlphaValue(value);
}

void NSView::setAlphaValue(double alpha) {
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (alpha == alphaValue_) return;
    alphaValue_ = alpha;
    setNeedsDisplay(true);
}

void NSView::setWantsLayer(bool wants) {
    wantsLayer_ = wants;
    if (wants && !layer_) layer_ = CALayer::layer();
    setNeedsDisplay(true);
}

namespace {
void addRoundedRect(cairo_t* cr, NSRect r, double radius) {
    radius = std::min({radius, r.size.width / 2, r.size.height / 2});
    if (radius <= 0) {
        cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        return;
    }
    double x0 = NSMinX(r), y0 = NSMinY(r), x1 = NSMaxX(r), y1 = NSMaxY(r);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - radius, y0 + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x1 - radius, y1 - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x0 + radius, y1 - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + radius, y0 + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}
}  // namespace

void NSView::drawHierarchy(NSGraphicsContext& context, bool superFlipped) {
    if (hidden_ || alphaValue_ <= 0) return;
    cairo_t* cr = platform::detail::cairoOf(context);
    // A translucent view is drawn as a group and composited once with its alpha.
    const bool group = alphaValue_ < 1;
    if (group) cairo_push_group(cr);
    context.saveState();
    context.translate(frame_.origin.x, frame_.origin.y);
    if (isFlipped() != superFlipped) {
        context.translate(0, frame_.size.height);
        context.scale(1, -1);
    }
    context.translate(-bounds_.origin.x, -bounds_.origin.y);
    context.setFlipped(isFlipped());
    const CALayer* layer = wantsLayer_ ? layer_.get() : nullptr;
    double radius = layer ? layer->cornerRadius() : 0;
    cairo_new_path(cr);
    if (layer && layer->masksToBounds())
        addRoundedRect(cr, bounds_, radius);
    else
        cairo_rectangle(cr, bounds_.origin.x, bounds_.origin.y, bounds_.size.width,
                        bounds_.size.height);
    cairo_clip(cr);
    if (layer && layer->backgroundColor()) {
        cairo_save(cr);
        platform::detail::setSourceColor(cr, layer->backgroundColor());
        cairo_new_path(cr);
        addRoundedRect(cr, bounds_, radius);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // The view is asked for what the clip (its superviews' bounds) lets show. That is more
    // than its dirty rectangle: the window is painted afresh each time, so a view drawing
    // only the part it marked would leave the rest of itself blank.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    NSRect asked = NSIntersectionRect(bounds_, NSMakeRect(x1, y1, x2 - x1, y2 - y1));
    if (!NSIsEmptyRect(asked)) drawRect(asked);
    for (auto& sub : std::vector<Ref<NSView>>(subviews_))
        sub->drawHierarchy(context, isFlipped());
    if (layer && layer->borderWidth() > 0) {
        cairo_save(cr);
        platform::detail::setSourceColor(
            cr, layer->borderColor() ? layer->borderColor() : NSColor::blackColor());
        double w = layer->borderWidth();
        cairo_new_path(cr);
        addRoundedRect(cr, NSInsetRect(bounds_, w / 2, w / 2), std::max(0.0, radius - w / 2));
        cairo_set_line_width(cr, w);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    context.restoreState();
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alphaValue_);
    }
}

bool NSView::performKeyEquivalent(NSEvent& event) {
    for (auto& sub : std::vector<Ref<NSView>>(subviews_))
        if (!sub->isHidden() && sub->performKeyEquivalent(event)) return true;
    return false;
}

// --- Tracking areas -------------------------------------------------------------------------

void NSView::addTrackingArea(const Ref<NSTrackingArea>& area) {
    if (!area) return;
    if (std::find(trackingAreas_.begin(), trackingAreas_.end(), area) != trackingAreas_.end())
        return;
    trackingAreas_.push_back(area);
    if (window_) window_->noteTrackingGeometryChanged();
}

void NSView::removeTrackingArea(const Ref<NSTrackingArea>& area) {
    trackingAreas_.erase(std::remove(trackingAreas_.begin(), trackingAreas_.end(), area),
                         trackingAreas_.end());
    if (window_) window_->noteTrackingGeometryChanged();
}

NSTrackingRectTag NSView::addTrackingRect(NSRect rect, NSResponder* owner, void* userData,
                                          bool assumeInside) {
    static NSTrackingRectTag lastTag = 0;
    NSTrackingAreaOptions options = NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways;
    if (assumeInside) options |= NSTrackingAssumeInside;
    Ref<NSResponder> retained;
    if (owner) {
        auto weak = owner->weak_from_this();
        retained = std::static_pointer_cast<NSResponder>(weak.lock());
    }
    auto area = NSTrackingArea::make(rect, options, retained);
    if (!retained) area->setRawOwner(owner);
    area->setTrackingRectData(userData, ++lastTag);
    addTrackingArea(area);
    return area->tag();
}

void NSView::removeTrackingRect(NSTrackingRectTag tag) {
    auto it = std::find_if(trackingAreas_.begin(), trackingAreas_.end(),
                           [&](const Ref<NSTrackingArea>& a) { return a->tag() == tag; });
    if (it != trackingAreas_.end()) removeTrackingArea(*it);
}

// --- Interface files ------------------------------------------------------------------------

void NSView::addNibChild(Ref<NSObject> child) {
    if (auto view = std::dynamic_pointer_cast<NSView>(child)) addSubview(view);
}

void NSView::registerClass() {
    ClassRegistry::shared().registerClass<NSResponder, NSObject>("NSResponder");
    ClassRegistry::shared()
        .registerClass<NSView, NSResponder>("NSView")
        .property("frame", &NSView::setFrame)
        .property("hidden", &NSView::setHidden)
        .property("tag", &NSView::setTag)
        .property("alphaValue", &NSView::setAlphaValue)
        .property("wantsLayer", &NSView::setWantsLayer)
        .property("autoresizesSubviews", &NSView::setAutoresizesSubviews)
        .property("autoresizingMask", [](NSView& v, const std::string& text) {
            long mask = 0;
            if (!platform::parsePropertyText(text, mask) || mask < 0 || mask > 63) return false;
            v.setAutoresizingMask(static_cast<NSAutoresizingMaskOptions>(mask));
            return true;
        });
}
