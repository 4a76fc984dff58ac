#pragma once
// The main window: a titled window whose title bar is taller than the platform's and drawn by
// the program. A container across the top of the frame view holds the title-bar view that
// clients fill; the close, minimise and zoom buttons (or buttons the client provides) are
// moved into that bar, the content view ends at its lower edge and sheets open below it.

#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSWindow.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSShadow.h"

class NSScreen;
class QVTitlebarContainer;
class TCImageWindowDelegateProxy;
class TCWindowButton;

/// Draws the whole title bar in place of the default: (draws as main, the bar's rectangle, the
/// clipping path with rounded top corners).
using TCTitleBarDrawingBlock = std::function<void(bool, NSRect, const Ref<NSBezierPath>&)>;

class TCImageWindow : public NSWindow {
  public:
    /// A hidden image window whose content has `contentRect` in screen coordinates.
    static Ref<TCImageWindow> make(NSRect contentRect,
                                   NSWindowStyleMask style = NSWindowStyleMaskTitled |
                                                             NSWindowStyleMaskClosable |
                                                             NSWindowStyleMaskMiniaturizable |
                                                             NSWindowStyleMaskResizable,
                                   NSBackingStoreType backing = NSBackingStoreBuffered,
                                   bool defer = false);
    TCImageWindow() = default;
    /// Stops observing every notification.
    ~TCImageWindow() override;

