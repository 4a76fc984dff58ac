#pragma once
// The look of the window frames the platform draws: title-bar metrics and drawing.

#include <string>

#include "platform/foundation/NSGeometry.h"

class NSGraphicsContext;

namespace platform::theme {

/// Height of the title bar of a titled window.
inline constexpr double kTitleBarHeight = 22;
/// Size of the close, minimise and zoom buttons.
inline constexpr double kWindowButtonSize = 14;
/// x of the close button, and the gap between two window buttons.
inline constexpr double kWindowButtonLeftMargin = 8;
inline constexpr double kWindowButtonSeparation = 6;

/// Draws the title bar into `rect` (unflipped coordinates of the frame view) with the title
/// centred; a key window's bar is a little lighter.
void drawTitleBar(NSGraphicsContext& context, NSRect rect, const std::string& title, bool key);

/// Draws a standard window button (kind 0 close, 1 minimise, 2 zoom) in `rect`.
void drawWindowButton(NSGraphicsContext& context, NSRect rect, int kind, bool active, bool hovered,
                      bool pressed, bool enabled);

}  // namespace platform::theme
