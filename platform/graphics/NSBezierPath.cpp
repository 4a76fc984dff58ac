#include "platform/graphics/NSBezierPath.h"

#include <cmath>
#include <numbers>

#include "platform/graphics/NSAffineTransform.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {

using namespace platform::detail;

constexpr double kPi = std::numbers::pi;
// Control distance, as a fraction of the radius, of a cubic approximating a quarter circle.
constexpr double kQuarterKappa = 0.5522847498307936;

NSPoint add(NSPoint a, NSPoint b) {
    return {a.x + b.x, a.y + b.y};
}
NSPoint sub(NSPoint a, NSPoint b) {
    return {a.x - b.x, a.y - b.y};
}
NSPoint mul(NSPoint a, double k) {
    return {a.x * k, a.y * k};
}
double length(NSPoint a) {
    return std::hypot(a.x, a.y);
}

/// Extends [lo, hi] by the extremes of one coordinate of a cubic.
void cubicExtremes(double p0, double p1, double p2, double p3, double& lo, double& hi) {
    auto at = [&](double t) {
        double u = 1 - t;
        return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    };
    // Roots of the derivative a t^2 + b t + c.
    double a = -p0 + 3 * p1 - 3 * p2 + p3, b = 2 * (p0 - 2 * p1 + p2), c = p1 - p0;
    auto consider = [&](double t) {
        if (t > 0 && t < 1) {
            double v = at(t);
            lo = std::min(lo, v), hi = std::max(hi, v);
        }
    };
    if (std::abs(a) < 1e-12) {
        if (std::abs(b) > 1e-12) consider(-c / b);
        return;
    }
    double d = b * b - 4 * a * c;
    if (d < 0) return;
    double s = std::sqrt(d);
    consider((-b + s) / (2 * a));
    consider((-b - s) / (2 * a));
}

void withContext(const std::function<void(NSGraphicsContext&, cairo_t*)>& body) {
    if (auto context = NSGraphicsContext::currentContext()) body(*context, cairoOf(*context));
}

}  // namespace

Ref<NSBezierPath> NSBezierPath::bezierPathWithRect(NSRect rect) {
    auto path = bezierPath();
    path->appendBezierPathWithRect(rect);
    return path;
}

Ref<NSBezierPath> NSBezierPath::bezierPathWithOvalInRect(NSRect rect) {
    auto path = bezierPath();
    path->appendBezierPathWithOvalInRect(rect);
    return path;
}

Ref<NSBezierPath> NSBezierPath::bezierPathWithRoundedRect(NSRect rect, double xRadius,
                                                          double yRadius) {
    auto path = bezierPath();
    if (NSIsEmptyRect(rect)) return path;
    double rx = std::clamp(xRadius, 0.0, rect.size.width / 2);
    double ry = std::clamp(yRadius, 0.0, rect.size.height / 2);
    if (rx <= 0 || ry <= 0) {
        path->appendBezierPathWithRect(rect);
        return path;
    }
    double x0 = NSMinX(rect), y0 = NSMinY(rect), x1 = NSMaxX(rect), y1 = NSMaxY(rect);
    double kx = rx * kQuarterKappa, ky = ry * kQuarterKappa;
    path->moveToPoint({x0 + rx, y0});
    path->lineToPoint({x1 - rx, y0});
    path->curveToPoint({x1, y0 + ry}, {x1 - rx + kx, y0}, {x1, y0 + ry - ky});
    path->lineToPoint({x1, y1 - ry});
    path->curveToPoint({x1 - rx, y1}, {x1, y1 - ry + ky}, {x1 - rx + kx, y1});
    path->lineToPoint({x0 + rx, y1});
    path->curveToPoint({x0, y1 - ry}, {x0 + rx - kx, y1}, {x0, y1 - ry + ky});
    path->lineToPoint({x0, y0 + ry});
    path->curveToPoint({x0 + rx, y0}, {x0, y0 + ry - ky}, {x0 + rx - kx, y0});
    path->closePath();
    return path;
}

