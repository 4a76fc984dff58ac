#pragma once
// Stands between an image window and the delegate its client set: every delegate message goes
// on to that delegate, except the sheet position, which the proxy answers itself so that
// sheets open below the tall title bar.
//
// Mapping of the message-forwarding design onto C++: each NSWindowDelegate virtual is
// overridden here and passes the call to the secondary delegate when there is one (held
// weakly); messages sent by name (selectors) are answered from the secondary delegate's
// registered methods through respondsToSelector / methodSignatureForSelector /
// forwardInvocation. A message added to NSWindowDelegate must get its forwarder here.

#include <string_view>

#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSObject.h"

class TCImageWindowDelegateProxy : public NSObject, public NSWindowDelegate {
  public:
    /// A proxy without a secondary delegate.
    static Ref<TCImageWindowDelegateProxy> make() {
        return std::make_shared<TCImageWindowDelegateProxy>();
    }

    /// The delegate the client set (nullptr when none, or once it is freed).
    std::shared_ptr<NSWindowDelegate> secondaryDelegate() const { return secondary_.lock(); }
    /// Sets the delegate that messages go on to (not retained).
    void setSecondaryDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) {
        secondary_ = delegate;
    }

    /// Whether the secondary delegate registers a method for `sel`; always for the sheet
    /// position, which the proxy answers itself.
    bool respondsToSelector(SEL sel) const;
    /// Whether the secondary delegate's class has a method for `sel`; when it has none, logs
    /// the assertion failure (file "TCImageWindow", line 105) and answers false.
    bool methodSignatureForSelector(SEL sel) const;
    /// Sends `sel` with `arg` to the secondary delegate when it answers it; otherwise the
    /// message is dropped. Returns whether it was delivered.
    bool forwardInvocation(SEL sel, const SelectorArg& arg);
    /// The secondary delegate's answer; false when there is none.
    bool isKindOfClass(std::string_view name) const;

    /// The sheet opens at the title bar's lower edge: `rect` with y = the window frame's
    /// height - the window's title-bar height. The secondary delegate is not asked.
    NSRect willPositionSheet(NSWindow* window, NSWindow* sheet, NSRect rect) override;

    // Passed on to the secondary delegate (windowShouldClose answers YES without one).
    bool windowShouldClose(NSWindow* sender) override;
    void windowWillClose(NSWindow* window) override;
    void windowDidBecomeKey(NSWindow* window) override;
    void windowDidResignKey(NSWindow* window) override;
    void windowDidBecomeMain(NSWindow* window) override;
    void windowDidResignMain(NSWindow* window) override;
    void windowDidResize(NSWindow* window) override;
    void windowDidMove(NSWindow* window) override;
    void windowWillEnterFullScreen(NSWindow* window) override;
    void windowWillExitFullScreen(NSWindow* window) override;

  private:
    /// The secondary delegate as a runtime object (nullptr when it is none).
    Ref<NSObject> secondaryObject() const;

    WeakRef<NSWindowDelegate> secondary_;
};
