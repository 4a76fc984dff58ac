#include "windows/TCImageWindow.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSApplication.h"
#include "windows/QVTitlebarContainer.h"
#include "windows/QVTitlebarView.h"
#include "windows/TCImageWindowDelegateProxy.h"
#include "windows/TCWindowButton.h"

namespace {

// The platform's own metrics, measured by the first window that asks (0: not yet measured).
double gSystemTitleBarHeight = 0;
double gDefaultLeftMargin = 0;
double gDefaultSeparation = 0;

NSRect frameOrZero(const NSButton* button) {
    return button ? button->frame() : NSZeroRect;
}

}  // namespace

Ref<TCImageWindow> TCImageWindow::make(NSRect contentRect, NSWindowStyleMask style,
                                       NSBackingStoreType backing, bool defer) {
    auto window = std::make_shared<TCImageWindow>();
    window->initWithContentRect(contentRect, style, backing, defer);
    return window;
}

TCImageWindow::~TCImageWindow() {
    auto& center = NSNotificationCenter::defaultCenter();
    for (NSNotificationCenter::Token token : observers_)
        center.removeObserver(token);
    center.removeObserver(this);
}

void TCImageWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                        NSBackingStoreType backing, bool defer) {
    initWithContentRect(contentRect, style, backing, defer, nullptr);
    setAppearance("NSAppearanceNameAqua");
}

void TCImageWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                        NSBackingStoreType backing, bool defer, NSScreen*) {
    NSWindow::initWithContentRect(contentRect, style, backing, defer);
    setOpaque(false);
    setBackgroundColor(NSColor::clearColor());
    setMovableByWindowBackground(true);
    doInitialWindowSetup();
}

void TCImageWindow::observe(const NSNotificationName& name, const NSObject* object,
                            void (TCImageWindow::*handler)()) {
    WeakRef<NSObject> weak = weak_from_this();
    observers_.push_back(NSNotificationCenter::defaultCenter().addObserverForName(
        name, object, [weak, handler](const NSNotification&) {
            if (auto self = std::dynamic_pointer_cast<TCImageWindow>(weak.lock()))
                ((*self).*handler)();
        }));
}

void TCImageWindow::doInitialWindowSetup() {
    showsBaselineSeparator_ = true;
    centerTrafficLightButtons_ = true;
    titleBarHeight_ = cachedTitleBarHeight_ = minimumTitlebarHeight();
    trafficLightButtonsLeftMargin_ = defaultTrafficLightLeftMargin();
    delegateProxy_ = TCImageWindowDelegateProxy::make();
    trafficLightButtonsTopMargin_ = 3;
    fullScreenButtonTopMargin_ = 3;
    trafficLightSeparation_ = defaultTrafficLightSeparation();
    NSWindow::setDelegate(delegateProxy_);

    observe(NSWindowDidResizeNotification, this, &TCImageWindow::layoutTrafficLightsAndContent);
    observe(NSWindowDidMoveNotification, this, &TCImageWindow::layoutTrafficLightsAndContent);
    observe(NSWindowDidEndSheetNotification, this, &TCImageWindow::layoutTrafficLightsAndContent);
    observe(NSApplicationDidBecomeActiveNotification, nullptr, &TCImageWindow::updateTitlebarView);
    observe(NSApplicationDidResignActiveNotification, nullptr, &TCImageWindow::updateTitlebarView);
    // Only this window's own full screen concerns its bar: another window entering full screen
    // must not hide it.
    WeakRef<NSObject> weak = weak_from_this();
    auto& center = NSNotificationCenter::defaultCenter();
    observers_.push_back(center.addObserverForName(
        NSWindowWillEnterFullScreenNotification, this, [weak](const NSNotification&) {
            if (auto self = std::dynamic_pointer_cast<TCImageWindow>(weak.lock()))
                self->windowWillEnterFullScreen(nullptr);
        }));
    observers_.push_back(center.addObserverForName(
        NSWindowWillExitFullScreenNotification, this, [weak](const NSNotification&) {
            if (auto self = std::dynamic_pointer_cast<TCImageWindow>(weak.lock()))
                self->windowWillExitFullScreen(nullptr);
        }));

    createTitlebarView();
    layoutTrafficLightsAndContent();
}