    /// The platform's window, then: not opaque, clear background, movable by its background,
    /// the bar set up and laid out, and the Aqua appearance. Interface files come here too.
    void initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                             NSBackingStoreType backing, bool defer) override;
    /// The same set-up without the appearance.
    void initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                             NSBackingStoreType backing, bool defer, NSScreen* screen);

    // Overrides of the window.
    /// The bar redraws and relays out when key status changes.
    void becomeKeyWindow() override;
    void resignKeyWindow() override;
    /// The bar redraws when main status changes.
    void becomeMainWindow() override;
    void resignMainWindow() override;
    /// Replaces the content view and shortens it to end at the bar's lower edge.
    void setContentView(const Ref<NSView>& view) override;
    /// Sets the title, then relays out and redraws the bar.
    void setTitle(std::string title) override;
    /// Makes `delegate` the proxy's secondary delegate and the proxy the platform's delegate.
    void setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) override;
    /// The delegate the client set (never the proxy).
    NSWindowDelegate* delegate() const override;

    // The bar's views.
    /// The frame view: the content view's superview.
    NSView* themeFrameView() const;
    /// The container across the top of the frame view.
    const Ref<QVTitlebarContainer>& titleBarContainer() const { return titleBarContainer_; }
    /// Plain store of the container reference.
    void setTitleBarContainer(const Ref<QVTitlebarContainer>& container) {
        titleBarContainer_ = container;
    }
    /// The view that clients fill with the bar's content.
    const Ref<NSView>& titleBarView() const { return titleBarView_; }
    /// Replaces the title-bar view (nil or the view already set changes nothing); the new one
    /// covers the container and resizes with it.
    void setTitleBarView(const Ref<NSView>& view);

    // User-provided window buttons: they take the standard buttons' places (nil restores the
    // standard one at the next layout); each sends its action to the window.
    const Ref<TCWindowButton>& closeButton() const { return closeButton_; }
    void setCloseButton(const Ref<TCWindowButton>& button);
    const Ref<TCWindowButton>& minimizeButton() const { return minimizeButton_; }
    void setMinimizeButton(const Ref<TCWindowButton>& button);
    const Ref<TCWindowButton>& zoomButton() const { return zoomButton_; }
    void setZoomButton(const Ref<TCWindowButton>& button);
    const Ref<TCWindowButton>& fullScreenButton() const { return fullScreenButton_; }
    void setFullScreenButton(const Ref<TCWindowButton>& button);

    // Geometry of the bar and its buttons.
    /// The bar's height; setting a new one relays out and redraws (and becomes the height
    /// restored after full screen).
    double titleBarHeight() const { return titleBarHeight_; }
    void setTitleBarHeight(double height);
    /// The height restored when full screen ends.
    double cachedTitleBarHeight() const { return cachedTitleBarHeight_; }
    void setCachedTitleBarHeight(double height) { cachedTitleBarHeight_ = height; }
    /// Added to the buttons' y in the horizontal arrangement; applies from the next layout.
    double topButtonMoveUp() const { return topButtonMoveUp_; }
    void setTopButtonMoveUp(double shift) { topButtonMoveUp_ = shift; }
    /// x of the close button (of the stack, when vertical); a new value relays out.
    double trafficLightButtonsLeftMargin() const { return trafficLightButtonsLeftMargin_; }
    void setTrafficLightButtonsLeftMargin(double margin);
    /// Gap from the bar's top when the buttons are not centred.
    double trafficLightButtonsTopMargin() const { return trafficLightButtonsTopMargin_; }
    void setTrafficLightButtonsTopMargin(double margin) { trafficLightButtonsTopMargin_ = margin; }
    /// Gap between two buttons; a new value relays out.
    double trafficLightSeparation() const { return trafficLightSeparation_; }
    void setTrafficLightSeparation(double separation);
    /// Whether the buttons are centred vertically in the bar; a new value relays out.
    bool centerTrafficLightButtons() const { return centerTrafficLightButtons_; }
    void setCenterTrafficLightButtons(bool center);
    /// Whether the buttons are stacked (close on top); a new value relays out.
    bool verticalTrafficLightButtons() const { return verticalTrafficLightButtons_; }
    void setVerticalTrafficLightButtons(bool vertical);
    /// The full-screen button's gap from the bar's right edge (measured at the first layout
    /// unless set); a new value relays out and redraws.
    double fullScreenButtonRightMargin() const { return fullScreenButtonRightMargin_; }
    void setFullScreenButtonRightMargin(double margin);
    /// Whether the full-screen button's right margin was set or measured.
    bool setFullScreenButtonRightMargin() const { return fullScreenButtonRightMarginSet_; }
    void setSetFullScreenButtonRightMargin(bool set) { fullScreenButtonRightMarginSet_ = set; }
    /// Gap from the bar's top of the full-screen button when not centred.
    double fullScreenButtonTopMargin() const { return fullScreenButtonTopMargin_; }
    void setFullScreenButtonTopMargin(double margin) { fullScreenButtonTopMargin_ = margin; }
    /// Whether the full-screen button is centred vertically; a new value relays out.
    bool centerFullScreenButton() const { return centerFullScreenButton_; }
    void setCenterFullScreenButton(bool center);
    /// Whether entering full screen hides the bar (and gives its height to the content).
    bool hideTitleBarInFullScreen() const { return hideTitleBarInFullScreen_; }
    void setHideTitleBarInFullScreen(bool hide) { hideTitleBarInFullScreen_ = hide; }

    // Look of the bar.
    /// Whether the bar draws the window's title; a new value redraws.
    bool showsTitle() const { return showsTitle_; }
    void setShowsTitle(bool shows);
    /// Whether the title is drawn in full screen too (with showsTitle).
    bool showsTitleInFullscreen() const { return showsTitleInFullscreen_; }
    void setShowsTitleInFullscreen(bool shows) { showsTitleInFullscreen_ = shows; }
    /// Kept for clients; a new value only marks the bar for display.
    bool showsBaselineSeparator() const { return showsBaselineSeparator_; }
    void setShowsBaselineSeparator(bool shows);
    /// Title colour and shadow while the window draws as main / otherwise (nil: defaults).
    const Ref<NSColor>& titleTextColor() const { return titleTextColor_; }
    void setTitleTextColor(Ref<NSColor> color) { titleTextColor_ = std::move(color); }
    const Ref<NSColor>& inactiveTitleTextColor() const { return inactiveTitleTextColor_; }
    void setInactiveTitleTextColor(Ref<NSColor> c) { inactiveTitleTextColor_ = std::move(c); }
    const Ref<NSShadow>& titleTextShadow() const { return titleTextShadow_; }
    void setTitleTextShadow(Ref<NSShadow> shadow) { titleTextShadow_ = std::move(shadow); }
    const Ref<NSShadow>& inactiveTitleTextShadow() const { return inactiveTitleTextShadow_; }
    void setInactiveTitleTextShadow(Ref<NSShadow> s) { inactiveTitleTextShadow_ = std::move(s); }
    /// Bar colours kept for clients; no drawing reads them.
    const Ref<NSColor>& titleBarStartColor() const { return titleBarStartColor_; }
    void setTitleBarStartColor(Ref<NSColor> c) { titleBarStartColor_ = std::move(c); }
    const Ref<NSColor>& titleBarEndColor() const { return titleBarEndColor_; }
    void setTitleBarEndColor(Ref<NSColor> c) { titleBarEndColor_ = std::move(c); }
    const Ref<NSColor>& baselineSeparatorColor() const { return baselineSeparatorColor_; }
    void setBaselineSeparatorColor(Ref<NSColor> c) { baselineSeparatorColor_ = std::move(c); }
    const Ref<NSColor>& inactiveTitleBarStartColor() const { return inactiveTitleBarStartColor_; }
    void setInactiveTitleBarStartColor(Ref<NSColor> c) {
        inactiveTitleBarStartColor_ = std::move(c);
    }
    const Ref<NSColor>& inactiveTitleBarEndColor() const { return inactiveTitleBarEndColor_; }
    void setInactiveTitleBarEndColor(Ref<NSColor> c) { inactiveTitleBarEndColor_ = std::move(c); }
    const Ref<NSColor>& inactiveBaselineSeparatorColor() const {
        return inactiveBaselineSeparatorColor_;
    }
    void setInactiveBaselineSeparatorColor(Ref<NSColor> c) {
        inactiveBaselineSeparatorColor_ = std::move(c);
    }
    /// Draws the bar in place of the default when set (a copy is kept).
    const TCTitleBarDrawingBlock& titleBarDrawingBlock() const { return titleBarDrawingBlock_; }
    void setTitleBarDrawingBlock(TCTitleBarDrawingBlock block) {
        titleBarDrawingBlock_ = std::move(block);
    }
    /// The appearance's name ("NSAppearanceNameAqua" after set-up); stored only.
    const std::string& appearance() const { return appearance_; }
    void setAppearance(std::string name) { appearance_ = std::move(name); }

    /// The proxy between the platform and the client's delegate.
    const Ref<TCImageWindowDelegateProxy>& delegateProxy() const { return delegateProxy_; }
    void setDelegateProxy(const Ref<TCImageWindowDelegateProxy>& proxy) { delegateProxy_ = proxy; }

    // Notification handlers (the notification may be nil).
    /// With hideTitleBarInFullScreen: the bar's height goes to 0 and the bar hides.
    void windowWillEnterFullScreen(const Ref<NSNotification>& notification);
    /// With hideTitleBarInFullScreen: the held height comes back and the bar shows.
    void windowWillExitFullScreen(const Ref<NSNotification>& notification);
    /// Redraws the bar; clients may register it for their undo manager's notifications.
    void undoManagerDidCloseUndoGroupNotification(const Ref<NSNotification>& notification);

    /// How many times the bar, buttons and content were laid out (for tests).
    long layoutCount() const { return layoutCount_; }

    static void registerClass();

  private:
    void doInitialWindowSetup();
    void createTitlebarView();
    void layoutTrafficLightsAndContent();
    void recalculateFrameForTitleBarContainer();
    void repositionContentView();
    NSButton* windowButtonToLayout(NSWindowButton kind, NSButton* userProvided);
    NSButton* closeButtonToLayout();
    NSButton* minimizeButtonToLayout();
    NSButton* zoomButtonToLayout();
    NSButton* fullScreenButtonToLayout();
    double minimumTitlebarHeight() const;
    double defaultTrafficLightLeftMargin();
    double defaultTrafficLightSeparation();
    void displayWindowAndTitlebar();
    void updateTitlebarView();
    void hideTitleBarView(bool hide);
    void setUserButton(Ref<TCWindowButton>& slot, const Ref<TCWindowButton>& button,
                       NSWindowButton kind, const char* action);
    void observe(const NSNotificationName& name, const NSObject* object, void (TCImageWindow::*)());

    double cachedTitleBarHeight_ = 0;
    bool fullScreenButtonRightMarginSet_ = false;
    Ref<TCImageWindowDelegateProxy> delegateProxy_;
    Ref<QVTitlebarContainer> titleBarContainer_;
    double titleBarHeight_ = 0;
    double topButtonMoveUp_ = 0;
    Ref<NSView> titleBarView_;
    bool centerFullScreenButton_ = false;
    bool centerTrafficLightButtons_ = false;
    bool verticalTrafficLightButtons_ = false;
    bool hideTitleBarInFullScreen_ = false;
    bool showsBaselineSeparator_ = false;
    double trafficLightButtonsLeftMargin_ = 0;
    double trafficLightButtonsTopMargin_ = 0;
    double fullScreenButtonRightMargin_ = 0;
    double fullScreenButtonTopMargin_ = 0;
    double trafficLightSeparation_ = 0;
    bool showsTitle_ = false;
    bool showsTitleInFullscreen_ = false;
    Ref<TCWindowButton> closeButton_, minimizeButton_, zoomButton_, fullScreenButton_;
    Ref<NSColor> titleBarStartColor_, titleBarEndColor_, baselineSeparatorColor_;
    Ref<NSColor> inactiveTitleBarStartColor_, inactiveTitleBarEndColor_;
    Ref<NSColor> inactiveBaselineSeparatorColor_;
    Ref<NSColor> titleTextColor_, inactiveTitleTextColor_;
    Ref<NSShadow> titleTextShadow_, inactiveTitleTextShadow_;
    TCTitleBarDrawingBlock titleBarDrawingBlock_;
    std::string appearance_;

    /// Standard buttons (by kind) that this window hid for a user-provided one.
    bool hiddenForUserButton_[8] = {};
    std::vector<NSNotificationCenter::Token> observers_;
    long layoutCount_ = 0;
};
