#pragma once
// Points, sizes, rectangles and ranges in points, with the platform's helper functions.

#include <algorithm>
#include <cmath>
#include <cstddef>

struct NSPoint {
    double x = 0, y = 0;
    bool operator==(const NSPoint&) const = default;
};

struct NSSize {
    double width = 0, height = 0;
    bool operator==(const NSSize&) const = default;
};

struct NSRect {
    NSPoint origin;
    NSSize size;
    bool operator==(const NSRect&) const = default;
};

/// A range of characters or indices; `location` is NSNotFound when nothing was found.
struct NSRange {
    std::size_t location = 0, length = 0;
    bool operator==(const NSRange&) const = default;
};

inline constexpr std::size_t NSNotFound = static_cast<std::size_t>(-1);

inline NSPoint NSMakePoint(double x, double y) {
    return {x, y};
}
inline NSSize NSMakeSize(double w, double h) {
    return {w, h};
}
inline NSRect NSMakeRect(double x, double y, double w, double h) {
    return {{x, y}, {w, h}};
}
inline NSRange NSMakeRange(std::size_t loc, std::size_t len) {
    return {loc, len};
}
inline constexpr NSRect NSZeroRect{};
inline constexpr NSPoint NSZeroPoint{};
inline constexpr NSSize NSZeroSize{};

inline double NSMinX(const NSRect& r) {
    return r.origin.x;
}
inline double NSMinY(const NSRect& r) {
    return r.origin.y;
}
inline double NSMaxX(const NSRect& r) {
    return r.origin.x + r.size.width;
}
inline double NSMaxY(const NSRect& r) {
    return r.origin.y + r.size.height;
}
inline double NSMidX(const NSRect& r) {
    return r.origin.x + r.size.width / 2;
}
inline double NSMidY(const NSRect& r) {
    return r.origin.y + r.size.height / 2;
}
inline double NSWidth(const NSRect& r) {
    return r.size.width;
}
inline double NSHeight(const NSRect& r) {
    return r.size.height;
}
inline bool NSIsEmptyRect(const NSRect& r) {
    return r.size.width <= 0 || r.size.height <= 0;
}

/// Whether `p` lies in `r` (the minimum edges belong to the rectangle, the maximum edges do not).
inline bool NSPointInRect(NSPoint p, const NSRect& r) {
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}
/// As the platform's mouse-in-rect: in flipped views the top edge belongs to the rectangle.
inline bool NSMouseInRect(NSPoint p, const NSRect& r, bool flipped) {
    if (flipped) return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y > NSMinY(r) && p.y <= NSMaxY(r);
}
inline NSRect NSInsetRect(const NSRect& r, double dx, double dy) {
    return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx,
                      r.size.height - 2 * dy);
}
inline NSRect NSOffsetRect(const NSRect& r, double dx, double dy) {
    return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}
inline NSRect NSIntersectionRect(const NSRect& a, const NSRect& b) {
    double x0 = std::max(NSMinX(a), NSMinX(b)), y0 = std::max(NSMinY(a), NSMinY(b));
    double x1 = std::min(NSMaxX(a), NSMaxX(b)), y1 = std::min(NSMaxY(a), NSMaxY(b));
    if (x1 <= x0 || y1 <= y0) return NSZeroRect;
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}
inline NSRect NSUnionRect(const NSRect& a, const NSRect& b) {
    if (NSIsEmptyRect(a)) return b;
    if (NSIsEmptyRect(b)) return a;
    double x0 = std::min(NSMinX(a), NSMinX(b)), y0 = std::min(NSMinY(a), NSMinY(b));
    double x1 = std::max(NSMaxX(a), NSMaxX(b)), y1 = std::max(NSMaxY(a), NSMaxY(b));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}
inline bool NSIntersectsRect(const NSRect& a, const NSRect& b) {
    return !NSIsEmptyRect(NSIntersectionRect(a, b));
}
inline bool NSEqualRects(const NSRect& a, const NSRect& b) {
    return a == b;
}
/// The smallest rectangle with whole-number edges that holds `r`; an empty rectangle gives
/// NSZeroRect.
inline NSRect NSIntegralRect(const NSRect& r) {
    if (NSIsEmptyRect(r)) return NSZeroRect;
    const double x0 = std::floor(NSMinX(r)), y0 = std::floor(NSMinY(r));
    const double x1 = std::ceil(NSMaxX(r)), y1 = std::ceil(NSMaxY(r));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}
inline std::size_t NSMaxRange(NSRange r) {
    return r.location + r.length;
}
