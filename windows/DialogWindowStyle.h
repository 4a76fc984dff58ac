#pragma once
// The look and manner every dialog of the application shares: a clear window without the
// standard frame's colour, centred on the screen and moved by dragging anywhere on it, whose
// only standard button is the close button, and which ends the modal loop it runs in when it
// closes.

#include "platform/appkit/NSWindow.h"
#include "platform/appkit/NSWindowController.h"

class DialogWindowStyle {
  public:
    /// Centres `window`, makes it movable by its background, not opaque and clear; nothing
    /// for nullptr.
    static void centreClearAndMovable(NSWindow* window);
    /// Sends `closeAction` to `target` from the close button and hides the minimise and zoom
    /// buttons; nothing for nullptr.
    static void keepOnlyCloseButton(NSWindow* window, const WeakRef<NSObject>& target,
                                    SEL closeAction);
    /// Both of the above: the whole set-up of a dialog whose close button calls `closeAction`.
    static void apply(NSWindow* window, const WeakRef<NSObject>& target, SEL closeAction);
    /// Closes the controller's window when it was loaded and stops the application's current
    /// modal loop.
    static void closeAndStopModal(NSWindowController& controller);
};
