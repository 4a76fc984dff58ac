#include "platform/appkit/theme/WindowTheme.h"

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/TextLayout.h"

namespace platform::theme {

void drawTitleBar(NSGraphicsContext&, NSRect rect, const std::string& title, bool key) {
    double top = key ? 0.27 : 0.22, bottom = key ? 0.21 : 0.18;
    auto gradient = NSGradient::initWithStartingColor(NSColor::colorWithDeviceWhite(bottom, 1),
                                                      NSColor::colorWithDeviceWhite(top, 1));
    gradient->drawInRect(rect, 90);
    NSColor::colorWithDeviceWhite(0.1, 1)->setFill();
    NSBezierPath::fillRect(NSMakeRect(rect.origin.x, rect.origin.y, rect.size.width, 1));
    if (title.empty()) return;
    NSAttributes attributes{
        {NSFontAttributeName, NSFont::systemFontOfSize(13)},
        {NSForegroundColorAttributeName, NSColor::colorWithDeviceWhite(key ? 0.86 : 0.55, 1)}};
    NSSize size = ns::sizeWithAttributes(title, attributes);
    NSPoint at{rect.origin.x + (rect.size.width - size.width) / 2,
               rect.origin.y + (rect.size.height - size.height) / 2};
    ns::drawAtPoint(title, at, attributes);
}

void drawWindowButton(NSGraphicsContext&, NSRect rect, int kind, bool active, bool hovered,
                      bool pressed, bool enabled) {
    static const double colours[3][3] = {
        {0.93, 0.33, 0.31}, {0.96, 0.74, 0.25}, {0.38, 0.78, 0.33}};
    int k = kind < 0 || kind > 2 ? 0 : kind;
    double shade = pressed ? 0.8 : 1.0;
    auto fill = (active || hovered) && enabled
                    ? NSColor::colorWithDeviceRed(colours[k][0] * shade, colours[k][1] * shade,
                                                  colours[k][2] * shade, 1)
                    : NSColor::colorWithDeviceWhite(0.42, 1);
    auto circle = NSBezierPath::bezierPathWithOvalInRect(NSInsetRect(rect, 0.5, 0.5));
    fill->setFill();
    circle->fill();
    NSColor::colorWithDeviceWhite(0, 0.25)->setStroke();
    circle->setLineWidth(1);
    circle->stroke();
    if (!hovered || !enabled) return;
    // The symbol of the button while the pointer is over the group.
    NSColor::colorWithDeviceWhite(0, 0.55)->setStroke();
    auto mark = NSBezierPath::bezierPath();
    mark->setLineWidth(1.2);
    NSRect r = NSInsetRect(rect, rect.size.width * 0.3, rect.size.height * 0.3);
    switch (k) {
        case 0:
            mark->moveToPoint(NSMakePoint(NSMinX(r), NSMinY(r)));
            mark->lineToPoint(NSMakePoint(NSMaxX(r), NSMaxY(r)));
            mark->moveToPoint(NSMakePoint(NSMinX(r), NSMaxY(r)));
            mark->lineToPoint(NSMakePoint(NSMaxX(r), NSMinY(r)));
            break;
        case 1:
            mark->moveToPoint(NSMakePoint(NSMinX(r), NSMidY(r)));
            mark->lineToPoint(NSMakePoint(NSMaxX(r), NSMidY(r)));
            break;
        default:
            mark->moveToPoint(NSMakePoint(NSMidX(r), NSMinY(r)));
            mark->lineToPoint(NSMakePoint(NSMidX(r), NSMaxY(r)));
            mark->moveToPoint(NSMakePoint(NSMinX(r), NSMidY(r)));
            mark->lineToPoint(NSMakePoint(NSMaxX(r), NSMidY(r)));
            break;
    }
    mark->stroke();
}

}  // namespace platform::theme
