#include "controls/kit/NSColor+ColorExtensions.h"

namespace {

Ref<NSColor> shifted(const NSColor& color, float value) {
    float red = static_cast<float>(color.redComponent());
    float green = static_cast<float>(color.greenComponent());
    float blue = static_cast<float>(color.blueComponent());
    red += value;
    green += value;
    blue += value;
    return NSColor::colorWithCalibratedRed(red, green, blue, 1.0);
}

}  // namespace

Ref<NSColor> lightenColorByValue(const NSColor& color, float value) {
    return shifted(color, value);
}

Ref<NSColor> darkenColorByValue(const NSColor& color, float value) {
    return shifted(color, -value);
}

bool isLightColor(const NSColor& color) {
    if (color.numberOfComponents() == 2) return color.whiteComponent() > 0.8;
    const double mean =
        (color.redComponent() + color.greenComponent() + color.blueComponent()) / 3.0;
    return mean > 0.8;
}
