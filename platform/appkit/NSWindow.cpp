#include "platform/appkit/NSWindow.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSTextView.h"
#include "platform/appkit/NSWindowFrameView.h"
#include "platform/appkit/theme/WindowTheme.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

const NSNotificationName NSWindowDidBecomeKeyNotification = "NSWindowDidBecomeKeyNotification";
const NSNotificationName NSWindowDidResignKeyNotification = "NSWindowDidResignKeyNotification";
const NSNotificationName NSWindowDidBecomeMainNotification = "NSWindowDidBecomeMainNotification";
const NSNotificationName NSWindowDidResignMainNotification = "NSWindowDidResignMainNotification";
const NSNotificationName NSWindowDidResizeNotification = "NSWindowDidResizeNotification";
const NSNotificationName NSWindowDidMoveNotification = "NSWindowDidMoveNotification";
const NSNotificationName NSWindowWillCloseNotification = "NSWindowWillCloseNotification";
const NSNotificationName NSWindowDidMiniaturizeNotification = "NSWindowDidMiniaturizeNotification";
const NSNotificationName NSWindowDidDeminiaturizeNotification =
    "NSWindowDidDeminiaturizeNotification";
const NSNotificationName NSWindowWillEnterFullScreenNotification =
    "NSWindowWillEnterFullScreenNotification";
const NSNotificationName NSWindowDidEnterFullScreenNotification =
    "NSWindowDidEnterFullScreenNotification";
const NSNotificationName NSWindowWillExitFullScreenNotification =
    "NSWindowWillExitFullScreenNotification";
const NSNotificationName NSWindowDidExitFullScreenNotification =
    "NSWindowDidExitFullScreenNotification";
const NSNotificationName NSWindowDidEndSheetNotification = "NSWindowDidEndSheetNotification";

namespace {
NSWindow* gKeyWindow = nullptr;
NSWindow* gMainWindow = nullptr;
std::vector<NSWindow*>& allWindows() {
    static std::vector<NSWindow*> windows;
    return windows;
}
// Visible windows from back to front.
std::vector<NSWindow*>& stacking() {
    static std::vector<NSWindow*> order;
    return order;
}
}  // namespace

const std::vector<NSWindow*>& NSWindow::windows() {
    return allWindows();
}

std::vector<NSWindow*> NSWindow::orderedWindows() {
    return stacking();
}

NSWindow::~NSWindow() {
    if (gKeyWindow == this) gKeyWindow = nullptr;
    if (gMainWindow == this) gMainWindow = nullptr;
    std::erase(allWindows(), this);
    std::erase(stacking(), this);
    if (parent_) std::erase(parent_->children_, this);
    for (NSWindow* child : children_)
        child->parent_ = nullptr;
    NSNotificationCenter::defaultCenter().removeObserver(this);
    if (frameView_) {
        frameView_->setWindowRecursively(nullptr);
        frameView_->setNextResponder(nullptr);
    }
    if (contentView_) contentView_->setNextResponder(nullptr);
    if (backendWindow_) WindowBackend::shared().destroyWindow(backendWindow_);
}

void NSWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                   NSBackingStoreType /*backing*/, bool /*defer*/) {
    styleMask_ = style;
    if (std::find(allWindows().begin(), allWindows().end(), this) == allWindows().end())
        allWindows().push_back(this);
    frame_ = frameRectForContentRect(contentRect);
    unzoomedFrame_ = frame_;
    backendWindow_ = WindowBackend::shared().createWindow(this, frame_);
    frameView_ = NSWindowFrameView::make(NSMakeRect(0, 0, frame_.size.width, frame_.size.height));
    frameView_->setAutoresizesSubviews(false);
    frameView_->setNextResponder(this);
    frameView_->setWindowRecursively(this);
    createStandardButtons();
    setContentView(NSView::make());
}

void NSWindow::setStyleMask(NSWindowStyleMask mask) {
    if (mask == styleMask_) return;
    NSRect content = contentRectForFrameRect(frame_);
    styleMask_ = mask;
    // The content keeps its place; the frame grows or shrinks around it.
    frame_ = frameRectForContentRect(content);
    WindowBackend::shared().setWindowFrame(backendWindow_, frame_);
    layoutFrameView();
}

