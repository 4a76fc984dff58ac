#pragma once
// What the two attached-window classes share: a borderless pop-up that shows one view beside a
// point of a parent window (or of the screen), on one of twelve sides of that point or on a
// side chosen from the room on the screen, at a distance, optionally with an arrow pointing at
// the point. It paints its translucent rounded outline into an image that becomes the window's
// pattern background. The two classes differ only in the constants given to the constructor
// and in the type of their delegate, which they reach through the two notify hooks.

#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NSView.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "windows/PopWindow/PopBaseWindow.h"

/// The side of the point on which an attached window sits (12: chosen by the initialiser).
enum AttachedWindowSide : int {
    AttachedWindowLeft = 0,
    AttachedWindowBelow = 1,
    AttachedWindowRight = 2,
    AttachedWindowAbove = 3,
    AttachedWindowLeftExtendingUp = 4,
    AttachedWindowLeftExtendingDown = 5,
    AttachedWindowRightExtendingUp = 6,
    AttachedWindowRightExtendingDown = 7,
    AttachedWindowAboveExtendingLeft = 8,
    AttachedWindowAboveExtendingRight = 9,
    AttachedWindowBelowExtendingLeft = 10,
    AttachedWindowBelowExtendingRight = 11,
    AttachedWindowAutomatic = 12,
};

class AttachedWindowBase : public PopBaseWindow, public NSMenuItemValidation {
  public:
    /// The constants that tell the two classes apart: the default corner radius, and whether
    /// the initialiser makes the window slightly translucent (alpha 0.99) or leaves alpha at 1.
    struct Style {
        float defaultCornerRadius;
        bool translucent;
    };
    explicit AttachedWindowBase(Style style) : style_(style) {}
    ~AttachedWindowBase() override;

    // Measures and colours; every change repaints the background, and those that can change
    // the frame recompute the geometry first.
    /// The border stroke's colour (black at alpha 0.3).
    const Ref<NSColor>& borderColor() const { return borderColor_; }
    void setBorderColor(const Ref<NSColor>& color);
    /// The visible border's width, at most viewMargin (0: no border).
    float borderWidth() const { return borderWidth_; }
    void setBorderWidth(float width);
    /// The space between the view and the outline on every side, at least 0; a new margin
    /// limits cornerRadius and arrowBaseWidth anew.
    float viewMargin() const { return viewMargin_; }
    void setViewMargin(float margin);
    /// The arrow's base, limited by the shortest side of the outline less the corners that
    /// flank it (and at least 0).
    float arrowBaseWidth() const { return arrowBaseWidth_; }
    void setArrowBaseWidth(float width);
    /// The arrow's length, also the depth of the strip kept free for it.
    float arrowHeight() const { return arrowHeight_; }
    void setArrowHeight(float height);
    /// Whether the arrow is drawn, exchanged as 0 or 1.
    float hasArrow() const { return hasArrow_ ? 1.0f : 0.0f; }
    void setHasArrow(float flag);
    /// The corners' radius, between 0 and (the outline's shortest side − arrowBaseWidth) / 2;
    /// a new radius limits arrowBaseWidth anew.
    float cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(float radius);
    /// Whether the corner next to the arrow of a corner side (4 to 11) is rounded too, as 0/1.
    float drawsRoundCornerBesideArrow() const { return drawsRoundCornerBesideArrow_ ? 1.f : 0.f; }
    void setDrawsRoundCornerBesideArrow(float flag);
    /// The colour that fills the outline. The window's own background colour (backgroundColor)
    /// is always the pattern image painted from it.
    const Ref<NSColor>& windowBackgroundColor() const { return windowBackgroundColor_; }
    void setBackgroundColor(Ref<NSColor> color) override;
    /// Fills the outline with `image` tiled (nil changes nothing).
    void setBackgroundImage(const Ref<NSImage>& image);

    /// Moves the window to `side` of `point` (side 12 is kept as it is: the window's lower-left
    /// corner then lies on the point and there is no arrow strip).
    void setPoint(NSPoint point, int side);
    /// Records the radius of the blur of what lies behind the window. The window system here
    /// has no such blur, so nothing changes on screen.
    void setWindowBackgroundBlurRadius(int radius) { blurRadius_ = radius; }
    /// The recorded blur radius (0: none asked for).
    int windowBackgroundBlurRadius() const { return blurRadius_; }

    // What the geometry made.
    /// The side the window sits on (never 12 after the initialiser).
    int side() const { return side_; }
    NSPoint point() const { return point_; }
    float distance() const { return distance_; }
    /// The view's frame inside the window.
    NSRect viewFrame() const { return viewFrame_; }
    /// The view shown (not retained by the window itself: its content view holds it).
    NSView* view() const { return view_.lock().get(); }
    /// The window whose base coordinates the point is given in (nullptr: screen coordinates).
    NSWindow* attachedToWindow() const { return window_.lock().get(); }
    /// The outline, in window coordinates (for drawing and tests).
    Ref<NSBezierPath> backgroundPath() const;

    // Window behaviour.
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return false; }
    bool isExcludedFromWindowsMenu() const override { return true; }
    /// Goes to the parent window when there is one.
    bool validateMenuItem(NSMenuItem* item) override;
    /// Goes to the parent window when there is one (the Close command closes the parent).
    void performClose(NSObject* sender) override;
    /// Asks the application to stop its modal loop, then closes.
    void close() override;
    /// Asks the application to stop its modal loop (also when the will-close notification
    /// comes); ends no observation.
    void windowWillClose(const Ref<NSNotification>& notification) override;
    /// The resize observation: geometry and background again.
    void windowDidResize(const Ref<NSNotification>& notification);
    /// The resign-key observation: tells the delegate (when it answers) that the window hid.
    void closeMattachedWindow();
    /// Replaces the content view's tracking areas with one over its bounds, owned by the window.
    void updateTrackingAreas();
    /// Tell the delegate (when it answers) that the mouse entered or left the content view.
    void mouseEntered(NSEvent& event) override;
    void mouseExited(NSEvent& event) override;

    static void registerClass();

  protected:
    /// The designated initialiser's steps; false (no window made) for a nil view.
    bool initAttachedWindow(const Ref<NSView>& view, NSPoint point, NSWindow* window, int side,
                            float distance);
    /// Hands a message to the subclass's delegate when it answers it.
    virtual void notifyMouseInWindow(bool inside) = 0;
    virtual void notifyWindowHidden() = 0;

  private:
    float scale() const;
    void updateGeometry();
    int bestSideForAutomaticPosition() const;
    float arrowInset() const;
    void updateBackground();
    Ref<NSColor> backgroundColorPatternImage() const;
    void appendArrowToPath(NSBezierPath& path) const;
    void redisplay();
    float shortestOutlineSide() const;

    Style style_;
    Ref<NSColor> borderColor_;
    float borderWidth_ = 0;
    float viewMargin_ = 1;
    float arrowBaseWidth_ = 15;
    float arrowHeight_ = 10;
    bool hasArrow_ = false;
    float cornerRadius_ = 8;
    bool drawsRoundCornerBesideArrow_ = true;
    Ref<NSColor> windowBackgroundColor_;
    WeakRef<NSView> view_;
    WeakRef<NSWindow> window_;
    NSPoint point_;
    int side_ = 0;
    float distance_ = 0;
    NSRect viewFrame_;
    bool resizing_ = false;
    int blurRadius_ = 0;
};
