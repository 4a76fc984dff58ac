#pragma once
// Affine transforms of the plane, composed as the platform composes them: each
// translate/rotate/scale applies before the transform built so far.

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

/// x' = m11 x + m21 y + tX, y' = m12 x + m22 y + tY.
struct NSAffineTransformStruct {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, tX = 0, tY = 0;
    bool operator==(const NSAffineTransformStruct&) const = default;
};

class NSAffineTransform {
  public:
    /// The identity.
    static Ref<NSAffineTransform> transform() { return std::make_shared<NSAffineTransform>(); }
    NSAffineTransform() = default;
    explicit NSAffineTransform(const NSAffineTransformStruct& m) : m_(m) {}

    const NSAffineTransformStruct& transformStruct() const { return m_; }
    void setTransformStruct(const NSAffineTransformStruct& m) { m_ = m; }

    /// Translates the coordinates that the transform receives.
    void translateXBy(double dx, double dy);
    /// Rotates counter-clockwise (in y-up coordinates) by `degrees`.
    void rotateByDegrees(double degrees);
    void rotateByRadians(double radians);
    void scaleXBy(double sx, double sy);
    void scaleBy(double s) { scaleXBy(s, s); }
    /// This transform followed by `other`.
    void appendTransform(const NSAffineTransform& other);
    /// `other` followed by this transform.
    void prependTransform(const NSAffineTransform& other);
    /// Inverts the transform; a singular transform is left unchanged.
    void invert();

    NSPoint transformPoint(NSPoint p) const;
    /// Transforms a vector: no translation.
    NSSize transformSize(NSSize s) const;

    /// Applies the transform to the current context's coordinates.
    void concat() const;
    /// Makes the transform the current context's coordinates, relative to the context's base
    /// coordinates (those it was made with).
    void set() const;

  private:
    NSAffineTransformStruct m_;
};