NSView* NSWindow::frameView() const {
    return frameView_.get();
}

NSButton* NSWindow::standardWindowButton(NSWindowButton kind) const {
    if (kind > NSWindowZoomButton || standardButtons_.size() <= kind) return nullptr;
    return standardButtons_[kind].get();
}

void NSWindow::setContentView(const Ref<NSView>& view) {
    if (contentView_ == view) return;
    if (contentView_) {
        contentView_->removeFromSuperview();
        contentView_->setNextResponder(nullptr);
    }
    contentView_ = view;
    if (view) {
        view->removeFromSuperview();
        NSRect content = contentRectForFrameRect(frame_);
        view->setFrame(NSMakeRect(0, 0, content.size.width, content.size.height));
        // Below the window buttons, which stay on top.
        frameView_->addSubview(view, NSWindowBelow, nullptr);
        view->setNextResponder(this);
    }
    needsDisplay_ = true;
    trackingDirty_ = true;
}

void NSWindow::layoutFrameView() {
    NSSize old = frameView_->frame().size;
    frameView_->setFrame(NSMakeRect(0, 0, frame_.size.width, frame_.size.height));
    if (contentView_ && contentView_->superview() == frameView_.get()) {
        // The content view follows the frame by its own autoresizing rule when it has one;
        // otherwise it fills the content area.
        NSRect content = contentRectForFrameRect(frame_);
        contentView_->setFrameSize(content.size);
    }
    for (auto& sub : frameView_->subviews())
        if (sub != contentView_ && sub->autoresizingMask() != NSViewNotSizable)
            sub->resizeWithOldSuperviewSize(old);
    layoutStandardButtons();
    needsDisplay_ = true;
}

// --- Geometry -------------------------------------------------------------------------------

NSRect NSWindow::contentRectForFrameRect(NSRect frame) const {
    if ((styleMask_ & NSWindowStyleMaskTitled) && !(styleMask_ & NSWindowStyleMaskFullScreen) &&
        !(styleMask_ & NSWindowStyleMaskFullSizeContentView))
        frame.size.height = std::max(0.0, frame.size.height - platform::theme::kTitleBarHeight);
    return frame;
}

NSRect NSWindow::frameRectForContentRect(NSRect content) const {
    if ((styleMask_ & NSWindowStyleMaskTitled) && !(styleMask_ & NSWindowStyleMaskFullScreen) &&
        !(styleMask_ & NSWindowStyleMaskFullSizeContentView))
        content.size.height += platform::theme::kTitleBarHeight;
    return content;
}

void NSWindow::setFrame(NSRect frame, bool display) {
    frame.size.width = std::max(frame.size.width, minSize_.width);
    frame.size.height = std::max(frame.size.height, minSize_.height);
    bool resized = frame.size != frame_.size, moved = frame.origin != frame_.origin;
    NSPoint delta{frame.origin.x - frame_.origin.x, frame.origin.y - frame_.origin.y};
    frame_ = frame;
    WindowBackend::shared().setWindowFrame(backendWindow_, frame_);
    if (resized) layoutFrameView();
    if (moved) {
        for (NSWindow* child : std::vector<NSWindow*>(children_))
            child->setFrameOrigin(
                {child->frame_.origin.x + delta.x, child->frame_.origin.y + delta.y});
    }
    auto delegate = delegate_.lock();
    if (resized) {
        if (delegate) delegate->windowDidResize(this);
        post(NSWindowDidResizeNotification);
    }
    if (moved) {
        if (delegate) delegate->windowDidMove(this);
        post(NSWindowDidMoveNotification);
    }
    if (display && visible_) displayIfNeeded();
}

void NSWindow::setFrameOrigin(NSPoint origin) {
    setFrame(NSRect{origin, frame_.size}, false);
}

void NSWindow::setFrameTopLeftPoint(NSPoint point) {
    setFrameOrigin({point.x, point.y - frame_.size.height});
}

