#include "windows/NSColor+TCAdditions.h"

QVCGColor QV_CGColorCreate(const NSColor& color) {
    // Every colour of the platform answers RGBA components, whatever its space, so the
    // calibrated RGB form of the colour has exactly these components.
    QVCGColor result;
    result.colorSpace = "kCGColorSpaceGenericRGB";
    color.getRed(&result.components[0], &result.components[1], &result.components[2],
                 &result.components[3]);
    return result;
}

Ref<NSColor> QV_NSColorFromCGColor(const QVCGColor& color) {
    const auto& c = color.components;
    return NSColor::colorWithDeviceRed(c[0], c[1], c[2], c[3]);
}
