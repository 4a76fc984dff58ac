#include "platform/appkit/theme/ProgressTheme.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/theme/ControlTheme.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace platform::theme {

namespace {

NSRect trackRect(NSRect frame) {
    double thickness = std::min(frame.size.height, kProgressBarThickness);
    return NSMakeRect(frame.origin.x, frame.origin.y + (frame.size.height - thickness) / 2,
                      frame.size.width, thickness);
}

Ref<NSBezierPath> pill(NSRect r) {
    double radius = r.size.height / 2;
    return NSBezierPath::bezierPathWithRoundedRect(r, radius, radius);
}

}  // namespace

void drawProgressBar(NSRect frame, double fraction) {
    NSRect track = trackRect(frame);
    if (NSIsEmptyRect(track)) return;
    NSColor::colorWithDeviceWhite(0.17, 1)->setFill();
    pill(track)->fill();
    fraction = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0);
    if (fraction <= 0) return;
    NSRect fill = track;
    fill.size.width = track.size.width * fraction;
    NSGraphicsContext::saveGraphicsState();
    pill(track)->addClip();
    accentColor()->setFill();
    NSBezierPath::bezierPathWithRect(fill)->fill();
    NSGraphicsContext::restoreGraphicsState();
}

void drawIndeterminateProgressBar(NSRect frame, int step) {
    NSRect track = trackRect(frame);
    if (NSIsEmptyRect(track)) return;
    NSGraphicsContext::saveGraphicsState();
    pill(track)->addClip();
    accentColor()->colorWithAlphaComponent(0.55)->setFill();
    NSBezierPath::bezierPathWithRect(track)->fill();
    // Slanted stripes that move one step to the right on every frame.
    const double period = 12;
    double offset = period * (step % kProgressAnimationSteps) / kProgressAnimationSteps;
    NSColor::colorWithDeviceWhite(1, 0.22)->setFill();
    auto stripes = NSBezierPath::bezierPath();
    double h = track.size.height;
    for (double x = NSMinX(track) - period - h + offset; x < NSMaxX(track) + h; x += period) {
        stripes->moveToPoint(NSMakePoint(x, NSMinY(track)));
        stripes->lineToPoint(NSMakePoint(x + period / 2, NSMinY(track)));
        stripes->lineToPoint(NSMakePoint(x + period / 2 + h, NSMaxY(track)));
        stripes->lineToPoint(NSMakePoint(x + h, NSMaxY(track)));
        stripes->closePath();
    }
    stripes->fill();
    NSGraphicsContext::restoreGraphicsState();
}

void drawSpinner(NSRect frame, int step) {
    double side = std::min(frame.size.width, frame.size.height);
    if (side <= 0) return;
    NSPoint centre{NSMidX(frame), NSMidY(frame)};
    double outer = side / 2, inner = outer * 0.45, width = std::max(1.5, side / 10);
    for (int i = 0; i < kProgressAnimationSteps; ++i) {
        // Spoke i is brightest when it is the current step; the others fade behind it.
        int age = ((step - i) % kProgressAnimationSteps + kProgressAnimationSteps) %
                  kProgressAnimationSteps;
        double alpha = 1.0 - 0.75 * age / (kProgressAnimationSteps - 1);
        double angle = M_PI / 2 - 2 * M_PI * i / kProgressAnimationSteps;
        auto spoke = NSBezierPath::bezierPath();
        spoke->setLineWidth(width);
        spoke->setLineCapStyle(NSRoundLineCapStyle);
        spoke->moveToPoint(
            NSMakePoint(centre.x + inner * std::cos(angle), centre.y + inner * std::sin(angle)));
        spoke->lineToPoint(NSMakePoint(centre.x + (outer - width / 2) * std::cos(angle),
                                       centre.y + (outer - width / 2) * std::sin(angle)));
        NSColor::colorWithDeviceWhite(0.85, alpha)->setStroke();
        spoke->stroke();
    }
}

}  // namespace platform::theme
