#include "platform/appkit/theme/TextEditingTheme.h"

#include "platform/graphics/NSColor.h"

namespace platform::theme {

Ref<NSColor> insertionPointColor() {
    return NSColor::colorWithDeviceWhite(0.92, 1);
}

Ref<NSColor> textSelectionColor(bool active) {
    if (active) return NSColor::colorWithDeviceRed(0.25, 0.39, 0.62, 1);
    return NSColor::colorWithDeviceWhite(0.4, 1);
}

}  // namespace platform::theme
