#pragma once
// Timing curves of animations: how far an animation has got (0 to 1) at a point of its time.

#include <string>

#include "platform/foundation/Ref.h"

extern const std::string kCAMediaTimingFunctionLinear;
extern const std::string kCAMediaTimingFunctionEaseIn;
extern const std::string kCAMediaTimingFunctionEaseOut;
extern const std::string kCAMediaTimingFunctionEaseInEaseOut;
extern const std::string kCAMediaTimingFunctionDefault;

/// A cubic Bézier curve from (0, 0) to (1, 1) through two control points.
class CAMediaTimingFunction {
  public:
    /// The curve of a standard name; an unknown name gives the linear curve.
    static Ref<CAMediaTimingFunction> functionWithName(const std::string& name);
    /// A curve with control points (x1, y1) and (x2, y2); x values are clamped to 0...1.
    static Ref<CAMediaTimingFunction> functionWithControlPoints(double x1, double y1, double x2,
                                                                double y2);

    CAMediaTimingFunction(double x1, double y1, double x2, double y2);

    /// The progress at `time` (both 0...1; times outside are clamped): 0 at 0 and 1 at 1.
    double valueAtTime(double time) const;

  private:
    double x1_, y1_, x2_, y2_;
};
