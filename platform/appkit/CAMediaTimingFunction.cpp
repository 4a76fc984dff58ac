#include "platform/appkit/CAMediaTimingFunction.h"

#include <algorithm>
#include <cmath>

const std::string kCAMediaTimingFunctionLinear = "linear";
const std::string kCAMediaTimingFunctionEaseIn = "easeIn";
const std::string kCAMediaTimingFunctionEaseOut = "easeOut";
const std::string kCAMediaTimingFunctionEaseInEaseOut = "easeInEaseOut";
const std::string kCAMediaTimingFunctionDefault = "default";

namespace {

/// One coordinate of the curve at parameter s, with end points 0 and 1.
double bezier(double s, double p1, double p2) {
    double r = 1 - s;
    return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
}

}  // namespace

Ref<CAMediaTimingFunction> CAMediaTimingFunction::functionWithName(const std::string& name) {
    if (name == kCAMediaTimingFunctionEaseIn) return functionWithControlPoints(0.42, 0, 1, 1);
    if (name == kCAMediaTimingFunctionEaseOut) return functionWithControlPoints(0, 0, 0.58, 1);
    if (name == kCAMediaTimingFunctionEaseInEaseOut)
        return functionWithControlPoints(0.42, 0, 0.58, 1);
    if (name == kCAMediaTimingFunctionDefault) return functionWithControlPoints(0.25, 0.1, 0.25, 1);
    return functionWithControlPoints(0, 0, 1, 1);
}

Ref<CAMediaTimingFunction> CAMediaTimingFunction::functionWithControlPoints(double x1, double y1,
                                                                            double x2, double y2) {
    return std::make_shared<CAMediaTimingFunction>(x1, y1, x2, y2);
}

CAMediaTimingFunction::CAMediaTimingFunction(double x1, double y1, double x2, double y2)
    : x1_(std::clamp(x1, 0.0, 1.0)), y1_(y1), x2_(std::clamp(x2, 0.0, 1.0)), y2_(y2) {}

double CAMediaTimingFunction::valueAtTime(double time) const {
    if (!(time > 0)) return 0;
    if (time >= 1) return 1;
    // x(s) rises from 0 to 1 when both x control points lie in 0...1: bisect for x(s) = time.
    double lo = 0, hi = 1, s = time;
    for (int i = 0; i < 60; ++i) {
        s = (lo + hi) / 2;
        double x = bezier(s, x1_, x2_);
        if (std::fabs(x - time) < 1e-9) break;
        if (x < time)
            lo = s;
        else
            hi = s;
    }
    return bezier(s, y1_, y2_);
}
