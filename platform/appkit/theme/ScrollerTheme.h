#pragma once
// The look of scrollers and scroll-view borders: a thin rounded knob over a faint slot, in
// the dark look of the other controls. Everything draws into the current graphics context.

#include "platform/foundation/NSGeometry.h"

namespace platform::theme {

/// The platform's scroller thickness for a control size (0 regular, 1 small, 2 mini) and a
/// scroller style (0 legacy, 1 overlay).
double scrollerWidth(unsigned long controlSize, long scrollerStyle);
/// The shortest a knob gets, however long the document.
inline constexpr double kMinimumKnobLength = 18;
/// Room kept between the knob and the scroller's long edges.
inline constexpr double kKnobInset = 3;
/// The width of the line a scroll view draws for a border type (0 none, 1 line, 2 bezel,
/// 3 groove).
double scrollViewBorderWidth(unsigned long borderType);

/// Draws a knob filling `knob` (already inset); `knobStyle` 0 default, 1 dark, 2 light.
void drawScrollerKnob(NSRect knob, bool vertical, long knobStyle);
/// Draws the slot the knob runs in.
void drawScrollerSlot(NSRect slot, bool vertical, bool highlight);
/// Draws a scroll view's border of `borderType` just inside `bounds`.
void drawScrollViewBorder(NSRect bounds, unsigned long borderType);

}  // namespace platform::theme
