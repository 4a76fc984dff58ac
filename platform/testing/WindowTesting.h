#pragma once
// Test helpers for windows: inject mouse and key input at window coordinates through the
// backend's event queue, pump it, and render a window to a PNG file.

#include <string>

#include "platform/appkit/NSEvent.h"
#include "platform/foundation/NSGeometry.h"

class NSWindow;
class NSGraphicsContext;

namespace platform::testing {

/// Queues a mouse event of `type` at `point` (base coordinates of `window`).
void postMouse(NSWindow& window, NSEventType type, NSPoint point, NSEventModifierFlags flags = 0,
               long clickCount = 1);
/// Queues a left mouse-down and mouse-up at `point`.
void postClick(NSWindow& window, NSPoint point, NSEventModifierFlags flags = 0,
               long clickCount = 1);
/// Queues a key-down and key-up of `characters` with `keyCode`.
void postKey(NSWindow& window, const std::string& characters, unsigned short keyCode = 0,
             NSEventModifierFlags flags = 0);
/// Queues a scroll-wheel event at `point`.
void postScroll(NSWindow& window, NSPoint point, double deltaX, double deltaY);

/// Sends every queued event to its window, runs one turn of the main run loop and redraws the
/// windows that are dirty. Returns the number of events delivered.
int pumpEvents();

/// Draws `window` now and returns its surface (nullptr when the window is not visible).
Ref<NSGraphicsContext> renderWindow(NSWindow& window);
/// Draws `window` now and writes it to `path`; false on failure.
bool renderWindowToPNG(NSWindow& window, const std::string& path);

}  // namespace platform::testing
