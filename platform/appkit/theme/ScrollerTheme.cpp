#include "platform/appkit/theme/ScrollerTheme.h"

#include <algorithm>

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"

namespace platform::theme {

double scrollerWidth(unsigned long controlSize, long scrollerStyle) {
    // Overlay scrollers are a little slimmer: they lie over the content.
    const bool overlay = scrollerStyle == 1;
    switch (controlSize) {
        case 1:
            return overlay ? 9 : 11;
        case 2:
            return overlay ? 7 : 9;
        default:
            return overlay ? 12 : 15;
    }
}

double scrollViewBorderWidth(unsigned long borderType) {
    switch (borderType) {
        case 1:
        case 2:
            return 1;
        case 3:
            return 2;
        default:
            return 0;
    }
}

void drawScrollerKnob(NSRect knob, bool vertical, long knobStyle) {
    if (NSIsEmptyRect(knob)) return;
    double radius = std::min(knob.size.width, knob.size.height) / 2;
    Ref<NSColor> color = knobStyle == 1   ? NSColor::colorWithDeviceWhite(0.1, 0.6)
                         : knobStyle == 2 ? NSColor::colorWithDeviceWhite(0.95, 0.7)
                                          : NSColor::colorWithDeviceWhite(0.6, 0.75);
    color->setFill();
    NSBezierPath::bezierPathWithRoundedRect(knob, radius, radius)->fill();
    (void)vertical;
}

void drawScrollerSlot(NSRect slot, bool vertical, bool highlight) {
    if (NSIsEmptyRect(slot)) return;
    NSColor::colorWithDeviceWhite(highlight ? 0.22 : 0.16, 1)->setFill();
    NSBezierPath::fillRect(slot);
    // A hairline on the side that faces the content.
    NSColor::colorWithDeviceWhite(0.3, 1)->setFill();
    NSBezierPath::fillRect(vertical ? NSMakeRect(slot.origin.x, slot.origin.y, 1, slot.size.height)
                                    : NSMakeRect(slot.origin.x, slot.origin.y, slot.size.width, 1));
}

void drawScrollViewBorder(NSRect bounds, unsigned long borderType) {
    double w = scrollViewBorderWidth(borderType);
    if (w <= 0) return;
    NSColor::colorWithDeviceWhite(borderType == 2 ? 0.45 : 0.35, 1)->setStroke();
    auto path = NSBezierPath::bezierPathWithRect(NSInsetRect(bounds, w / 2, w / 2));
    path->setLineWidth(w);
    path->stroke();
}

}  // namespace platform::theme
