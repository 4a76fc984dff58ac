#pragma once
// A link button: the pointing-hand cursor while the pointer is over it, and a delegate told
// of each entry and exit. Clicks are a plain button's (target and action).

#include <mutex>

#include "controls/buttons/HandButtonDelegate.h"
#include "platform/appkit/NSButton.h"

class EUHandButton : public NSButton {
  public:
    static Ref<EUHandButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<EUHandButton>();
        button->initWithFrame(frame);
        return button;
    }

    /// The delegate (not retained; nullptr once it is freed).
    Ref<NSObject> handButDelegate() const;
    /// Sets the delegate; it hears of entries and exits only if it adopts HandButtonDelegate.
    void setHandButDelegate(const Ref<NSObject>& delegate);

    /// Tracks the bounds while the button is in a window (one rectangle at a time).
    void viewDidMoveToWindow() override;
    /// Shows the pointing hand and tells the delegate true.
    void mouseEntered(NSEvent& event) override;
    /// Shows the arrow and tells the delegate false.
    void mouseExited(NSEvent& event) override;

    static void registerClass();

  private:
    void tellDelegate(bool inside);

    mutable std::mutex delegateMutex_;
    WeakRef<NSObject> handButDelegate_;
    WeakRef<HandButtonDelegate> answeringDelegate_;
    NSTrackingRectTag trackingTag_ = 0;
};