void NSWindow::setContentSize(NSSize size) {
    NSRect content = contentRectForFrameRect(frame_);
    double top = NSMaxY(frame_);
    content.size = size;
    NSRect frame = frameRectForContentRect(content);
    frame.origin.y = top - frame.size.height;
    setFrame(frame, true);
}

void NSWindow::center() {
    NSRect screen = NSScreen::mainScreen()->visibleFrame();
    double x = std::round(screen.origin.x + (screen.size.width - frame_.size.width) / 2);
    // A little above the middle, as people expect of a centred window.
    double free = screen.size.height - frame_.size.height;
    double y = std::round(screen.origin.y + std::max(0.0, free) * 2 / 3);
    if (free < 0) y = std::round(screen.origin.y + free);
    setFrameOrigin({x, y});
}

NSScreen* NSWindow::screen() const {
    return NSScreen::mainScreen();
}

NSPoint NSWindow::convertBaseToScreen(NSPoint p) const {
    return {p.x + frame_.origin.x, p.y + frame_.origin.y};
}

NSPoint NSWindow::convertScreenToBase(NSPoint p) const {
    return {p.x - frame_.origin.x, p.y - frame_.origin.y};
}

NSRect NSWindow::convertRectToScreen(NSRect r) const {
    return NSRect{convertBaseToScreen(r.origin), r.size};
}

NSRect NSWindow::convertRectFromScreen(NSRect r) const {
    return NSRect{convertScreenToBase(r.origin), r.size};
}

// --- Ordering and status --------------------------------------------------------------------

void NSWindow::raiseInOrder() {
    auto& order = stacking();
    std::erase(order, this);
    // Above every window of the same or a lower level, below the higher ones.
    auto pos = std::find_if(order.begin(), order.end(),
                            [this](NSWindow* w) { return w->level_ > level_; });
    order.insert(pos, this);
    auto& backend = WindowBackend::shared();
    backend.raiseWindow(backendWindow_);
    for (NSWindow* w : std::vector<NSWindow*>(order))
        if (w->level_ > level_) backend.raiseWindow(w->backendWindow_);
    for (NSWindow* child : std::vector<NSWindow*>(children_))
        if (child->visible_) child->raiseInOrder();
}

void NSWindow::orderFront(NSObject*) {
    if (miniaturized_) deminiaturize(nullptr);
    if (!visible_) {
        visible_ = true;
        WindowBackend::shared().setWindowAlpha(backendWindow_, alphaValue_);
        WindowBackend::shared().setWindowVisible(backendWindow_, true);
        needsDisplay_ = true;
        for (NSWindow* child : children_)
            if (!child->visible_) child->orderFront(nullptr);
    }
    raiseInOrder();
    displayIfNeeded();
}

void NSWindow::orderWindow(NSWindowOrderingMode place, long) {
    if (place == NSWindowOut)
        orderOut(nullptr);
    else
        orderFront(nullptr);
}

void NSWindow::makeKeyAndOrderFront(NSObject* sender) {
    orderFront(sender);
    makeKeyWindow();
}

void NSWindow::setLevel(NSWindowLevel level) {
    if (level == level_) return;
    level_ = level;
    if (visible_) raiseInOrder();
}

bool NSWindow::canBecomeKeyWindow() const {
    return (styleMask_ & (NSWindowStyleMaskTitled | NSWindowStyleMaskResizable)) != 0;
}

bool NSWindow::canBecomeMainWindow() const {
    return (styleMask_ & NSWindowStyleMaskTitled) != 0;
}

void NSWindow::makeKeyWindow() {
    if (gKeyWindow == this || !canBecomeKeyWindow()) return;
    NSWindow* old = gKeyWindow;
    gKeyWindow = this;
    if (old) old->resignKeyWindow();
    WindowBackend::shared().focusWindow(backendWindow_);
    becomeKeyWindow();
    if (canBecomeMainWindow()) makeMainWindow();
}

void NSWindow::makeMainWindow() {
    if (gMainWindow == this || !canBecomeMainWindow()) return;
    NSWindow* old = gMainWindow;
    gMainWindow = this;
    if (old) old->resignMainWindow();
    becomeMainWindow();
}

