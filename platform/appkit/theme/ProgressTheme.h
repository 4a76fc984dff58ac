#pragma once
// The look of progress indicators: the bar (determinate and indeterminate) and the spinner,
// in the dark look of the other controls.

#include "platform/foundation/NSGeometry.h"

namespace platform::theme {

/// Number of distinct frames of the spinner and of the indeterminate bar's stripes.
inline constexpr int kProgressAnimationSteps = 12;
/// Thickness of a regular bar; the bar is centred vertically in a taller frame.
inline constexpr double kProgressBarThickness = 6;

/// Draws a bar filled to `fraction` (0 to 1) of its length.
void drawProgressBar(NSRect frame, double fraction);
/// Draws a bar with moving stripes at animation `step`.
void drawIndeterminateProgressBar(NSRect frame, int step);
/// Draws the spinner at animation `step` (its brightest spoke turns with it).
void drawSpinner(NSRect frame, int step);

}  // namespace platform::theme
