#pragma once
// Showing the application's main menu where this desktop has no global menu bar: the menu pops
// up over a window, its top-level items ("Uninstaller", "Help", ...) forming the first level
// and their submenus cascading from them.
//
// NSApplication calls showMainMenu when F10 is pressed in a window (at the pointer, or at the
// top-left of the content when the pointer is elsewhere) and on a right-click in a window's
// title bar (at the click).

#include "platform/foundation/NSGeometry.h"

class NSWindow;

namespace platform {

/// Pops up NSApp->mainMenu() at `locationInWindow` (base coordinates of `window`); a location
/// off the window opens it at the top-left corner of the content area. Returns after the menu
/// closed and the chosen item's action was sent; does nothing without an application, a main
/// menu or a window.
void showMainMenu(NSWindow* window, NSPoint locationInWindow);

}  // namespace platform
