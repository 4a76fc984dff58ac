#pragma once
// The application class: turns Command-key presses into the standard edit commands for the
// first responder before the menus see them.

#include "platform/appkit/NSApplication.h"

class MyNSApplication : public NSApplication {
  public:
    void sendEvent(NSEvent& event) override;
    /// The edit action for a key-down (cut:, copy:, paste:, undo:, selectAll:, redo:), or a
    /// null selector when the event is not one of the shortcuts.
    static SEL editActionForEvent(const NSEvent& event);
    static void registerClass();
};
