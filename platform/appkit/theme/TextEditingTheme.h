#pragma once
// The look of text editing that the platform draws itself: the insertion point and the
// selection behind selected text.

#include "platform/foundation/Ref.h"

class NSColor;

namespace platform::theme {

/// Width of the insertion point, in points.
inline constexpr double kInsertionPointWidth = 1;
/// How long the insertion point stays shown, then hidden, while it blinks (seconds).
inline constexpr double kInsertionPointBlinkInterval = 0.5;

/// The insertion point's colour when the editor was given none.
Ref<NSColor> insertionPointColor();
/// The fill behind selected text: strong in the key window, muted elsewhere.
Ref<NSColor> textSelectionColor(bool active);

}  // namespace platform::theme
