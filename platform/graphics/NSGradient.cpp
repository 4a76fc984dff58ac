#include "platform/graphics/NSGradient.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

using namespace platform::detail;

NSGradient::NSGradient(std::vector<std::pair<Ref<NSColor>, double>> stops)
    : stops_(std::move(stops)) {
    for (auto& stop : stops_) {
        if (!stop.first) stop.first = NSColor::clearColor();
        stop.second = std::isnan(stop.second) ? 0 : std::clamp(stop.second, 0.0, 1.0);
    }
    std::stable_sort(stops_.begin(), stops_.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
}

Ref<NSGradient> NSGradient::initWithStartingColor(const Ref<NSColor>& start,
                                                  const Ref<NSColor>& end) {
    return initWithColorsAndLocations({{start, 0.0}, {end, 1.0}});
}

Ref<NSGradient> NSGradient::initWithColors(const std::vector<Ref<NSColor>>& colors) {
    if (colors.empty()) return nullptr;
    std::vector<std::pair<Ref<NSColor>, double>> stops;
    for (std::size_t i = 0; i < colors.size(); ++i)
        stops.emplace_back(colors[i],
                           colors.size() == 1
                               ? 0.0
                               : static_cast<double>(i) / static_cast<double>(colors.size() - 1));
    return initWithColorsAndLocations(stops);
}

Ref<NSGradient> NSGradient::initWithColorsAndLocations(
    const std::vector<std::pair<Ref<NSColor>, double>>& stops) {
    if (stops.empty()) return nullptr;
    return std::make_shared<NSGradient>(stops);
}

void NSGradient::drawAlong(NSPoint start, NSPoint end, bool extend) const {
    auto context = NSGraphicsContext::currentContext();
    if (!context || stops_.empty()) return;
    cairo_t* cr = cairoOf(*context);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    for (const auto& [color, location] : stops_) {
        cairo_pattern_add_color_stop_rgba(pattern, location, color->redComponent(),
                                          color->greenComponent(), color->blueComponent(),
                                          color->alphaComponent());
    }
    cairo_pattern_set_extend(pattern, extend ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    drawWithShadow(*context, [&] {
        cairo_save(cr);
        cairo_set_source(cr, pattern);
        cairo_set_operator(cr, cairoOperator(stateOf(*context).operation));
        cairo_paint(cr);
        cairo_restore(cr);
    });
    cairo_pattern_destroy(pattern);
}

void NSGradient::drawInRect(NSRect rect, double angle) const {
    auto context = NSGraphicsContext::currentContext();
    if (!context || NSIsEmptyRect(rect)) return;
    double radians = angle * std::numbers::pi / 180;
    double dx = std::cos(radians), dy = std::sin(radians);
    // The gradient spans the rectangle's extent along the direction.
    double corners[4][2] = {{NSMinX(rect), NSMinY(rect)},
                            {NSMaxX(rect), NSMinY(rect)},
                            {NSMinX(rect), NSMaxY(rect)},
                            {NSMaxX(rect), NSMaxY(rect)}};
    double lo = 1e300, hi = -1e300;
    for (auto& c : corners) {
        double t = c[0] * dx + c[1] * dy;
        lo = std::min(lo, t), hi = std::max(hi, t);
    }
    NSPoint centre{NSMidX(rect), NSMidY(rect)};
    double mid = centre.x * dx + centre.y * dy;
    NSPoint start{centre.x + (lo - mid) * dx, centre.y + (lo - mid) * dy};
    NSPoint end{centre.x + (hi - mid) * dx, centre.y + (hi - mid) * dy};
    cairo_t* cr = cairoOf(*context);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cr);
    drawAlong(start, end, true);
    cairo_restore(cr);
}

void NSGradient::drawInBezierPath(const NSBezierPath& path, double angle) const {
    auto context = NSGraphicsContext::currentContext();
    if (!context || path.isEmpty()) return;
    cairo_t* cr = cairoOf(*context);
    cairo_save(cr);
    path.appendToCairo(cr);
    cairo_clip(cr);
    drawInRect(path.bounds(), angle);
    cairo_restore(cr);
}

void NSGradient::drawFromPoint(NSPoint start, NSPoint end, unsigned long options) const {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    bool before = options & NSGradientDrawsBeforeStartingLocation;
    bool after = options & NSGradientDrawsAfterEndingLocation;
    double dx = end.x - start.x, dy = end.y - start.y;
    double len = std::hypot(dx, dy);
    if (len == 0) return;
    cairo_t* cr = cairoOf(*context);
    cairo_save(cr);
    // Half-planes bound the band between the end points where the options leave it open.
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    double reach = std::hypot(x2 - x1, y2 - y1) + std::hypot(start.x - x1, start.y - y1) +
                   std::hypot(end.x - x1, end.y - y1) + 1;
    double ux = dx / len, uy = dy / len, nx = -uy * reach, ny = ux * reach;
    auto halfPlane = [&](NSPoint at, double sign) {
        double fx = ux * reach * sign, fy = uy * reach * sign;
        cairo_new_path(cr);
        cairo_move_to(cr, at.x + nx, at.y + ny);
        cairo_line_to(cr, at.x - nx, at.y - ny);
        cairo_line_to(cr, at.x - nx + fx, at.y - ny + fy);
        cairo_line_to(cr, at.x + nx + fx, at.y + ny + fy);
        cairo_close_path(cr);
        cairo_clip(cr);
    };
    if (!before) halfPlane(start, 1);
    if (!after) halfPlane(end, -1);
    drawAlong(start, end, true);
    cairo_restore(cr);
}