void NSWindow::becomeKeyWindow() {
    trackingDirty_ = true;
    needsDisplay_ = true;
    if (auto d = delegate_.lock()) d->windowDidBecomeKey(this);
    post(NSWindowDidBecomeKeyNotification);
}

void NSWindow::resignKeyWindow() {
    trackingDirty_ = true;
    needsDisplay_ = true;
    if (auto d = delegate_.lock()) d->windowDidResignKey(this);
    post(NSWindowDidResignKeyNotification);
}

void NSWindow::becomeMainWindow() {
    needsDisplay_ = true;
    if (auto d = delegate_.lock()) d->windowDidBecomeMain(this);
    post(NSWindowDidBecomeMainNotification);
}

void NSWindow::resignMainWindow() {
    needsDisplay_ = true;
    if (auto d = delegate_.lock()) d->windowDidResignMain(this);
    post(NSWindowDidResignMainNotification);
}

void NSWindow::orderOut(NSObject*) {
    for (NSWindow* child : std::vector<NSWindow*>(children_))
        child->orderOut(nullptr);
    if (!visible_) return;
    visible_ = false;
    WindowBackend::shared().setWindowVisible(backendWindow_, false);
    std::erase(stacking(), this);
    bool wasKey = gKeyWindow == this, wasMain = gMainWindow == this;
    if (wasKey) {
        gKeyWindow = nullptr;
        resignKeyWindow();
    }
    if (wasMain) {
        gMainWindow = nullptr;
        resignMainWindow();
    }
    if (wasKey || wasMain) {
        // The front-most remaining window that can take the role gets it.
        auto order = stacking();
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            if ((*it)->canBecomeKeyWindow() && (wasKey || wasMain)) {
                (*it)->makeKeyWindow();
                break;
            }
        }
    }
}

bool NSWindow::isKeyWindow() const {
    return gKeyWindow == this;
}

bool NSWindow::isMainWindow() const {
    return gMainWindow == this;
}

NSWindow* NSWindow::keyWindow() {
    return gKeyWindow;
}

NSWindow* NSWindow::mainWindow() {
    return gMainWindow;
}

// --- Closing, miniaturising, zooming, full screen -------------------------------------------

void NSWindow::close() {
    Ref<NSObject> keep = weak_from_this().lock();
    if (auto d = delegate_.lock()) d->windowWillClose(this);
    post(NSWindowWillCloseNotification);
    if (parent_) parent_->removeChildWindow(this);
    orderOut(nullptr);
}

void NSWindow::performClose(NSObject*) {
    Ref<NSObject> keep = weak_from_this().lock();
    if (auto d = delegate_.lock(); d && !d->windowShouldClose(this)) return;
    close();
}

void NSWindow::miniaturize(NSObject*) {
    if (miniaturized_ || !visible_) return;
    if (WindowBackend::shared().miniaturizeWindow(backendWindow_)) {
        miniaturized_ = true;
        post(NSWindowDidMiniaturizeNotification);
    }
}

void NSWindow::deminiaturize(NSObject*) {
    if (!miniaturized_) return;
    miniaturized_ = false;
    WindowBackend::shared().setWindowVisible(backendWindow_, visible_);
    post(NSWindowDidDeminiaturizeNotification);
}

void NSWindow::zoom(NSObject*) {
    if (zoomed_) {
        zoomed_ = false;
        setFrame(unzoomedFrame_, true);
        return;
    }
    unzoomedFrame_ = frame_;
    zoomed_ = true;
    setFrame(NSScreen::mainScreen()->visibleFrame(), true);
}

