#pragma once
// The attached pop-up window of the sort menus: a borderless, slightly translucent window that
// shows one view beside a point of a parent window (or of the screen), with corners of radius
// 8. Made by an initialiser and not shown by it: the caller orders it in (the sort pop-up is
// added to the main window as a child window ordered above it, and taken away with
// removeChildWindow, orderOut and release).

#include <memory>

#include "windows/PopWindow/AttachedWindowBase.h"
#include "windows/PopWindow/StatusAttachedWindowDelegate.h"

class StatusAttachedWindow : public AttachedWindowBase {
  public:
    StatusAttachedWindow() : AttachedWindowBase({8.0f, true}) {}

    /// A new window made by the designated initialiser, or nullptr for a nil view.
    static Ref<StatusAttachedWindow> make(const Ref<NSView>& view, NSPoint point, NSWindow* window,
                                          int side, float distance, float alpha);

    /// The designated initialiser: shows `view` on `side` (0 to 11, or 12 to choose) of
    /// `point`, given in `window`'s base coordinates (nullptr: screen coordinates), `distance`
    /// away. `alpha` has no effect. False, making no window, for a nil view. The window must be
    /// owned by a Ref.
    bool initWithView(const Ref<NSView>& view, NSPoint point, NSWindow* window, int side,
                      float distance, float alpha);
    // The short forms: no window means screen coordinates, no side the automatic choice, no
    // distance 0.
    bool initWithViewInWindowAtDistance(const Ref<NSView>& view, NSPoint point, NSWindow* window,
                                        float distance);
    bool initWithViewOnSideAtDistance(const Ref<NSView>& view, NSPoint point, int side,
                                      float distance);
    bool initWithViewAtDistance(const Ref<NSView>& view, NSPoint point, float distance);
    bool initWithViewInWindow(const Ref<NSView>& view, NSPoint point, NSWindow* window);
    bool initWithViewOnSide(const Ref<NSView>& view, NSPoint point, int side);
    bool initWithView(const Ref<NSView>& view, NSPoint point);

    /// The delegate (not retained).
    StatusAttachedWindowDelegate* mattachedWDelegate() const { return delegate_.lock().get(); }
    void setMattachedWDelegate(const std::shared_ptr<StatusAttachedWindowDelegate>& delegate) {
        delegate_ = delegate;
    }

    static void registerClass();

  protected:
    void notifyMouseInWindow(bool inside) override;
    void notifyWindowHidden() override;

  private:
    std::weak_ptr<StatusAttachedWindowDelegate> delegate_;
};
