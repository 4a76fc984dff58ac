#include "controls/kit/SNRHUDSegmentedCell.h"

#include <cmath>

#include "controls/kit/NSBezierPath+MCAdditions.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSView.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/TextLayout.h"
#include "services/Palette.h"

namespace {

constexpr double kCornerRadius = 3;
constexpr double kDisabledAlpha = 0.5;
/// What every segment but the last adds to its width.
constexpr double kSegmentGap = 7;
constexpr double kLabelFontSize = 13;

Ref<NSColor> borderColor() {
    return Palette::dialogGrey();
}

Ref<NSColor> selectedColor() {
    return Palette::selectionGreen();
}

}  // namespace

Ref<NSCell> SNRHUDSegmentedCell::clone() const {
    return std::make_shared<SNRHUDSegmentedCell>(*this);
}

void SNRHUDSegmentedCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    if (controlView) setControlView(controlView);
    NSGraphicsContext::saveGraphicsState();
    if (!isEnabled()) context->setAlpha(kDisabledAlpha);

    NSRect frame = NSInsetRect(cellFrame, 0.5, 0.5);
    frame.size.height -= 1;
    Ref<NSBezierPath> border = snr_drawBackgroundWithFrame(frame, controlView);
    const NSRect bounds = border->bounds();
    const long count = segmentCount();
    if (count > 0) {
        border->addClip();
        const float gaps = static_cast<float>(kSegmentGap) * static_cast<float>(count - 1);
        double x = bounds.origin.x;
        for (long segment = 0; segment < count; ++segment) {
            double width = widthForSegment(segment);
            if (width == 0) width = (frame.size.width - gaps) / static_cast<double>(count);
            if (segment < count - 1) width += kSegmentGap;
            const NSRect rect = NSMakeRect(x, bounds.origin.y, width, bounds.size.height);
            x += width;

            NSGraphicsContext::saveGraphicsState();
            if (isEnabled() && !isEnabledForSegment(segment)) context->setAlpha(kDisabledAlpha);
            drawSegment(segment, rect, controlView);
            NSGraphicsContext::restoreGraphicsState();
        }
    }
    NSGraphicsContext::restoreGraphicsState();
}

Ref<NSBezierPath> SNRHUDSegmentedCell::snr_drawBackgroundWithFrame(NSRect frame, NSView*) {
    auto path = NSBezierPath::bezierPathWithRoundedRect(frame, kCornerRadius, kCornerRadius);
    borderColor()->setStroke();
    path->stroke();
    return path;
}

void SNRHUDSegmentedCell::drawSegment(long segment, NSRect frame, NSView* controlView) {
    if (segment < 0 || segment >= segmentCount()) return;
    const bool selected = isSelectedForSegment(segment);
    if (selected) {
        NSGradient::initWithStartingColor(selectedColor(), selectedColor())->drawInRect(frame, 270);
        NSShadow shadow;
        shadow.setShadowColor(selectedColor());
        shadow.setShadowBlurRadius(3);
        shadow.setShadowOffset(NSMakeSize(0, -1));
        fillWithInnerShadow(*NSBezierPath::bezierPathWithRect(frame), shadow);
    }
    const bool divider =
        !selected && segment < segmentCount() - 1 && selectedSegment() != segment + 1;

    snr_drawInteriorOfSegment(segment, frame, controlView);

    // The pressed look: a left mouse-down of this window being handled, inside the segment.
    if (NSApp && controlView && isEnabledForSegment(segment)) {
        const NSEvent* event = NSApp->currentEvent();
        if (event && event->type() == NSEventTypeLeftMouseDown && event->window() &&
            event->window() == controlView->window()) {
            const NSPoint p = controlView->convertPoint(event->locationInWindow(), nullptr);
            if (NSPointInRect(p, frame)) {
                borderColor()->setFill();
                NSRectFillUsingOperation(frame, NSCompositingOperationSourceOver);
            }
        }
    }

    if (divider) {
        const NSRect line = NSMakeRect(std::round(frame.origin.x + frame.size.width - 1),
                                       frame.origin.y, 1, frame.size.height);
        borderColor()->setFill();
        NSRectFillUsingOperation(line, NSCompositingOperationSourceOver);
        NSGradient::initWithStartingColor(borderColor(), borderColor())
            ->drawInRect(NSIntegralRect(line), 270);
    }
}

void SNRHUDSegmentedCell::snr_drawInteriorOfSegment(long segment, NSRect frame, NSView*) {
    const std::string label = labelForSegment(segment);
    if (label.empty()) return;
    const NSAttributes attributes{
        {NSFontAttributeName, NSFont::systemFontOfSize(kLabelFontSize)},
        {NSForegroundColorAttributeName,
         isSelectedForSegment(segment) ? NSColor::whiteColor() : Palette::segmentLabelGrey()}};
    const NSSize size = ns::sizeWithAttributes(label, attributes);
    const NSRect rect = NSIntegralRect(NSMakeRect(
        NSMidX(frame) - size.width / 2, NSMidY(frame) - size.height / 2, size.width, size.height));
    ns::drawInRect(label, rect, attributes);
}

void SNRHUDSegmentedCell::registerClass() {
    ClassRegistry::shared().registerClass<SNRHUDSegmentedCell, NSSegmentedCell>(
        "SNRHUDSegmentedCell");
}
