#pragma once
// Screens: the display the windows are on, in screen coordinates (origin bottom-left).

#include <vector>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSScreen {
  public:
    /// The screen with the keyboard focus; this platform has one screen.
    static NSScreen* mainScreen();
    static std::vector<NSScreen*> screens();

    /// The whole screen.
    NSRect frame() const;
    /// The part not taken by the desktop's panels.
    NSRect visibleFrame() const;
    /// Pixels per point: always 1 here.
    double backingScaleFactor() const { return 1; }
    double userSpaceScaleFactor() const { return 1; }
};
