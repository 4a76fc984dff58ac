#pragma once
// The look of the controls that the platform draws itself: push-button bezels, check boxes and
// radio buttons, text-field bezels and segmented bezels. A dark, neutral look with one green
// accent for "on"; no focus rings. Everything draws into the current graphics context, in the
// current (flipped or unflipped) coordinates.

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSColor;

namespace platform::theme {

/// Side of the check-box and radio glyphs of regular-size controls.
inline constexpr double kCheckBoxSize = 14;
/// Gap between a button's image and its title.
inline constexpr double kImageTitleGap = 4;
/// Horizontal and vertical room that a push-button bezel keeps around its content.
inline constexpr double kBezelPaddingX = 10;
inline constexpr double kBezelPaddingY = 3;
/// Room inside a text-field bezel or border.
inline constexpr double kTextFieldInset = 3;

/// The accent colour: selected segments, ticked boxes, progress.
Ref<NSColor> accentColor();
/// Text of titles and labels, dimmed when disabled.
Ref<NSColor> titleColor(bool enabled);
/// Text of placeholders.
Ref<NSColor> placeholderColor();

/// How a bezel is drawn: pressed (highlighted), showing the "on" state, usable.
struct BezelLook {
    bool pressed = false;
    bool on = false;
    bool enabled = true;
};

/// Draws a button bezel of `bezelStyle` (the NSBezelStyle value) filling `frame`.
void drawButtonBezel(NSRect frame, unsigned long bezelStyle, BezelLook look);
/// The pressed look of a button without a bezel: a light veil over `frame`.
void drawBorderlessHighlight(NSRect frame);
/// Draws a check box in `box` for `state` (1 on, 0 off, -1 mixed).
void drawCheckBox(NSRect box, long state, BezelLook look);
/// Draws a radio button in `box`.
void drawRadioButton(NSRect box, bool on, BezelLook look);

/// Draws the bezel of a text field (square or rounded), its interior filled.
void drawTextFieldBezel(NSRect frame, bool rounded, bool enabled);
/// Draws the plain 1-point border of a bordered text field.
void drawTextFieldBorder(NSRect frame);

/// Draws the background and outline of a segmented control in `frame`.
void drawSegmentedBackground(NSRect frame, bool enabled);
/// How one segment is drawn.
struct SegmentLook {
    bool selected = false;
    bool pressed = false;
    bool enabled = true;
    bool first = false;
    bool last = false;
};
/// Draws the fill of one segment in `rect` (the rectangle that the segment takes).
void drawSegment(NSRect rect, SegmentLook look);
/// Draws the divider at the right edge of `rect`.
void drawSegmentDivider(NSRect rect);
/// Text colour of a segment's label.
Ref<NSColor> segmentLabelColor(bool selected, bool enabled);

}  // namespace platform::theme