void NSBezierPath::fillRect(NSRect rect) {
    bezierPathWithRect(rect)->fill();
}
void NSBezierPath::strokeRect(NSRect rect) {
    bezierPathWithRect(rect)->stroke();
}
void NSBezierPath::strokeLineFromPoint(NSPoint from, NSPoint to) {
    NSBezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    path.stroke();
}

void NSBezierPath::moveToPoint(NSPoint p) {
    elements_.push_back({NSMoveToBezierPathElement, {p, {}, {}}});
    current_ = subpathStart_ = p;
    hasCurrentPoint_ = true;
}

void NSBezierPath::lineToPoint(NSPoint p) {
    if (!hasCurrentPoint_) {
        moveToPoint(p);
        return;
    }
    elements_.push_back({NSLineToBezierPathElement, {p, {}, {}}});
    current_ = p;
}

void NSBezierPath::curveToPoint(NSPoint end, NSPoint controlPoint1, NSPoint controlPoint2) {
    if (!hasCurrentPoint_) moveToPoint(controlPoint1);
    elements_.push_back({NSCurveToBezierPathElement, {controlPoint1, controlPoint2, end}});
    current_ = end;
}

void NSBezierPath::appendBezierPathWithArcFromPoint(NSPoint p1, NSPoint p2, double radius) {
    if (!hasCurrentPoint_) {
        moveToPoint(p1);
        return;
    }
    NSPoint p0 = current_;
    NSPoint a = sub(p0, p1), b = sub(p2, p1);
    double la = length(a), lb = length(b);
    if (radius <= 0 || la == 0 || lb == 0) {
        lineToPoint(p1);
        return;
    }
    NSPoint u = mul(a, 1 / la), v = mul(b, 1 / lb);
    double cosTheta = std::clamp(u.x * v.x + u.y * v.y, -1.0, 1.0);
    double theta = std::acos(cosTheta);        // the angle at the corner
    if (theta < 1e-9 || kPi - theta < 1e-9) {  // the lines are one line
        lineToPoint(p1);
        return;
    }
    double distance = radius / std::tan(theta / 2);  // corner to each tangent point
    NSPoint t1 = add(p1, mul(u, distance)), t2 = add(p1, mul(v, distance));
    double sweep = kPi - theta;
    double k = 4.0 / 3.0 * std::tan(sweep / 4) * radius;
    lineToPoint(t1);
    curveToPoint(t2, sub(t1, mul(u, k)), sub(t2, mul(v, k)));
}

void NSBezierPath::appendBezierPathWithArcWithCenter(NSPoint center, double radius,
                                                     double startAngle, double endAngle,
                                                     bool clockwise) {
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
    double start = startAngle * kPi / 180, end = endAngle * kPi / 180;
    // Angles a full turn apart (or more) draw a whole circle; otherwise the sweep goes the
    // asked way round, less than a turn.
    if (clockwise) {
        while (end > start)
            end -= 2 * kPi;
        if (start - end > 2 * kPi) end = start - 2 * kPi;
    } else {
        while (end < start)
            end += 2 * kPi;
        if (end - start > 2 * kPi) end = start + 2 * kPi;
    }
    auto pointAt = [&](double angle) {
        return NSPoint{center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)};
    };
    NSPoint first = pointAt(start);
    if (elements_.empty() || !hasCurrentPoint_)
        moveToPoint(first);
    else
        lineToPoint(first);
    double total = end - start;
    int segments = std::max(1, static_cast<int>(std::ceil(std::abs(total) / (kPi / 2) - 1e-9)));
    double step = total / segments;
    double k = 4.0 / 3.0 * std::tan(step / 4) * radius;
    for (int i = 0; i < segments; ++i) {
        double a0 = start + step * i, a1 = a0 + step;
        NSPoint q0 = pointAt(a0), q1 = pointAt(a1);
        NSPoint c1 = {q0.x - k * std::sin(a0), q0.y + k * std::cos(a0)};
        NSPoint c2 = {q1.x + k * std::sin(a1), q1.y - k * std::cos(a1)};
        curveToPoint(q1, c1, c2);
    }
}

