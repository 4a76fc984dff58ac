#include "platform/appkit/NSSegmentedCell.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/theme/ControlTheme.h"
#include "platform/foundation/NSDate.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/TextLayout.h"

namespace theme = platform::theme;

NSSegmentedCell::NSSegmentedCell() {
    setAlignment(NSCenterTextAlignment);
}

Ref<NSCell> NSSegmentedCell::clone() const {
    return Ref<NSCell>(new NSSegmentedCell(*this));
}

// --- Segments -------------------------------------------------------------------------------

void NSSegmentedCell::setSegmentCount(long count) {
    segments_.resize(static_cast<std::size_t>(std::max(0L, count)));
    if (!valid(lastSelected_)) lastSelected_ = -1;
    if (!valid(pressed_)) pressed_ = -1;
}

std::string NSSegmentedCell::labelForSegment(long segment) const {
    return valid(segment) ? segments_[segment].label : std::string();
}

void NSSegmentedCell::setLabel(const std::string& label, long segment) {
    if (valid(segment)) segments_[segment].label = label;
}

Ref<NSImage> NSSegmentedCell::imageForSegment(long segment) const {
    return valid(segment) ? segments_[segment].image : nullptr;
}

void NSSegmentedCell::setImage(const Ref<NSImage>& image, long segment) {
    if (valid(segment)) segments_[segment].image = image;
}

double NSSegmentedCell::widthForSegment(long segment) const {
    return valid(segment) ? segments_[segment].width : 0;
}

void NSSegmentedCell::setWidth(double width, long segment) {
    if (valid(segment)) segments_[segment].width = std::isfinite(width) ? std::max(0.0, width) : 0;
}

bool NSSegmentedCell::isEnabledForSegment(long segment) const {
    return valid(segment) && segments_[segment].enabled;
}

void NSSegmentedCell::setEnabledForSegment(bool enabled, long segment) {
    if (valid(segment)) segments_[segment].enabled = enabled;
}

long NSSegmentedCell::tagForSegment(long segment) const {
    return valid(segment) ? segments_[segment].tag : 0;
}

void NSSegmentedCell::setTagForSegment(long tag, long segment) {
    if (valid(segment)) segments_[segment].tag = tag;
}

std::string NSSegmentedCell::toolTipForSegment(long segment) const {
    return valid(segment) ? segments_[segment].toolTip : std::string();
}

void NSSegmentedCell::setToolTip(const std::string& toolTip, long segment) {
    if (valid(segment)) segments_[segment].toolTip = toolTip;
}

bool NSSegmentedCell::isSelectedForSegment(long segment) const {
    return valid(segment) && segments_[segment].selected;
}

void NSSegmentedCell::setSelected(bool selected, long segment) {
    if (!valid(segment)) return;
    if (selected && trackingMode_ != NSSegmentSwitchTrackingSelectAny)
        for (Segment& s : segments_)
            s.selected = false;
    segments_[segment].selected = selected;
    if (selected)
        lastSelected_ = segment;
    else if (lastSelected_ == segment)
        lastSelected_ = -1;
}

long NSSegmentedCell::selectedSegment() const {
    if (isSelectedForSegment(lastSelected_)) return lastSelected_;
    for (long i = 0; i < segmentCount(); ++i)
        if (segments_[i].selected) return i;
    return -1;
}

void NSSegmentedCell::setSelectedSegment(long segment) {
    if (segment < -1 || segment >= segmentCount()) return;
    for (Segment& s : segments_)
        s.selected = false;
    lastSelected_ = -1;
    if (segment >= 0) {
        segments_[segment].selected = true;
        lastSelected_ = segment;
    }
}

bool NSSegmentedCell::selectSegmentWithTag(long tag) {
    for (long i = 0; i < segmentCount(); ++i) {
        if (segments_[i].tag == tag) {
            setSelected(true, i);
            return true;
        }
    }
    return false;
}

// --- Geometry -------------------------------------------------------------------------------

std::vector<NSRect> NSSegmentedCell::segmentRectsForFrame(NSRect cellFrame) const {
    std::vector<NSRect> rects;
    if (segments_.empty()) return rects;
    double fixed = 0;
    int automatic = 0;
    for (const Segment& s : segments_) {
        if (s.width > 0)
            fixed += s.width;
        else
            ++automatic;
    }
    double share = automatic ? std::max(0.0, cellFrame.size.width - fixed) / automatic : 0;
    double x = cellFrame.origin.x;
    for (const Segment& s : segments_) {
        double w = s.width > 0 ? s.width : share;
        rects.push_back(NSMakeRect(x, cellFrame.origin.y, w, cellFrame.size.height));
        x += w;
    }
    return rects;
}

long NSSegmentedCell::segmentAtPoint(NSPoint point, NSRect cellFrame, NSView* controlView) const {
    auto rects = segmentRectsForFrame(cellFrame);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        bool inside =
            controlView ? controlView->mouse(point, rects[i]) : NSPointInRect(point, rects[i]);
        if (inside) return static_cast<long>(i);
    }
    return -1;
}