void TCImageWindow::createTitlebarView() {
    NSView* frameView = themeFrameView();
    if (!frameView) return;
    auto container = QVTitlebarContainer::make(NSZeroRect);
    const NSView* back = frameView->subviews().empty() ? nullptr : frameView->subviews()[0].get();
    frameView->addSubview(container, NSWindowBelow, back);
    titleBarContainer_ = container;
    setTitleBarView(QVTitlebarView::make(NSZeroRect));
}

// --- Overrides of the window ----------------------------------------------------------------

void TCImageWindow::becomeKeyWindow() {
    NSWindow::becomeKeyWindow();
    updateTitlebarView();
    layoutTrafficLightsAndContent();
}

void TCImageWindow::resignKeyWindow() {
    NSWindow::resignKeyWindow();
    updateTitlebarView();
    layoutTrafficLightsAndContent();
}

void TCImageWindow::becomeMainWindow() {
    NSWindow::becomeMainWindow();
    updateTitlebarView();
}

void TCImageWindow::resignMainWindow() {
    NSWindow::resignMainWindow();
    updateTitlebarView();
}

void TCImageWindow::setContentView(const Ref<NSView>& view) {
    NSWindow::setContentView(view);
    repositionContentView();
}

void TCImageWindow::setTitle(std::string title) {
    NSWindow::setTitle(std::move(title));
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
}

void TCImageWindow::setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) {
    if (!delegateProxy_) {
        // Not set up (yet): there is no proxy to stand in between.
        NSWindow::setDelegate(delegate);
        return;
    }
    delegateProxy_->setSecondaryDelegate(delegate);
    // Nil and back, so that the platform takes the proxy's answers afresh.
    NSWindow::setDelegate(nullptr);
    NSWindow::setDelegate(delegateProxy_);
}

NSWindowDelegate* TCImageWindow::delegate() const {
    if (!delegateProxy_) return NSWindow::delegate();
    return delegateProxy_->secondaryDelegate().get();
}

NSView* TCImageWindow::themeFrameView() const {
    NSView* content = contentView();
    return content && content->superview() ? content->superview() : frameView();
}

// --- Title-bar view and user-provided buttons -----------------------------------------------

void TCImageWindow::setTitleBarView(const Ref<NSView>& view) {
    if (!view || view == titleBarView_) return;
    if (titleBarView_) titleBarView_->removeFromSuperview();
    titleBarView_ = view;
    view->setFrame(titleBarContainer_ ? titleBarContainer_->bounds() : NSZeroRect);
    view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    if (titleBarContainer_) titleBarContainer_->addSubview(view);
}

void TCImageWindow::setUserButton(Ref<TCWindowButton>& slot, const Ref<TCWindowButton>& button,
                                  NSWindowButton kind, const char* action) {
    if (slot == button) return;
    if (slot) slot->removeFromSuperview();
    slot = button;
    if (!button) return;
    button->setTarget(weak_from_this());
    button->setAction(SEL(action));
    NSButton* standard = standardWindowButton(kind);
    button->setFrameOrigin(standard ? standard->frame().origin : NSZeroPoint);
    if (NSView* frameView = themeFrameView()) frameView->addSubview(button);
}

void TCImageWindow::setCloseButton(const Ref<TCWindowButton>& button) {
    setUserButton(closeButton_, button, NSWindowCloseButton, "performClose:");
}

void TCImageWindow::setMinimizeButton(const Ref<TCWindowButton>& button) {
    setUserButton(minimizeButton_, button, NSWindowMiniaturizeButton, "performMiniaturize:");
}

void TCImageWindow::setZoomButton(const Ref<TCWindowButton>& button) {
    setUserButton(zoomButton_, button, NSWindowZoomButton, "performZoom:");
}

void TCImageWindow::setFullScreenButton(const Ref<TCWindowButton>& button) {
    setUserButton(fullScreenButton_, button, NSWindowFullScreenButton, "toggleFullScreen:");
}

// --- Setters that act when the value changes ------------------------------------------------

void TCImageWindow::setTitleBarHeight(double height) {
    if (height == titleBarHeight_) return;
    titleBarHeight_ = height;
    cachedTitleBarHeight_ = height;
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
}

void TCImageWindow::setTrafficLightButtonsLeftMargin(double margin) {
    if (margin == trafficLightButtonsLeftMargin_) return;
    trafficLightButtonsLeftMargin_ = margin;
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
}

void TCImageWindow::setTrafficLightSeparation(double separation) {
    if (separation == trafficLightSeparation_) return;
    trafficLightSeparation_ = separation;
    layoutTrafficLightsAndContent();
}

