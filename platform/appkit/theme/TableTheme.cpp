#include "platform/appkit/theme/TableTheme.h"

#include <algorithm>

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"

namespace platform::theme {

namespace {
Ref<NSColor> rgb(int r, int g, int b, double a = 1.0) {
    return NSColor::colorWithDeviceRed(r / 255.0, g / 255.0, b / 255.0, a);
}
}  // namespace

Ref<NSColor> tableBackgroundColor() {
    return rgb(30, 30, 30);
}

Ref<NSColor> alternatingRowColor(bool odd) {
    return odd ? rgb(38, 38, 38) : rgb(30, 30, 30);
}

Ref<NSColor> selectionHighlightColor(bool sourceList) {
    return sourceList ? rgb(70, 90, 120) : rgb(63, 99, 139);
}

Ref<NSColor> gridColor() {
    return rgb(60, 60, 60);
}

Ref<NSColor> headerTextColor() {
    return rgb(200, 200, 200);
}

void drawHeaderBackground(NSRect frame, bool highlighted) {
    (highlighted ? rgb(58, 58, 58) : rgb(44, 44, 44))->setFill();
    NSRectFill(frame);
    rgb(70, 70, 70)->setFill();
    NSRectFill(
        NSMakeRect(NSMaxX(frame) - 1, frame.origin.y + 3, 1, std::max(0.0, frame.size.height - 6)));
    NSRectFill(NSMakeRect(frame.origin.x, NSMaxY(frame) - 1, frame.size.width, 1));
}

void drawDisclosureTriangle(NSRect frame, bool expanded) {
    const double side = std::min({frame.size.width, frame.size.height, 9.0});
    if (side <= 0) return;
    const double cx = NSMidX(frame), cy = NSMidY(frame), h = side / 2;
    auto path = NSBezierPath::bezierPath();
    if (expanded) {  // pointing down (y grows downwards in lists)
        path->moveToPoint(NSMakePoint(cx - h, cy - h / 2));
        path->lineToPoint(NSMakePoint(cx + h, cy - h / 2));
        path->lineToPoint(NSMakePoint(cx, cy + h / 2 + 1));
    } else {
        path->moveToPoint(NSMakePoint(cx - h / 2, cy - h));
        path->lineToPoint(NSMakePoint(cx + h / 2 + 1, cy));
        path->lineToPoint(NSMakePoint(cx - h / 2, cy + h));
    }
    path->closePath();
    rgb(170, 170, 170)->setFill();
    path->fill();
}

}  // namespace platform::theme
