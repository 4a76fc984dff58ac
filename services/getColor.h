#pragma once
// The one way views make colours: red, green and blue in 0 to 255, alpha in 0 to 1.

#include "platform/graphics/NSColor.h"

/// The device colour (red/255, green/255, blue/255, alpha); alpha is not scaled.
Ref<NSColor> getColor(float red, float green, float blue, float alpha);