void NSBezierPath::appendBezierPathWithRect(NSRect rect) {
    moveToPoint({NSMinX(rect), NSMinY(rect)});
    lineToPoint({NSMaxX(rect), NSMinY(rect)});
    lineToPoint({NSMaxX(rect), NSMaxY(rect)});
    lineToPoint({NSMinX(rect), NSMaxY(rect)});
    closePath();
}

void NSBezierPath::appendBezierPathWithOvalInRect(NSRect rect) {
    double cx = NSMidX(rect), cy = NSMidY(rect);
    double rx = rect.size.width / 2, ry = rect.size.height / 2;
    double kx = rx * kQuarterKappa, ky = ry * kQuarterKappa;
    moveToPoint({cx + rx, cy});
    curveToPoint({cx, cy + ry}, {cx + rx, cy + ky}, {cx + kx, cy + ry});
    curveToPoint({cx - rx, cy}, {cx - kx, cy + ry}, {cx - rx, cy + ky});
    curveToPoint({cx, cy - ry}, {cx - rx, cy - ky}, {cx - kx, cy - ry});
    curveToPoint({cx + rx, cy}, {cx + kx, cy - ry}, {cx + rx, cy - ky});
    closePath();
}

void NSBezierPath::appendBezierPath(const NSBezierPath& other) {
    for (const Element& e : other.elements_) {
        switch (e.kind) {
            case NSMoveToBezierPathElement:
                moveToPoint(e.points[0]);
                break;
            case NSLineToBezierPathElement:
                lineToPoint(e.points[0]);
                break;
            case NSCurveToBezierPathElement:
                curveToPoint(e.points[2], e.points[0], e.points[1]);
                break;
            case NSClosePathBezierPathElement:
                closePath();
                break;
        }
    }
}

void NSBezierPath::closePath() {
    if (!hasCurrentPoint_) return;
    elements_.push_back({NSClosePathBezierPathElement, {}});
    current_ = subpathStart_;
}

void NSBezierPath::removeAllPoints() {
    elements_.clear();
    hasCurrentPoint_ = false;
    current_ = subpathStart_ = {};
}

void NSBezierPath::setLineDash(const std::vector<double>& pattern, double phase) {
    dash_ = pattern;
    dashPhase_ = phase;
}

void NSBezierPath::transformUsingAffineTransform(const NSAffineTransform& transform) {
    for (Element& e : elements_)
        for (NSPoint& p : e.points)
            p = transform.transformPoint(p);
    current_ = transform.transformPoint(current_);
    subpathStart_ = transform.transformPoint(subpathStart_);
}