void NSWindow::toggleFullScreen(NSObject*) {
    bool entering = !(styleMask_ & NSWindowStyleMaskFullScreen);
    auto delegate = delegate_.lock();
    if (entering) {
        if (delegate) delegate->windowWillEnterFullScreen(this);
        post(NSWindowWillEnterFullScreenNotification);
        preFullScreenFrame_ = frame_;
        WindowBackend::shared().setWindowFullScreen(backendWindow_, true);
        styleMask_ |= NSWindowStyleMaskFullScreen;
        for (auto& button : standardButtons_)
            button->setHidden(true);
        layoutFrameView();
        setFrame(NSScreen::mainScreen()->frame(), true);
        post(NSWindowDidEnterFullScreenNotification);
    } else {
        if (delegate) delegate->windowWillExitFullScreen(this);
        post(NSWindowWillExitFullScreenNotification);
        WindowBackend::shared().setWindowFullScreen(backendWindow_, false);
        styleMask_ &= ~NSWindowStyleMaskFullScreen;
        for (auto& button : standardButtons_)
            button->setHidden(false);
        layoutFrameView();
        setFrame(preFullScreenFrame_, true);
        post(NSWindowDidExitFullScreenNotification);
    }
}

// --- Child windows --------------------------------------------------------------------------

void NSWindow::addChildWindow(NSWindow* child, NSWindowOrderingMode) {
    if (!child || child == this || child->parent_ == this) return;
    if (child->parent_) child->parent_->removeChildWindow(child);
    child->parent_ = this;
    children_.push_back(child);
    if (visible_) child->orderFront(nullptr);
}

void NSWindow::removeChildWindow(NSWindow* child) {
    if (!child || child->parent_ != this) return;
    std::erase(children_, child);
    child->parent_ = nullptr;
}

// --- Look -----------------------------------------------------------------------------------

NSWindowDelegate* NSWindow::delegate() const {
    return delegate_.lock().get();
}

void NSWindow::setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) {
    delegate_ = delegate;
}

void NSWindow::setTitle(std::string title) {
    title_ = std::move(title);
    needsDisplay_ = true;
}

void NSWindow::setBackgroundColor(Ref<NSColor> color) {
    backgroundColor_ = color ? std::move(color) : NSColor::windowBackgroundColor();
    needsDisplay_ = true;
}

double NSWindow::animatableValue(const std::string& key) const {
    return key == "alphaValue" ? alphaValue_ : 0;
}

void NSWindow::setAnimatableValue(const std::string& key, double value) {
    if (key == "alphaValue") setAlphaValue(value);
}

void NSWindow::setAlphaValue(double alpha) {
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (alpha == alphaValue_) return;
    alphaValue_ = alpha;
    WindowBackend::shared().setWindowAlpha(backendWindow_, alpha);
}

void NSWindow::setOpaque(bool opaque) {
    opaque_ = opaque;
    needsDisplay_ = true;
}

void NSWindow::post(const NSNotificationName& name) {
    NSNotificationCenter::defaultCenter().postNotificationName(name, this);
}

// --- First responder ------------------------------------------------------------------------

bool NSWindow::makeFirstResponder(NSResponder* responder) {
    if (!responder) responder = this;
    if (responder == firstResponder_) return true;
    // A field whose text the field editor edits counts as the first responder already.
    if (fieldEditor_ && firstResponder_ == fieldEditor_.get() &&
        fieldEditor_->superview() == responder)
        return true;
    if (auto* view = dynamic_cast<NSView*>(responder); view && view->window() != this) return false;
    if (responder != this && !responder->acceptsFirstResponder()) return false;
    NSResponder* old = firstResponder_;
    if (!old->resignFirstResponder()) return false;
    // Resigning may have moved the role already (to the window when a field editor left).
    if (firstResponder_ != old && firstResponder_ != this) return firstResponder_ == responder;
    firstResponder_ = this;
    if (!responder->becomeFirstResponder()) return false;
    if (firstResponder_ == this) firstResponder_ = responder;
    return true;
}

NSTextView* NSWindow::fieldEditor(bool createFlag, NSObject*) {
    if (!fieldEditor_ && createFlag) {
        fieldEditor_ = NSTextView::make();
        fieldEditor_->setFieldEditor(true);
    }
    return fieldEditor_.get();
}

void NSWindow::viewWillLeaveWindow(NSView* view) {
    if (auto* fr = dynamic_cast<NSView*>(firstResponder_); fr && fr->isDescendantOf(view))
        firstResponder_ = this;
    trackingDirty_ = true;
    needsDisplay_ = true;
}

