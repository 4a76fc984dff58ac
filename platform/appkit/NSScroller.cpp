#include "platform/appkit/NSScroller.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/theme/ScrollerTheme.h"

namespace {

NSScroller::WidthHook& widthHook() {
    static NSScroller::WidthHook hook;
    return hook;
}

double clamp01(double v) {
    if (!(v > 0)) return 0;  // NaN reads as 0
    return std::min(v, 1.0);
}

}  // namespace

NSScroller::~NSScroller() = default;

double NSScroller::platformScrollerWidth(NSControlSize size, NSScrollerStyle style) {
    return platform::theme::scrollerWidth(size, style);
}

double NSScroller::scrollerWidthForControlSize(NSControlSize size, NSScrollerStyle style) {
    if (const WidthHook& hook = widthHook()) {
        if (std::optional<double> width = hook(size, style)) return std::max(0.0, *width);
    }
    return platformScrollerWidth(size, style);
}

NSScroller::WidthHook NSScroller::setScrollerWidthHook(WidthHook hook) {
    WidthHook previous = std::move(widthHook());
    widthHook() = std::move(hook);
    return previous;
}

void NSScroller::setDoubleValue(double value) {
    value = clamp01(value);
    if (value == value_) return;
    value_ = value;
    setNeedsDisplay(true);
}

void NSScroller::setFloatValue(float value) {
    setDoubleValue(value);
}

void NSScroller::setKnobProportion(double proportion) {
    proportion = clamp01(proportion);
    if (proportion == proportion_) return;
    proportion_ = proportion;
    setNeedsDisplay(true);
}

bool NSScroller::isUsable() const {
    return isEnabled() && proportion_ < 1;
}

void NSScroller::setScrollerStyle(NSScrollerStyle style) {
    if (style == style_) return;
    style_ = style;
    setNeedsDisplay(true);
}

void NSScroller::setKnobStyle(NSScrollerKnobStyle style) {
    if (style == knobStyle_) return;
    knobStyle_ = style;
    setNeedsDisplay(true);
}

bool NSScroller::isVertical() const {
    return bounds().size.height >= bounds().size.width;
}

double NSScroller::slotLength() const {
    return isVertical() ? bounds().size.height : bounds().size.width;
}

double NSScroller::knobLength() const {
    double slot = slotLength();
    double length = std::max(platform::theme::kMinimumKnobLength, slot * proportion_);
    return std::min(length, slot);
}

NSRect NSScroller::rectForPart(NSScrollerPart part) const {
    const NSRect b = bounds();
    const bool vertical = isVertical();
    const double slot = slotLength();
    const double knob = knobLength();
    const double start = (slot - knob) * value_;
    auto along = [&](double from, double length) {
        return vertical ? NSMakeRect(b.origin.x, b.origin.y + from, b.size.width, length)
                        : NSMakeRect(b.origin.x + from, b.origin.y, length, b.size.height);
    };
    switch (part) {
        case NSScrollerKnobSlot:
            return b;
        case NSScrollerKnob: {
            if (!isUsable()) return NSZeroRect;
            NSRect r = along(start, knob);
            // The knob keeps a margin from the long edges only.
            const double inset = std::min(platform::theme::kKnobInset,
                                          (vertical ? b.size.width : b.size.height) / 4);
            return vertical ? NSInsetRect(r, inset, 0) : NSInsetRect(r, 0, inset);
        }
        case NSScrollerDecrementPage:
            return isUsable() ? along(0, start) : NSZeroRect;
        case NSScrollerIncrementPage:
            return isUsable() ? along(start + knob, slot - start - knob) : NSZeroRect;
        default:
            // This scroller has no line arrows.
            return NSZeroRect;
    }
}

NSScrollerPart NSScroller::testPart(NSPoint point) const {
    if (!mouse(point, bounds())) return NSScrollerNoPart;
    if (!isUsable()) return NSScrollerKnobSlot;
    const bool vertical = isVertical();
    const double pos = vertical ? point.y - bounds().origin.y : point.x - bounds().origin.x;
    const double start = (slotLength() - knobLength()) * value_;
    if (pos < start) return NSScrollerDecrementPage;
    if (pos >= start + knobLength()) return NSScrollerIncrementPage;
    return NSScrollerKnob;
}

void NSScroller::drawRect(NSRect /*dirtyRect*/) {
    drawKnobSlotInRect(rectForPart(NSScrollerKnobSlot), false);
    drawKnob();
}

void NSScroller::drawKnob() {
    platform::theme::drawScrollerKnob(rectForPart(NSScrollerKnob), isVertical(), knobStyle_);
}

void NSScroller::drawKnobSlotInRect(NSRect slotRect, bool highlight) {
    // Overlay scrollers lie over the content and show no slot.
    if (style_ == NSScrollerStyleOverlay) return;
    platform::theme::drawScrollerSlot(slotRect, isVertical(), highlight);
}

void NSScroller::userChanged() {
    if (scrollView_) scrollView_->scrollerDidScroll(*this);
    if (action()) sendAction(action(), target());
}

void NSScroller::mouseDown(NSEvent& event) {
    if (!isUsable()) return;
    NSPoint p = convertPoint(event.locationInWindow(), nullptr);
    hitPart_ = testPart(p);
    if (hitPart_ == NSScrollerKnob) {
        trackKnob(p);
    } else if (hitPart_ == NSScrollerDecrementPage || hitPart_ == NSScrollerIncrementPage) {
        userChanged();
        // The page happened on the press; the rest of the click is consumed here.
        const NSEventMask mask = NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged;
        for (;;) {
            Ref<NSEvent> next = NSApplication::sharedApplication()->nextEventMatchingMask(
                mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
            if (!next || next->type() == NSEventTypeLeftMouseUp) break;
        }
    }
    hitPart_ = NSScrollerNoPart;
}

void NSScroller::trackKnob(NSPoint start) {
    const double startValue = value_;
    const double travel = slotLength() - knobLength();
    const bool vertical = isVertical();
    const NSEventMask mask = NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged;
    for (;;) {
        Ref<NSEvent> next = NSApplication::sharedApplication()->nextEventMatchingMask(
            mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!next) break;  // a modal session ended under us: keep where we are
        NSPoint p = convertPoint(next->locationInWindow(), nullptr);
        if (travel > 0) {
            double delta = vertical ? p.y - start.y : p.x - start.x;
            double value = clamp01(startValue + delta / travel);
            if (value != value_) {
                setDoubleValue(value);
                userChanged();
            }
        }
        if (next->type() == NSEventTypeLeftMouseUp) break;
    }
}