void NSBezierPath::appendToCairo(void* cairoContext) const {
    auto* cr = static_cast<cairo_t*>(cairoContext);
    cairo_new_path(cr);
    for (const Element& e : elements_) {
        const NSPoint* p = e.points;
        switch (e.kind) {
            case NSMoveToBezierPathElement:
                cairo_move_to(cr, p[0].x, p[0].y);
                break;
            case NSLineToBezierPathElement:
                cairo_line_to(cr, p[0].x, p[0].y);
                break;
            case NSCurveToBezierPathElement:
                cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
                break;
            case NSClosePathBezierPathElement:
                cairo_close_path(cr);
                break;
        }
    }
    cairo_set_fill_rule(
        cr, winding_ == NSEvenOddWindingRule ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
}

void NSBezierPath::fill() const {
    withContext([&](NSGraphicsContext& context, cairo_t* cr) {
        auto paint = [&](cairo_t* target) {
            cairo_save(target);
            appendToCairo(target);
            setSourceColor(target, stateOf(context).fill);
            cairo_set_operator(target, cairoOperator(stateOf(context).operation));
            cairo_fill(target);
            cairo_restore(target);
        };
        drawWithShadow(
            context, [&] { paint(cr); }, nullptr, paint);
    });
}

void NSBezierPath::stroke() const {
    withContext([&](NSGraphicsContext& context, cairo_t* cr) {
        auto paint = [&](cairo_t* target) {
            cairo_save(target);
            appendToCairo(target);
            setSourceColor(target, stateOf(context).stroke);
            cairo_set_operator(target, cairoOperator(stateOf(context).operation));
            // A width of 0 is the thinnest line the device can show.
            double width = lineWidth_;
            if (width <= 0) {
                double dx = 1, dy = 0;
                cairo_device_to_user_distance(target, &dx, &dy);
                width = std::hypot(dx, dy);
            }
            cairo_set_line_width(target, width);
            cairo_set_line_join(target, join_ == NSRoundLineJoinStyle   ? CAIRO_LINE_JOIN_ROUND
                                        : join_ == NSBevelLineJoinStyle ? CAIRO_LINE_JOIN_BEVEL
                                                                        : CAIRO_LINE_JOIN_MITER);
            cairo_set_line_cap(target, cap_ == NSRoundLineCapStyle    ? CAIRO_LINE_CAP_ROUND
                                       : cap_ == NSSquareLineCapStyle ? CAIRO_LINE_CAP_SQUARE
                                                                      : CAIRO_LINE_CAP_BUTT);
            cairo_set_miter_limit(target, miterLimit_);
            if (!dash_.empty())
                cairo_set_dash(target, dash_.data(), static_cast<int>(dash_.size()), dashPhase_);
            cairo_stroke(target);
            cairo_restore(target);
        };
        drawWithShadow(
            context, [&] { paint(cr); }, nullptr, paint);
    });
}

void NSBezierPath::addClip() const {
    withContext([&](NSGraphicsContext&, cairo_t* cr) {
        appendToCairo(cr);
        cairo_clip(cr);
    });
}

void NSBezierPath::setClip() const {
    withContext([&](NSGraphicsContext&, cairo_t* cr) {
        cairo_reset_clip(cr);
        appendToCairo(cr);
        cairo_clip(cr);
    });
}

NSRect NSBezierPath::bounds() const {
    if (elements_.empty()) return NSZeroRect;
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    auto include = [&](NSPoint p) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    };
    NSPoint last{};
    for (const Element& e : elements_) {
        switch (e.kind) {
            case NSMoveToBezierPathElement:
            case NSLineToBezierPathElement:
                include(e.points[0]);
                last = e.points[0];
                break;
            case NSCurveToBezierPathElement: {
                const NSPoint* p = e.points;
                include(p[2]);
                cubicExtremes(last.x, p[0].x, p[1].x, p[2].x, x0, x1);
                cubicExtremes(last.y, p[0].y, p[1].y, p[2].y, y0, y1);
                last = p[2];
                break;
            }
            case NSClosePathBezierPathElement:
                break;
        }
    }
    if (x0 > x1) return NSZeroRect;
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

NSRect NSBezierPath::controlPointBounds() const {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Element& e : elements_) {
        int n = e.kind == NSCurveToBezierPathElement     ? 3
                : e.kind == NSClosePathBezierPathElement ? 0
                                                         : 1;
        for (int i = 0; i < n; ++i) {
            x0 = std::min(x0, e.points[i].x), y0 = std::min(y0, e.points[i].y);
            x1 = std::max(x1, e.points[i].x), y1 = std::max(y1, e.points[i].y);
        }
    }
    if (x0 > x1) return NSZeroRect;
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

bool NSBezierPath::containsPoint(NSPoint p) const {
    if (elements_.empty()) return false;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    appendToCairo(cr);
    bool inside = cairo_in_fill(cr, p.x, p.y);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return inside;
}
