#pragma once
// The root view of every window, drawn by the platform: the title bar of titled windows, the
// content view below it and the standard window buttons above it.

#include "platform/appkit/NSView.h"

class NSWindowFrameView : public NSView {
  public:
    static Ref<NSWindowFrameView> make(NSRect frame) {
        auto view = std::make_shared<NSWindowFrameView>();
        view->initWithFrame(frame);
        return view;
    }

    /// The title bar's rectangle (empty for windows without one).
    NSRect titleBarRect() const;
    void drawRect(NSRect dirtyRect) override;
    /// A right-click in the title bar opens the application's main menu.
    void rightMouseDown(NSEvent& event) override;
    /// A double click in the title bar zooms the window.
    void mouseUp(NSEvent& event) override;
};
