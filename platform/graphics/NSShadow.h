#pragma once
// Shadows: an offset, a blur radius and a colour, cast beneath what is drawn while set.

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"
#include "platform/graphics/NSColor.h"

class NSShadow {
  public:
    static Ref<NSShadow> make() { return std::make_shared<NSShadow>(); }

    /// In base coordinates (y up), unaffected by the current transform; (0, 0) by default.
    NSSize shadowOffset() const { return offset_; }
    void setShadowOffset(NSSize offset) { offset_ = offset; }
    /// The blur radius in points; 0 (a sharp shadow) by default.
    double shadowBlurRadius() const { return blurRadius_; }
    void setShadowBlurRadius(double radius) { blurRadius_ = radius < 0 ? 0 : radius; }
    /// Black with alpha 1/3 by default; nullptr casts no shadow.
    const Ref<NSColor>& shadowColor() const { return color_; }
    void setShadowColor(const Ref<NSColor>& color) { color_ = color; }

    /// Makes a copy of this shadow the current context's shadow: fills, strokes, images and
    /// text drawn until the state is restored cast it.
    void set() const;

  private:
    NSSize offset_{};
    double blurRadius_ = 0;
    Ref<NSColor> color_ = NSColor::colorWithCalibratedWhite(0, 1.0 / 3.0);
};
