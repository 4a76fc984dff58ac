#pragma once
// The view that draws an image window's title bar and its title, and miniaturises the window
// on a double click when the user asked for that.

#include "platform/appkit/NSView.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSBezierPath.h"

class TCImageWindow;

class QVTitlebarView : public NSView {
  public:
    static Ref<QVTitlebarView> make(NSRect frame) {
        auto view = std::make_shared<QVTitlebarView>();
        view->initWithFrame(frame);
        return view;
    }

    /// The window's drawing block, or the transparent default, then the title when enabled.
    void drawRect(NSRect dirtyRect) override;
    /// The title's rectangle in this view and its attributes (font, colour, shadow) for
    /// `window`; either out-pointer may be null.
    void getTitleFrame(NSRect* frame, NSAttributes* attributes, TCImageWindow* window) const;
    /// A double click miniaturises the window when "AppleMiniaturizeOnDoubleClick" is YES.
    void mouseUp(NSEvent& event) override;
    /// Kept for clients; draws nothing.
    void drawNoiseWithOpacity(double opacity);
    /// Clicks on the bar belong to the bar (its container moves the window).
    bool mouseDownCanMoveWindow() const override { return true; }

    /// Whether `window` draws as main: it is the main window and the application is active.
    static bool drawsAsMain(const NSWindow* window);
    /// The bar's clipping path: rounded top corners of radius 16, square bottom corners.
    static Ref<NSBezierPath> clippingPath(NSRect rect);

    static void registerClass();
};
