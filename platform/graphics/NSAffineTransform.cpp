#include "platform/graphics/NSAffineTransform.h"

#include <cmath>
#include <numbers>

#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {

/// `a` applied first, then `b`.
NSAffineTransformStruct multiply(const NSAffineTransformStruct& a,
                                 const NSAffineTransformStruct& b) {
    NSAffineTransformStruct r;
    r.m11 = a.m11 * b.m11 + a.m12 * b.m21;
    r.m12 = a.m11 * b.m12 + a.m12 * b.m22;
    r.m21 = a.m21 * b.m11 + a.m22 * b.m21;
    r.m22 = a.m21 * b.m12 + a.m22 * b.m22;
    r.tX = a.tX * b.m11 + a.tY * b.m21 + b.tX;
    r.tY = a.tX * b.m12 + a.tY * b.m22 + b.tY;
    return r;
}

}  // namespace

void NSAffineTransform::translateXBy(double dx, double dy) {
    m_ = multiply({1, 0, 0, 1, dx, dy}, m_);
}

void NSAffineTransform::rotateByDegrees(double degrees) {
    rotateByRadians(degrees * std::numbers::pi / 180.0);
}

void NSAffineTransform::rotateByRadians(double radians) {
    double c = std::cos(radians), s = std::sin(radians);
    m_ = multiply({c, s, -s, c, 0, 0}, m_);
}

void NSAffineTransform::scaleXBy(double sx, double sy) {
    m_ = multiply({sx, 0, 0, sy, 0, 0}, m_);
}

void NSAffineTransform::appendTransform(const NSAffineTransform& other) {
    m_ = multiply(m_, other.m_);
}

void NSAffineTransform::prependTransform(const NSAffineTransform& other) {
    m_ = multiply(other.m_, m_);
}

void NSAffineTransform::invert() {
    double det = m_.m11 * m_.m22 - m_.m12 * m_.m21;
    if (det == 0 || !std::isfinite(det)) return;
    NSAffineTransformStruct r;
    r.m11 = m_.m22 / det;
    r.m12 = -m_.m12 / det;
    r.m21 = -m_.m21 / det;
    r.m22 = m_.m11 / det;
    r.tX = -(m_.tX * r.m11 + m_.tY * r.m21);
    r.tY = -(m_.tX * r.m12 + m_.tY * r.m22);
    m_ = r;
}

NSPoint NSAffineTransform::transformPoint(NSPoint p) const {
    return {m_.m11 * p.x + m_.m21 * p.y + m_.tX, m_.m12 * p.x + m_.m22 * p.y + m_.tY};
}

NSSize NSAffineTransform::transformSize(NSSize s) const {
    return {m_.m11 * s.width + m_.m21 * s.height, m_.m12 * s.width + m_.m22 * s.height};
}

void NSAffineTransform::concat() const {
    if (auto context = NSGraphicsContext::currentContext()) context->concat(*this);
}

void NSAffineTransform::set() const {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    platform::detail::resetToBaseTransform(*context);
    context->concat(*this);
}
