#pragma once
// The window a menu pops up in: borderless, above every other window, never key, showing a
// MenuView and kept on the screen.

#include "platform/appkit/MenuView.h"
#include "platform/appkit/NSWindow.h"

class MenuWindow : public NSWindow {
  public:
    /// A hidden window showing `menu`, its top-left corner at `topLeft` (screen coordinates),
    /// moved as little as needed to lie on the screen.
    static Ref<MenuWindow> make(const Ref<NSMenu>& menu, NSPoint topLeft);

    /// Moves the top-left corner to `topLeft` (screen coordinates), then as little as needed
    /// for the window to lie on the screen.
    void moveTopLeftTo(NSPoint topLeft);
    /// Whether the menu has a visible item to show.
    bool hasRows() const { return view_->hasRows(); }

    MenuView* menuView() const { return view_.get(); }
    NSMenu* menu() const { return view_->menu().get(); }
    /// The row of item `index` in screen coordinates (NSZeroRect when it is not shown).
    NSRect screenRectOfItemAtIndex(long index) const;
    /// The item whose row holds `point` (screen coordinates), or -1.
    long indexOfItemAtScreenPoint(NSPoint point) const;
    /// Whether `point` (screen coordinates) lies on the window.
    bool containsScreenPoint(NSPoint point) const;

    bool canBecomeKeyWindow() const override { return false; }
    bool canBecomeMainWindow() const override { return false; }

  private:
    Ref<MenuView> view_;
};
