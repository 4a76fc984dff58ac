#include "platform/appkit/theme/ControlTheme.h"

#include <algorithm>

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace platform::theme {

namespace {

Ref<NSColor> grey(double white, double alpha = 1) {
    return NSColor::colorWithDeviceWhite(white, alpha);
}

bool flipped() {
    auto context = NSGraphicsContext::currentContext();
    return context && context->isFlipped();
}

/// Fills `path` with a vertical gradient from `top` to `bottom` as the eye sees it.
void fillVertical(const NSBezierPath& path, const Ref<NSColor>& top, const Ref<NSColor>& bottom) {
    auto gradient = flipped() ? NSGradient::initWithStartingColor(top, bottom)
                              : NSGradient::initWithStartingColor(bottom, top);
    gradient->drawInBezierPath(path, 90);
}

void strokePath(NSBezierPath& path, const Ref<NSColor>& color, double width = 1) {
    color->setStroke();
    path.setLineWidth(width);
    path.stroke();
}

double radiusFor(unsigned long bezelStyle, NSRect frame) {
    switch (bezelStyle) {
        case 2:   // regular square
        case 6:   // shadowless square
        case 10:  // small square
            return 2;
        case 7:   // circular
        case 15:  // inline
            return std::min(frame.size.width, frame.size.height) / 2;
        case 11:  // textured rounded
        case 12:  // round rect
        case 13:  // recessed
            return std::min(frame.size.height / 2, 6.0);
        default:
            return 5;
    }
}

}  // namespace

Ref<NSColor> accentColor() {
    static auto color = NSColor::colorWithDeviceRed(49 / 255.0, 190 / 255.0, 106 / 255.0, 1);
    return color;
}

Ref<NSColor> titleColor(bool enabled) {
    return grey(0.9, enabled ? 1 : 0.4);
}

Ref<NSColor> placeholderColor() {
    return grey(0.55, 1);
}

void drawButtonBezel(NSRect frame, unsigned long bezelStyle, BezelLook look) {
    NSRect r = NSInsetRect(frame, 0.5, 0.5);
    if (NSIsEmptyRect(r)) return;
    double radius = radiusFor(bezelStyle, r);
    auto path = NSBezierPath::bezierPathWithRoundedRect(r, radius, radius);
    double alpha = look.enabled ? 1 : 0.5;
    if (look.on && !look.pressed) {
        fillVertical(*path, accentColor()->colorWithAlphaComponent(alpha),
                     accentColor()->colorWithAlphaComponent(alpha * 0.85));
    } else if (look.pressed) {
        fillVertical(*path, grey(0.40, alpha), grey(0.36, alpha));
    } else {
        fillVertical(*path, grey(0.33, alpha), grey(0.28, alpha));
    }
    strokePath(*path, grey(0.12, alpha));
    if (!look.pressed && look.enabled) {
        // A faint light edge along the top, as if lit from above.
        NSRect edge = NSInsetRect(r, radius, 0);
        double y = flipped() ? NSMinY(r) + 1 : NSMaxY(r) - 1;
        grey(1, 0.08)->setStroke();
        NSBezierPath::strokeLineFromPoint(NSMakePoint(NSMinX(edge), y),
                                          NSMakePoint(NSMaxX(edge), y));
    }
}

void drawBorderlessHighlight(NSRect frame) {
    grey(1, 0.12)->setFill();
    NSBezierPath::bezierPathWithRoundedRect(frame, 3, 3)->fill();
}

void drawCheckBox(NSRect box, long state, BezelLook look) {
    NSRect r = NSInsetRect(box, 0.5, 0.5);
    auto path = NSBezierPath::bezierPathWithRoundedRect(r, 3, 3);
    double alpha = look.enabled ? 1 : 0.45;
    bool marked = state != 0;
    if (marked) {
        accentColor()->colorWithAlphaComponent(alpha)->setFill();
        path->fill();
    } else {
        grey(look.pressed ? 0.30 : 0.20, alpha)->setFill();
        path->fill();
        strokePath(*path, grey(0.48, alpha));
    }
    if (!marked) return;
    auto mark = NSBezierPath::bezierPath();
    mark->setLineCapStyle(NSRoundLineCapStyle);
    mark->setLineJoinStyle(NSRoundLineJoinStyle);
    double w = r.size.width, h = r.size.height;
    // Points in "visual" terms (0 = top) mapped to the current coordinates.
    auto at = [&](double fx, double fyFromTop) {
        double y = flipped() ? NSMinY(r) + fyFromTop * h : NSMaxY(r) - fyFromTop * h;
        return NSMakePoint(NSMinX(r) + fx * w, y);
    };
    if (state < 0) {
        mark->moveToPoint(at(0.25, 0.5));
        mark->lineToPoint(at(0.75, 0.5));
    } else {
        mark->moveToPoint(at(0.24, 0.52));
        mark->lineToPoint(at(0.43, 0.72));
        mark->lineToPoint(at(0.77, 0.3));
    }
    strokePath(*mark, grey(1, alpha), 2);
}

void drawRadioButton(NSRect box, bool on, BezelLook look) {
    NSRect r = NSInsetRect(box, 0.5, 0.5);
    auto circle = NSBezierPath::bezierPathWithOvalInRect(r);
    double alpha = look.enabled ? 1 : 0.45;
    if (on) {
        accentColor()->colorWithAlphaComponent(alpha)->setFill();
        circle->fill();
        grey(1, alpha)->setFill();
        NSBezierPath::bezierPathWithOvalInRect(
            NSInsetRect(r, r.size.width * 0.32, r.size.height * 0.32))
            ->fill();
    } else {
        grey(look.pressed ? 0.30 : 0.20, alpha)->setFill();
        circle->fill();
        strokePath(*circle, grey(0.48, alpha));
    }
}

void drawTextFieldBezel(NSRect frame, bool rounded, bool enabled) {
    NSRect r = NSInsetRect(frame, 0.5, 0.5);
    if (NSIsEmptyRect(r)) return;
    double radius = rounded ? std::min(r.size.height / 2, 8.0) : 2;
    auto path = NSBezierPath::bezierPathWithRoundedRect(r, radius, radius);
    grey(0.12, enabled ? 1 : 0.6)->setFill();
    path->fill();
    strokePath(*path, grey(0.36, enabled ? 1 : 0.6));
}

void drawTextFieldBorder(NSRect frame) {
    grey(0.45)->setStroke();
    NSBezierPath::strokeRect(NSInsetRect(frame, 0.5, 0.5));
}

void drawSegmentedBackground(NSRect frame, bool enabled) {
    NSRect r = NSInsetRect(frame, 0.5, 0.5);
    if (NSIsEmptyRect(r)) return;
    auto path = NSBezierPath::bezierPathWithRoundedRect(r, 4, 4);
    double alpha = enabled ? 1 : 0.5;
    fillVertical(*path, grey(0.30, alpha), grey(0.26, alpha));
    strokePath(*path, grey(0.12, alpha));
}

void drawSegment(NSRect rect, SegmentLook look) {
    if (!look.selected && !look.pressed) return;
    NSRect r = NSInsetRect(rect, 1, 1);
    if (NSIsEmptyRect(r)) return;
    // Round only the outer corners: clip a rounded path to the segment.
    NSGraphicsContext::saveGraphicsState();
    NSBezierPath::bezierPathWithRect(r)->addClip();
    NSRect shape = r;
    if (!look.first) {
        shape.origin.x -= 4;
        shape.size.width += 4;
    }
    if (!look.last) shape.size.width += 4;
    auto path = NSBezierPath::bezierPathWithRoundedRect(shape, 3, 3);
    double alpha = look.enabled ? 1 : 0.5;
    if (look.selected)
        accentColor()->colorWithAlphaComponent(alpha * (look.pressed ? 0.8 : 1))->setFill();
    else
        grey(0.40, alpha)->setFill();
    path->fill();
    NSGraphicsContext::restoreGraphicsState();
}

void drawSegmentDivider(NSRect rect) {
    grey(0.14)->setFill();
    NSBezierPath::fillRect(
        NSMakeRect(NSMaxX(rect) - 1, NSMinY(rect) + 3, 1, std::max(0.0, rect.size.height - 6)));
}

Ref<NSColor> segmentLabelColor(bool selected, bool enabled) {
    if (selected) return grey(1, enabled ? 1 : 0.5);
    return grey(0.82, enabled ? 1 : 0.4);
}

}  // namespace platform::theme