void TCImageWindow::setCenterTrafficLightButtons(bool center) {
    if (center == centerTrafficLightButtons_) return;
    centerTrafficLightButtons_ = center;
    layoutTrafficLightsAndContent();
}

void TCImageWindow::setVerticalTrafficLightButtons(bool vertical) {
    if (vertical == verticalTrafficLightButtons_) return;
    verticalTrafficLightButtons_ = vertical;
    layoutTrafficLightsAndContent();
}

void TCImageWindow::setFullScreenButtonRightMargin(double margin) {
    if (margin == fullScreenButtonRightMargin_) return;
    fullScreenButtonRightMargin_ = margin;
    fullScreenButtonRightMarginSet_ = true;
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
}

void TCImageWindow::setCenterFullScreenButton(bool center) {
    if (center == centerFullScreenButton_) return;
    centerFullScreenButton_ = center;
    layoutTrafficLightsAndContent();
}

void TCImageWindow::setShowsTitle(bool shows) {
    if (shows == showsTitle_) return;
    showsTitle_ = shows;
    displayWindowAndTitlebar();
}

void TCImageWindow::setShowsBaselineSeparator(bool shows) {
    if (shows == showsBaselineSeparator_) return;
    showsBaselineSeparator_ = shows;
    if (titleBarView_) titleBarView_->setNeedsDisplay(true);
}

// --- Full screen and notifications ----------------------------------------------------------

void TCImageWindow::windowWillEnterFullScreen(const Ref<NSNotification>&) {
    if (!hideTitleBarInFullScreen_) return;
    titleBarHeight_ = 0;  // the held height stays for the way back
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
    hideTitleBarView(true);
}

void TCImageWindow::windowWillExitFullScreen(const Ref<NSNotification>&) {
    if (!hideTitleBarInFullScreen_) return;
    titleBarHeight_ = cachedTitleBarHeight_;
    layoutTrafficLightsAndContent();
    displayWindowAndTitlebar();
    hideTitleBarView(false);
}

void TCImageWindow::undoManagerDidCloseUndoGroupNotification(const Ref<NSNotification>&) {
    displayWindowAndTitlebar();
}

void TCImageWindow::displayWindowAndTitlebar() {
    if (titleBarView_) titleBarView_->setNeedsDisplay(true);
}

void TCImageWindow::updateTitlebarView() {
    if (titleBarView_) titleBarView_->setNeedsDisplay(true);
}

void TCImageWindow::hideTitleBarView(bool hide) {
    if (titleBarView_) titleBarView_->setHidden(hide);
}

// --- Measurements ---------------------------------------------------------------------------

double TCImageWindow::minimumTitlebarHeight() const {
    if (gSystemTitleBarHeight == 0) {
        NSRect f = frame();
        gSystemTitleBarHeight = f.size.height - contentRectForFrameRect(f).size.height;
    }
    return gSystemTitleBarHeight;
}

double TCImageWindow::defaultTrafficLightLeftMargin() {
    if (gDefaultLeftMargin == 0) gDefaultLeftMargin = frameOrZero(closeButtonToLayout()).origin.x;
    return gDefaultLeftMargin;
}

double TCImageWindow::defaultTrafficLightSeparation() {
    if (gDefaultSeparation == 0) {
        NSRect close = frameOrZero(closeButtonToLayout());
        NSRect minimise = frameOrZero(minimizeButtonToLayout());
        gDefaultSeparation = minimise.origin.x - (close.origin.x + close.size.width);
    }
    return gDefaultSeparation;
}

// --- Layout ---------------------------------------------------------------------------------

NSButton* TCImageWindow::windowButtonToLayout(NSWindowButton kind, NSButton* userProvided) {
    NSButton* standard = standardWindowButton(kind);
    bool& hiddenByUs = hiddenForUserButton_[kind];
    if (userProvided) {
        if (standard && !standard->isHidden()) {
            standard->setHidden(true);
            hiddenByUs = true;
        }
        return userProvided;
    }
    if (!standard) return nullptr;
    if (hiddenByUs) {
        // The user-provided button is gone: the standard one shows again (unless the platform
        // keeps it hidden in full screen; it shows it again when full screen ends).
        hiddenByUs = false;
        if (!(styleMask() & NSWindowStyleMaskFullScreen)) standard->setHidden(false);
    }
    if (standard->superview() != themeFrameView()) standard->setHidden(false);
    return standard;
}

