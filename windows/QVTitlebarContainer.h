#pragma once
// The view across the top of an image window's frame view that holds the title-bar view;
// dragging it moves the window.

#include <optional>

#include "platform/appkit/NSView.h"

class QVTitlebarContainer : public NSView {
  public:
    static Ref<QVTitlebarContainer> make(NSRect frame) {
        auto view = std::make_shared<QVTitlebarContainer>();
        view->initWithFrame(frame);
        return view;
    }

    /// Notes where the button went down (the drag is measured from there), then passes the
    /// event on.
    void mouseDown(NSEvent& event) override;
    /// Moves the window with the pointer until the button is released (not in full screen).
    void mouseDragged(NSEvent& event) override;
    /// The bar moves the window itself; the platform's background drag would move it twice
    /// and swallow the bar's clicks.
    bool mouseDownCanMoveWindow() const override { return false; }

    static void registerClass();

  private:
    std::optional<NSPoint> downOnScreen_;
};