NSSize NSSegmentedCell::cellSizeForBounds(NSRect) const {
    NSAttributes attributes{{NSFontAttributeName, font()}};
    double width = 0, height = 22;
    for (const Segment& s : segments_) {
        double natural = 16;
        if (s.image) {
            natural += s.image->size().width;
            height = std::max(height, s.image->size().height + 6);
        }
        if (!s.label.empty()) {
            NSSize text = ns::sizeWithAttributes(s.label, attributes);
            natural += text.width;
            height = std::max(height, text.height + 6);
        }
        width += s.width > 0 ? s.width : natural;
    }
    return {std::ceil(width), std::ceil(height)};
}

// --- Drawing --------------------------------------------------------------------------------

void NSSegmentedCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    theme::drawSegmentedBackground(cellFrame, isEnabled());
    auto rects = segmentRectsForFrame(cellFrame);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        NSGraphicsContext::saveGraphicsState();
        drawSegment(static_cast<long>(i), rects[i], controlView);
        NSGraphicsContext::restoreGraphicsState();
    }
}

void NSSegmentedCell::drawSegment(long segment, NSRect frame, NSView* controlView) {
    if (!valid(segment)) return;
    const Segment& s = segments_[segment];
    bool enabled = isEnabled() && s.enabled;
    theme::SegmentLook look;
    look.selected = s.selected;
    look.pressed = pressed_ == segment;
    look.enabled = enabled;
    look.first = segment == 0;
    look.last = segment == segmentCount() - 1;
    theme::drawSegment(frame, look);
    if (!look.last && !s.selected && !isSelectedForSegment(segment + 1))
        theme::drawSegmentDivider(frame);

    NSRect content = NSInsetRect(frame, 4, 2);
    if (s.image) {
        bool flipped = controlView && controlView->isFlipped();
        NSRect r = NSImageCell::rectForImage(
            s.image->size(), content, NSImageScaleProportionallyDown, NSImageAlignCenter, flipped);
        if (!NSIsEmptyRect(r))
            s.image->drawInRect(r, NSZeroRect, NSCompositingOperationSourceOver, enabled ? 1 : 0.5,
                                true);
    }
    if (!s.label.empty()) {
        auto style = NSParagraphStyle::defaultParagraphStyle();
        style->setAlignment(NSCenterTextAlignment);
        style->setLineBreakMode(NSLineBreakByTruncatingTail);
        NSAttributes attributes{
            {NSFontAttributeName, font()},
            {NSForegroundColorAttributeName, theme::segmentLabelColor(s.selected, enabled)},
            {NSParagraphStyleAttributeName, style}};
        NSSize text = ns::sizeWithAttributes(s.label, attributes);
        double h = std::min(text.height, content.size.height);
        ns::drawInRect(
            s.label,
            NSMakeRect(content.origin.x, content.origin.y + (content.size.height - h) / 2,
                       content.size.width, h),
            attributes);
    }
}

// --- Mouse ----------------------------------------------------------------------------------

NSCellHitResult NSSegmentedCell::hitTestForEvent(NSEvent& event, NSRect cellFrame,
                                                 NSView* controlView) {
    if (!controlView || !isEnabled()) return NSCellHitNone;
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    long segment = segmentAtPoint(p, cellFrame, controlView);
    return isEnabledForSegment(segment) ? NSCellHitTrackableArea : NSCellHitNone;
}

void NSSegmentedCell::clickSegment(long segment) {
    switch (trackingMode_) {
        case NSSegmentSwitchTrackingSelectAny:
            setSelected(!isSelectedForSegment(segment), segment);
            lastSelected_ = segment;
            break;
        case NSSegmentSwitchTrackingSelectOne:
        case NSSegmentSwitchTrackingMomentary:
            setSelectedSegment(segment);
            break;
    }
}

bool NSSegmentedCell::trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView, bool) {
    if (!controlView || !isEnabled()) return false;
    setControlView(controlView);
    Ref<NSObject> keepView = controlView->weak_from_this().lock();
    Ref<NSObject> keepCell = weak_from_this().lock();
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    const long down = segmentAtPoint(p, cellFrame, controlView);
    if (!isEnabledForSegment(down)) return false;
    auto press = [&](long segment) {
        if (pressed_ == segment) return;
        pressed_ = segment;
        controlView->setNeedsDisplayInRect(cellFrame);
    };
    press(down);
    if (!NSApp) NSApplication::sharedApplication();
    const NSEventMask mask = NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged;
    for (;;) {
        Ref<NSEvent> next = NSApp->nextEventMatchingMask(mask, NSDate::distantFuture(),
                                                         NSEventTrackingRunLoopMode, true);
        if (!next) {
            press(-1);
            return false;
        }
        p = controlView->convertPoint(next->locationInWindow(), nullptr);
        bool over = segmentAtPoint(p, cellFrame, controlView) == down;
        if (next->type() != NSEventTypeLeftMouseUp) {
            press(over ? down : -1);
            continue;
        }
        press(-1);
        if (!over) return false;
        clickSegment(down);
        if (auto* control = dynamic_cast<NSControl*>(controlView))
            control->sendAction(action(), target());
        // A momentary segment shows selected only while it is pressed.
        if (trackingMode_ == NSSegmentSwitchTrackingMomentary && valid(down))
            segments_[down].selected = false;
        controlView->setNeedsDisplayInRect(cellFrame);
        return true;
    }
}