NSButton* TCImageWindow::closeButtonToLayout() {
    return windowButtonToLayout(NSWindowCloseButton, closeButton_.get());
}

NSButton* TCImageWindow::minimizeButtonToLayout() {
    return windowButtonToLayout(NSWindowMiniaturizeButton, minimizeButton_.get());
}

NSButton* TCImageWindow::zoomButtonToLayout() {
    return windowButtonToLayout(NSWindowZoomButton, zoomButton_.get());
}

NSButton* TCImageWindow::fullScreenButtonToLayout() {
    return windowButtonToLayout(NSWindowFullScreenButton, fullScreenButton_.get());
}

void TCImageWindow::recalculateFrameForTitleBarContainer() {
    NSRect f = themeFrameView()->frame();
    titleBarContainer_->setFrame(
        NSMakeRect(0, f.origin.y + f.size.height - titleBarHeight_, f.size.width, titleBarHeight_));
}

void TCImageWindow::layoutTrafficLightsAndContent() {
    if (!titleBarContainer_ || !themeFrameView()) return;  // not set up yet
    ++layoutCount_;
    recalculateFrameForTitleBarContainer();

    NSButton* close = closeButtonToLayout();
    NSButton* minimise = minimizeButtonToLayout();
    NSButton* zoom = zoomButtonToLayout();
    NSRect c = frameOrZero(close), m = frameOrZero(minimise), z = frameOrZero(zoom);
    const NSRect bar = titleBarContainer_->frame();
    const double barY = bar.origin.y, barH = bar.size.height;
    const double left = trafficLightButtonsLeftMargin_, sep = trafficLightSeparation_;

    if (!verticalTrafficLightButtons_) {
        double y = centerTrafficLightButtons_
                       ? std::round(barY + barH * 0.5 - 0.5 * c.size.height)
                       : barY + barH - c.size.height - trafficLightButtonsTopMargin_;
        y += topButtonMoveUp_;
        c.origin = NSMakePoint(left, y);
        m.origin = NSMakePoint(c.origin.x + c.size.width + sep, y);
        z.origin = NSMakePoint(m.origin.x + m.size.width + sep, y);
    } else {
        // Close on top, zoom at the bottom, two points closer than side by side.
        double stack = c.size.height + m.size.height + z.size.height + 2 * (sep - 2);
        double bottom = centerTrafficLightButtons_
                            ? std::round(barY + barH * 0.5 - stack * 0.5)
                            : barY + barH - stack - trafficLightButtonsTopMargin_;
        z.origin = NSMakePoint(left, bottom);
        m.origin = NSMakePoint(left, z.origin.y + z.size.height + sep - 2);
        c.origin = NSMakePoint(left, m.origin.y + m.size.height + sep - 2);
    }
    if (close) close->setFrameOrigin(c.origin);
    if (minimise) minimise->setFrameOrigin(m.origin);
    if (zoom) zoom->setFrameOrigin(z.origin);

    if (NSButton* full = fullScreenButtonToLayout()) {
        NSRect f = full->frame();
        if (!fullScreenButtonRightMarginSet_) {
            // Measured once, where the button first stands.
            fullScreenButtonRightMargin_ = bar.size.width - (f.origin.x + f.size.width);
            fullScreenButtonRightMarginSet_ = true;
        }
        double x = bar.size.width - f.size.width - fullScreenButtonRightMargin_;
        double y = centerFullScreenButton_
                       ? std::round(barY + barH * 0.5 - 0.5 * f.size.height)
                       : barY + barH - f.size.height - fullScreenButtonTopMargin_;
        full->setFrameOrigin(NSMakePoint(x, y));
    }
    repositionContentView();
}

void TCImageWindow::repositionContentView() {
    NSView* content = contentView();
    if (!content) return;
    NSRect old = content->frame();
    NSRect updated = old;
    updated.size.height = std::max(0.0, frame().size.height - titleBarHeight_);
    if (updated == old) return;
    content->setFrame(updated);
    content->setNeedsDisplay(true);
}

void TCImageWindow::registerClass() {
    ClassRegistry::shared()
        .registerClass<TCImageWindow, NSWindow>("TCImageWindow")
        .method("windowWillEnterFullScreen:", &TCImageWindow::windowWillEnterFullScreen)
        .method("windowWillExitFullScreen:", &TCImageWindow::windowWillExitFullScreen)
        .method("undoManagerDidCloseUndoGroupNotification:",
                &TCImageWindow::undoManagerDidCloseUndoGroupNotification);
}
