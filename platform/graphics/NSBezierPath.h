#pragma once
// Paths of lines and cubic curves, kept as elements so that bounds and hit tests need no
// context, filled, stroked or used as a clip in the current context.

#include <vector>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSAffineTransform;

enum NSLineJoinStyle : unsigned long {
    NSMiterLineJoinStyle = 0,
    NSRoundLineJoinStyle = 1,
    NSBevelLineJoinStyle = 2,
};

enum NSLineCapStyle : unsigned long {
    NSButtLineCapStyle = 0,
    NSRoundLineCapStyle = 1,
    NSSquareLineCapStyle = 2,
};

enum NSWindingRule : unsigned long {
    NSNonZeroWindingRule = 0,
    NSEvenOddWindingRule = 1,
};

enum NSBezierPathElement : unsigned long {
    NSMoveToBezierPathElement = 0,
    NSLineToBezierPathElement = 1,
    NSCurveToBezierPathElement = 2,
    NSClosePathBezierPathElement = 3,
};

class NSBezierPath {
  public:
    /// One element: a move or line uses points[0]; a curve uses control points points[0] and
    /// points[1] and ends at points[2].
    struct Element {
        NSBezierPathElement kind;
        NSPoint points[3];
    };

    static Ref<NSBezierPath> bezierPath() { return std::make_shared<NSBezierPath>(); }
    static Ref<NSBezierPath> bezierPathWithRect(NSRect rect);
    static Ref<NSBezierPath> bezierPathWithOvalInRect(NSRect rect);
    /// Radii larger than half the rectangle's width or height are reduced to it.
    static Ref<NSBezierPath> bezierPathWithRoundedRect(NSRect rect, double xRadius, double yRadius);

    /// Fills or strokes a rectangle in the current context with the current colours.
    static void fillRect(NSRect rect);
    static void strokeRect(NSRect rect);
    static void strokeLineFromPoint(NSPoint from, NSPoint to);

    void moveToPoint(NSPoint p);
    /// Lines to `p` (moves there when the path has no current point).
    void lineToPoint(NSPoint p);
    void curveToPoint(NSPoint end, NSPoint controlPoint1, NSPoint controlPoint2);
    /// An arc of `radius` tangent to the line from the current point to `p1` and to the line
    /// from `p1` to `p2`, preceded by a line to its first tangent point (as PostScript arct).
    void appendBezierPathWithArcFromPoint(NSPoint p1, NSPoint p2, double radius);
    /// An arc around `center` from `startAngle` to `endAngle` (degrees, counter-clockwise in
    /// y-up coordinates unless `clockwise`), preceded by a line (or a move, when the path is
    /// empty) to its start.
    void appendBezierPathWithArcWithCenter(NSPoint center, double radius, double startAngle,
                                           double endAngle, bool clockwise = false);
    void appendBezierPathWithRect(NSRect rect);
    void appendBezierPathWithOvalInRect(NSRect rect);
    void appendBezierPath(const NSBezierPath& other);
    void closePath();
    void removeAllPoints();

    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { lineWidth_ = width; }
    NSLineJoinStyle lineJoinStyle() const { return join_; }
    void setLineJoinStyle(NSLineJoinStyle style) { join_ = style; }
    NSLineCapStyle lineCapStyle() const { return cap_; }
    void setLineCapStyle(NSLineCapStyle style) { cap_ = style; }
    double miterLimit() const { return miterLimit_; }
    void setMiterLimit(double limit) { miterLimit_ = limit; }
    NSWindingRule windingRule() const { return winding_; }
    void setWindingRule(NSWindingRule rule) { winding_ = rule; }
    /// Dashes: lengths of painted and unpainted stretches, starting `phase` into the pattern.
    void setLineDash(const std::vector<double>& pattern, double phase);

    void transformUsingAffineTransform(const NSAffineTransform& transform);

    /// Fills with the current fill colour (casting the current shadow, from the whole path
    /// even where the clip hides it).
    void fill() const;
    /// Strokes with the current stroke colour and this path's line attributes (casting the
    /// current shadow as fill() does).
    void stroke() const;
    /// Intersects the current clip with the path.
    void addClip() const;
    /// Replaces the current clip (including any clip set by the view renderer) with the path.
    void setClip() const;

    /// The smallest rectangle that encloses the path's curves (not their control points).
    NSRect bounds() const;
    /// The rectangle that encloses every point and control point.
    NSRect controlPointBounds() const;
    bool isEmpty() const { return elements_.empty(); }
    /// Whether `p` lies inside the filled path, by the path's winding rule.
    bool containsPoint(NSPoint p) const;
    /// The last point of the path (the point of the last move after a close).
    NSPoint currentPoint() const { return current_; }

    const std::vector<Element>& elements() const { return elements_; }
    std::size_t elementCount() const { return elements_.size(); }

    /// Platform code: the path as a Cairo path on `cairoContext` (a cairo_t*), replacing its
    /// current path.
    void appendToCairo(void* cairoContext) const;

  private:
    std::vector<Element> elements_;
    NSPoint current_{};
    NSPoint subpathStart_{};
    bool hasCurrentPoint_ = false;
    double lineWidth_ = 1;
    double miterLimit_ = 10;
    NSLineJoinStyle join_ = NSMiterLineJoinStyle;
    NSLineCapStyle cap_ = NSButtLineCapStyle;
    NSWindingRule winding_ = NSNonZeroWindingRule;
    std::vector<double> dash_;
    double dashPhase_ = 0;
};
