#pragma once
// The second attached window: the same as StatusAttachedWindow except that its designated
// initialiser takes no alpha, it leaves the window's alpha at 1, its corners have radius 6 and
// its delegate is an MStatusAttachedWindowDelegate.

#include <memory>

#include "windows/PopWindow/AttachedWindowBase.h"
#include "windows/PopWindow/MStatusAttachedWindowDelegate.h"

class MStatusAttachedWindow : public AttachedWindowBase {
  public:
    MStatusAttachedWindow() : AttachedWindowBase({6.0f, false}) {}

    /// A new window made by the designated initialiser, or nullptr for a nil view.
    static Ref<MStatusAttachedWindow> make(const Ref<NSView>& view, NSPoint point, NSWindow* window,
                                           int side, float distance);

    /// The designated initialiser: shows `view` on `side` (0 to 11, or 12 to choose) of
    /// `point`, given in `window`'s base coordinates (nullptr: screen coordinates), `distance`
    /// away. False, making no window, for a nil view. The window must be owned by a Ref.
    bool initWithView(const Ref<NSView>& view, NSPoint point, NSWindow* window, int side,
                      float distance);
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
    MStatusAttachedWindowDelegate* mattachedWDelegate() const { return delegate_.lock().get(); }
    void setMattachedWDelegate(const std::shared_ptr<MStatusAttachedWindowDelegate>& delegate) {
        delegate_ = delegate;
    }

    static void registerClass();

  protected:
    void notifyMouseInWindow(bool inside) override;
    void notifyWindowHidden() override;

  private:
    std::weak_ptr<MStatusAttachedWindowDelegate> delegate_;
};
