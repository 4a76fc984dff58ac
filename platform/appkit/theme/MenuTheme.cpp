#include "platform/appkit/theme/MenuTheme.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/TextLayout.h"

namespace platform::theme {

namespace {

NSAttributes textAttributes(double white, double alpha = 1) {
    return {{NSFontAttributeName, NSFont::systemFontOfSize(kMenuFontSize)},
            {NSForegroundColorAttributeName, NSColor::colorWithDeviceWhite(white, alpha)}};
}

Ref<NSColor> highlightColor() {
    return NSColor::colorWithDeviceRed(0.17, 0.40, 0.80, 1);
}

/// Draws `text` vertically centred in `row` from `x` (flipped coordinates).
void drawText(const std::string& text, double x, NSRect row, const NSAttributes& attributes) {
    NSSize size = ns::sizeWithAttributes(text, attributes);
    ns::drawAtPoint(text, NSMakePoint(x, row.origin.y + (row.size.height - size.height) / 2),
                    attributes);
}

void drawStateMark(NSRect row, long state, double white) {
    double cx = row.origin.x + kMenuTitleInset / 2, cy = NSMidY(row);
    auto mark = NSBezierPath::bezierPath();
    mark->setLineWidth(1.6);
    if (state > 0) {
        mark->moveToPoint(NSMakePoint(cx - 4, cy));
        mark->lineToPoint(NSMakePoint(cx - 1, cy + 3));
        mark->lineToPoint(NSMakePoint(cx + 4, cy - 4));
    } else {
        mark->moveToPoint(NSMakePoint(cx - 3.5, cy));
        mark->lineToPoint(NSMakePoint(cx + 3.5, cy));
    }
    NSColor::colorWithDeviceWhite(white, 1)->setStroke();
    mark->stroke();
}

void drawSubmenuArrow(NSRect row, double white) {
    double right = NSMaxX(row) - 9, cy = NSMidY(row);
    auto arrow = NSBezierPath::bezierPath();
    arrow->moveToPoint(NSMakePoint(right - 5, cy - 4.5));
    arrow->lineToPoint(NSMakePoint(right, cy));
    arrow->lineToPoint(NSMakePoint(right - 5, cy + 4.5));
    arrow->closePath();
    NSColor::colorWithDeviceWhite(white, 1)->setFill();
    arrow->fill();
}

}  // namespace

double menuRowWidth(const std::string& title, const std::string& keyLabel, bool hasSubmenu) {
    double width = kMenuTitleInset + ns::sizeWithAttributes(title, textAttributes(1)).width;
    if (!keyLabel.empty())
        width += kMenuKeyGap + ns::sizeWithAttributes(keyLabel, textAttributes(1)).width;
    width += hasSubmenu ? kMenuRightInset + 8 : kMenuRightInset;
    return std::max(kMenuMinimumWidth, std::ceil(width));
}

void drawMenuBackground(NSRect bounds) {
    NSColor::colorWithDeviceWhite(0.15, 1)->setFill();
    NSBezierPath::fillRect(bounds);
    // A dark outline with a faint light line inside it, so the panel stands off dark windows.
    NSColor::colorWithDeviceWhite(0.04, 1)->setStroke();
    auto outer = NSBezierPath::bezierPathWithRect(NSInsetRect(bounds, 0.5, 0.5));
    outer->setLineWidth(1);
    outer->stroke();
    NSColor::colorWithDeviceWhite(1, 0.08)->setStroke();
    auto inner = NSBezierPath::bezierPathWithRect(NSInsetRect(bounds, 1.5, 1.5));
    inner->setLineWidth(1);
    inner->stroke();
}

void drawMenuRow(NSRect row, const MenuRowLook& look) {
    double text = 0.90, key = 0.58;
    if (look.highlighted && look.enabled) {
        highlightColor()->setFill();
        NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(row, 4, 0), 4, 4)->fill();
        text = 1.0;
        key = 0.88;
    } else if (!look.enabled) {
        text = 0.42;
        key = 0.34;
    }
    if (look.state != 0) drawStateMark(row, look.state, text);
    drawText(look.title, row.origin.x + kMenuTitleInset, row, textAttributes(text));
    if (!look.keyLabel.empty()) {
        NSAttributes attributes = textAttributes(key);
        double width = ns::sizeWithAttributes(look.keyLabel, attributes).width;
        drawText(look.keyLabel, NSMaxX(row) - kMenuRightInset - width, row, attributes);
    }
    if (look.hasSubmenu) drawSubmenuArrow(row, text);
}

void drawMenuSeparator(NSRect row) {
    NSColor::colorWithDeviceWhite(1, 0.14)->setFill();
    NSBezierPath::fillRect(
        NSMakeRect(row.origin.x + 10, std::floor(NSMidY(row)), row.size.width - 20, 1));
}

}  // namespace platform::theme
