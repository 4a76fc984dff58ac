#pragma once
// Colour conversion for the title bar: an NSColor as a Core Graphics style colour record.

#include <array>
#include <string>

#include "platform/graphics/NSColor.h"

/// A colour as Core Graphics holds it: a colour-space name and its components, owned by value.
struct QVCGColor {
    /// The colour space the components are in ("kCGColorSpaceGenericRGB").
    std::string colorSpace;
    /// Red, green, blue and alpha in 0..1.
    std::array<CGFloat, 4> components{};

    bool operator==(const QVCGColor&) const = default;
};

/// `color` converted to calibrated RGB, as a generic-RGB colour with the same four components.
QVCGColor QV_CGColorCreate(const NSColor& color);
/// The device-RGB NSColor with the components of `color` (for drawing a converted colour).
Ref<NSColor> QV_NSColorFromCGColor(const QVCGColor& color);