// --- Drawing --------------------------------------------------------------------------------

void NSWindow::displayIfNeeded() {
    if (trackingDirty_ && mouseKnown_) updateTrackingState(0, 0);
    if (needsDisplay_) display();
}

void NSWindow::display() {
    needsDisplay_ = false;
    if (!visible_ || miniaturized_) return;
    auto& backend = WindowBackend::shared();
    Ref<NSGraphicsContext> context = backend.beginFrame(backendWindow_);
    if (!context) return;
    ++displayCount_;
    surface_ = context;
    cairo_t* cr = platform::detail::cairoOf(*context);
    context->saveState();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    Ref<NSColor> background = backgroundColor_;
    if (!opaque_ || background->alphaComponent() < 1) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    platform::detail::setSourceColor(cr, background);
    cairo_paint(cr);
    cairo_restore(cr);
    auto previous = NSGraphicsContext::currentContext();
    NSGraphicsContext::setCurrentContext(context);
    // NOTE: the whole window is redrawn whenever anything in it is dirty.
    drawing_ = true;
    frameView_->drawHierarchy(*context, false);
    drawing_ = false;
    NSGraphicsContext::setCurrentContext(previous);
    context->restoreState();
    frameView_->clearNeedsDisplayRecursively();
    if (NSScreenUpdatesDisabled()) {
        presentDeferred_ = true;
        return;
    }
    presentDeferred_ = false;
    ++presentCount_;
    backend.presentFrame(backendWindow_);
}

void NSWindow::presentDeferredFrame() {
    if (!presentDeferred_) return;
    presentDeferred_ = false;
    if (!visible_ || miniaturized_ || !surface_) return;
    ++presentCount_;
    WindowBackend::shared().presentFrame(backendWindow_);
}

namespace {
int gScreenUpdatesDisabled = 0;
}  // namespace

void NSDisableScreenUpdates() {
    ++gScreenUpdatesDisabled;
}

void NSEnableScreenUpdates() {
    if (gScreenUpdatesDisabled == 0) return;
    if (--gScreenUpdatesDisabled > 0) return;
    for (NSWindow* window : std::vector<NSWindow*>(allWindows()))
        window->presentDeferredFrame();
}

bool NSScreenUpdatesDisabled() {
    return gScreenUpdatesDisabled > 0;
}

void NSWindow::awakeAfterUnarchive() {
    if (!frameView_)
        initWithContentRect(nibContentRect_, nibStyleMask_, NSBackingStoreBuffered, false);
}

void NSWindow::addNibChild(Ref<NSObject> child) {
    if (auto view = std::dynamic_pointer_cast<NSView>(child); view && contentView_)
        contentView_->addSubview(view);
}

void NSWindow::registerClass() {
    ClassRegistry::shared()
        .registerClass<NSWindow, NSResponder>("NSWindow")
        .property("contentRect", &NSWindow::setNibContentRect)
        .property("styleMask", &NSWindow::setNibStyleMask)
        .property("title", &NSWindow::setTitle)
        .property("opaque", &NSWindow::setOpaque)
        .property("hasShadow", &NSWindow::setHasShadow)
        .property("movableByWindowBackground", &NSWindow::setMovableByWindowBackground)
        .property("alphaValue", &NSWindow::setAlphaValue)
        .property("level",
                  [](NSWindow& w, const std::string& text) {
                      long level = 0;
                      if (!platform::parsePropertyText(text, level)) return false;
                      w.setLevel(level);
                      return true;
                  })
        .action("performClose:", &NSWindow::performClose)
        .action("performMiniaturize:", &NSWindow::performMiniaturize)
        .action("performZoom:", &NSWindow::performZoom)
        .action("toggleFullScreen:", &NSWindow::toggleFullScreen)
        .action("makeKeyAndOrderFront:", &NSWindow::makeKeyAndOrderFront)
        .action("orderOut:", &NSWindow::orderOut)
        .action("orderFront:", &NSWindow::orderFront);
}
