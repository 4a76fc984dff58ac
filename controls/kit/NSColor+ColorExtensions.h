#pragma once
// Colour helpers of the drawing kit: lighter and darker shades of a colour and a test for
// colours light enough to want dark text on them.

#include "platform/graphics/NSColor.h"

/// A calibrated colour with `value` added to each of the red, green and blue of `color` (sums in
/// single precision); always opaque, whatever the alpha of `color`.
Ref<NSColor> lightenColorByValue(const NSColor& color, float value);
/// The same with `value` taken from red, green and blue.
Ref<NSColor> darkenColorByValue(const NSColor& color, float value);
/// Whether `color` is light: the mean of its red, green and blue (the white level of a grey)
/// is above 0.8.
bool isLightColor(const NSColor& color);
