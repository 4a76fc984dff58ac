#pragma once
// The base of the pop-up windows: no title bar, a clear background, movable by its background,
// with a shadow, listed in the Windows menu whenever it becomes the main window. It stops
// observing its own notifications when it closes.

#include <functional>
#include <utility>
#include <vector>

#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSNotificationCenter.h"

class PopBaseWindow : public NSWindow {
  public:
    /// A hidden pop-up window whose content has `contentRect` in screen coordinates.
    static Ref<PopBaseWindow> make(NSRect contentRect,
                                   NSWindowStyleMask style = NSWindowStyleMaskBorderless,
                                   NSBackingStoreType backing = NSBackingStoreBuffered,
                                   bool defer = false);
    PopBaseWindow() = default;
    /// Ends every observation the window still has.
    ~PopBaseWindow() override;

    /// The platform's window with style mask 8 (resizable, no title bar) whatever `style`
    /// says, then: not opaque, clear background, movable by its background, with a shadow,
    /// observing its own deminiaturize and will-close notifications.
    void initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                             NSBackingStoreType backing, bool defer) override;

    /// The platform's handling, then the window is listed in the Windows menu under its title.
    void becomeMainWindow() override;
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
    /// Closes the window; a close sent while it is already closing (by an observer of its
    /// will-close notification, this window's own included) does nothing, so the window is
    /// told, hidden and taken from its parent once.
    void close() override;
    /// Whether a close is in progress.
    bool isClosing() const { return closing_; }

    /// The will-close observation (the notification may be nil): ends the deminiaturize and
    /// will-close observations, then sends the window close.
    virtual void windowWillClose(const Ref<NSNotification>& notification);
    /// The deminiaturize observation: the shadow follows the window's shape again.
    void windowDidDeminiaturize(const Ref<NSNotification>& notification);

    static void registerClass();

  protected:
    using Handler = std::function<void(const Ref<NSNotification>&)>;
    /// Observes this window's own `name` notifications with `handler`, until the observation
    /// is ended or the window is destroyed.
    void observeOwn(const NSNotificationName& name, Handler handler);
    /// Ends the observation of this window's own `name` notifications.
    void endOwnObservation(const NSNotificationName& name);

  private:
    std::vector<std::pair<NSNotificationName, NSNotificationCenter::Token>> observations_;
    bool closing_ = false;
};
