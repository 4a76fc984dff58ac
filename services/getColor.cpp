#include "services/getColor.h"

Ref<NSColor> getColor(float red, float green, float blue, float alpha) {
    return NSColor::colorWithDeviceRed(
        static_cast<double>(red) / 255.0, static_cast<double>(green) / 255.0,
        static_cast<double>(blue) / 255.0, static_cast<double>(alpha));
}
