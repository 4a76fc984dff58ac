#pragma once
// Top-level windows: a content view tree drawn into a backend surface, the first responder,
// and the routing of input events to views and tracking areas.

#include <string>
#include <vector>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSColor.h"

class NSWindow;
class NSButton;
class NSTextView;

using NSWindowStyleMask = unsigned long;
inline constexpr NSWindowStyleMask NSWindowStyleMaskBorderless = 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskTitled = 1;
inline constexpr NSWindowStyleMask NSWindowStyleMaskClosable = 2;
inline constexpr NSWindowStyleMask NSWindowStyleMaskMiniaturizable = 4;
inline constexpr NSWindowStyleMask NSWindowStyleMaskResizable = 8;
inline constexpr NSWindowStyleMask NSWindowStyleMaskFullScreen = 0x4000;
inline constexpr NSWindowStyleMask NSWindowStyleMaskFullSizeContentView = 0x8000;
inline constexpr NSWindowStyleMask NSBorderlessWindowMask = 0;
inline constexpr NSWindowStyleMask NSTitledWindowMask = 1;
inline constexpr NSWindowStyleMask NSClosableWindowMask = 2;
inline constexpr NSWindowStyleMask NSMiniaturizableWindowMask = 4;
inline constexpr NSWindowStyleMask NSResizableWindowMask = 8;
inline constexpr NSWindowStyleMask NSFullScreenWindowMask = 0x4000;

enum NSBackingStoreType : unsigned long {
    NSBackingStoreRetained = 0,
    NSBackingStoreNonretained = 1,
    NSBackingStoreBuffered = 2,
};

using NSWindowLevel = long;
inline constexpr NSWindowLevel NSNormalWindowLevel = 0;
inline constexpr NSWindowLevel NSFloatingWindowLevel = 3;
inline constexpr NSWindowLevel NSModalPanelWindowLevel = 8;
inline constexpr NSWindowLevel NSStatusWindowLevel = 25;
inline constexpr NSWindowLevel NSPopUpMenuWindowLevel = 101;

enum NSWindowButton : unsigned long {
    NSWindowCloseButton = 0,
    NSWindowMiniaturizeButton = 1,
    NSWindowZoomButton = 2,
    NSWindowToolbarButton = 3,
    NSWindowDocumentIconButton = 4,
    NSWindowDocumentVersionsButton = 6,
    NSWindowFullScreenButton = 7,
};

extern const NSNotificationName NSWindowDidBecomeKeyNotification;
extern const NSNotificationName NSWindowDidResignKeyNotification;
extern const NSNotificationName NSWindowDidBecomeMainNotification;
extern const NSNotificationName NSWindowDidResignMainNotification;
extern const NSNotificationName NSWindowDidResizeNotification;
extern const NSNotificationName NSWindowDidMoveNotification;
extern const NSNotificationName NSWindowWillCloseNotification;
extern const NSNotificationName NSWindowDidMiniaturizeNotification;
extern const NSNotificationName NSWindowDidDeminiaturizeNotification;
extern const NSNotificationName NSWindowWillEnterFullScreenNotification;
extern const NSNotificationName NSWindowDidEnterFullScreenNotification;
extern const NSNotificationName NSWindowWillExitFullScreenNotification;
extern const NSNotificationName NSWindowDidExitFullScreenNotification;
extern const NSNotificationName NSWindowDidEndSheetNotification;

/// What a window tells its delegate; every message is optional.
class NSWindowDelegate {
  public:
    virtual ~NSWindowDelegate() = default;
    virtual bool windowShouldClose(NSWindow* /*sender*/) { return true; }
    virtual void windowWillClose(NSWindow* /*window*/) {}
    virtual void windowDidBecomeKey(NSWindow* /*window*/) {}
    virtual void windowDidResignKey(NSWindow* /*window*/) {}
    virtual void windowDidBecomeMain(NSWindow* /*window*/) {}
    virtual void windowDidResignMain(NSWindow* /*window*/) {}
    virtual void windowDidResize(NSWindow* /*window*/) {}
    virtual void windowDidMove(NSWindow* /*window*/) {}
    virtual void windowWillEnterFullScreen(NSWindow* /*window*/) {}
    virtual void windowWillExitFullScreen(NSWindow* /*window*/) {}
    /// Where a sheet opens, in window coordinates; the default keeps `rect`.
    virtual NSRect willPositionSheet(NSWindow* /*window*/, NSWindow* /*sheet*/, NSRect rect) {
        return rect;
    }
};

class NSScreen;
class NSWindowFrameView;

/// Holds back the showing of drawn windows until the matching NSEnableScreenUpdates, so that
/// several changes (a new frame and a new background) appear together. Calls nest.
void NSDisableScreenUpdates();
/// Ends one NSDisableScreenUpdates; the last one shows every frame drawn in between. An
/// unmatched call does nothing.
void NSEnableScreenUpdates();
/// Whether screen updates are disabled now (the nesting depth is above 0).
bool NSScreenUpdatesDisabled();

class NSWindow : public NSResponder,
                 public NibContainer,
                 public NibUnarchiving,
                 public NSAnimatablePropertyContainer {
  public:
    /// A hidden window whose content has `contentRect` in screen coordinates.
    static Ref<NSWindow> make(NSRect contentRect, NSWindowStyleMask style = NSWindowStyleMaskTitled,
                              NSBackingStoreType backing = NSBackingStoreBuffered,
                              bool defer = false) {
        auto window = std::make_shared<NSWindow>();
        window->initWithContentRect(contentRect, style, backing, defer);
        return window;
    }
    NSWindow() = default;
    ~NSWindow() override;
    virtual void initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                     NSBackingStoreType backing, bool defer);

    NSWindowStyleMask styleMask() const { return styleMask_; }
    void setStyleMask(NSWindowStyleMask mask);
    NSView* contentView() const { return contentView_.get(); }
    /// Replaces the content view; it is sized to the content area.
    virtual void setContentView(const Ref<NSView>& view);
    /// The platform's frame view: the content view's superview, root of the view tree.
    NSView* frameView() const;
    /// The standard close (0), minimise (1) or zoom (2) button; nullptr for other kinds and for
    /// windows without a title bar.
    NSButton* standardWindowButton(NSWindowButton kind) const;

    // Geometry.
    /// The frame in screen coordinates, title bar included.
    NSRect frame() const { return frame_; }
    virtual void setFrame(NSRect frame, bool display = true);
    void setFrameOrigin(NSPoint origin);
    void setFrameTopLeftPoint(NSPoint point);
    /// Sets the size of the content area, keeping the top-left corner.
    void setContentSize(NSSize size);
    /// The content area of a window with this style whose frame is `frame`.
    NSRect contentRectForFrameRect(NSRect frame) const;
    NSRect frameRectForContentRect(NSRect content) const;
    /// Places the window centred horizontally, a little above the middle of the screen.
    void center();
    NSScreen* screen() const;
    long windowNumber() const { return static_cast<long>(backendWindow_); }
    NSSize minSize() const { return minSize_; }
    void setMinSize(NSSize size) { minSize_ = size; }

    // Ordering, levels and status.
    void orderFront(NSObject* sender = nullptr);
    void makeKeyAndOrderFront(NSObject* sender = nullptr);
    void orderFrontRegardless() { orderFront(nullptr); }
    void orderOut(NSObject* sender = nullptr);
    void orderWindow(NSWindowOrderingMode place, long relativeTo);
    NSWindowLevel level() const { return level_; }
    void setLevel(NSWindowLevel level);
    void makeKeyWindow();
    void makeMainWindow();
    bool isVisible() const { return visible_; }
    bool isKeyWindow() const;
    bool isMainWindow() const;
    /// Whether the window may become key: titled or resizable windows by default.
    virtual bool canBecomeKeyWindow() const;
    /// Whether the window may become main: titled windows by default.
    virtual bool canBecomeMainWindow() const;
    // Called when key or main status changes (after the change); subclasses call up.
    virtual void becomeKeyWindow();
    virtual void resignKeyWindow();
    virtual void becomeMainWindow();
    virtual void resignMainWindow();
    /// The key window, or nullptr.
    static NSWindow* keyWindow();
    /// The main window, or nullptr.
    static NSWindow* mainWindow();
    /// Every window that exists, in order of creation.
    static const std::vector<NSWindow*>& windows();
    /// The visible windows from back to front.
    static std::vector<NSWindow*> orderedWindows();

    // Closing, miniaturising, zooming, full screen.
    /// Tells the delegate and observers, then hides the window; the window stays usable.
    virtual void close();
    /// Asks windowShouldClose: first, then closes.
    virtual void performClose(NSObject* sender);
    void miniaturize(NSObject* sender);
    void performMiniaturize(NSObject* sender) { miniaturize(sender); }
    void deminiaturize(NSObject* sender);
    bool isMiniaturized() const { return miniaturized_; }
    /// Toggles between the user's frame and the visible screen.
    void zoom(NSObject* sender);
    void performZoom(NSObject* sender) { zoom(sender); }
    bool isZoomed() const { return zoomed_; }
    virtual void toggleFullScreen(NSObject* sender);

    // Child windows: they move with their parent and are ordered above it.
    void addChildWindow(NSWindow* child, NSWindowOrderingMode place);
    void removeChildWindow(NSWindow* child);
    const std::vector<NSWindow*>& childWindows() const { return children_; }
    NSWindow* parentWindow() const { return parent_; }

    // Responders and events.
    /// The object that gets key events; the window itself when no view took the role.
    NSResponder* firstResponder() const { return firstResponder_; }
    /// Asks the old responder to resign and the new one to accept; nullptr means the window.
    /// A responder may hand the role on while accepting (a text field to its field editor).
    bool makeFirstResponder(NSResponder* responder);
    /// The text view shared by the window's text fields for editing, made on first use when
    /// `createFlag`; nullptr otherwise. `forObject` is the control about to be edited.
    NSTextView* fieldEditor(bool createFlag, NSObject* forObject);
    /// Routes an event: mouse-downs to the hit view (drags and the up to the same view), keys
    /// to the first responder, movement to tracking areas. A mouse-down on the title bar, or on
    /// a view that lets the window move when the window is movable by its background, drags
    /// the window instead.
    virtual void sendEvent(NSEvent& event);
    /// Offers a Command-key event to the views; true when one handled it.
    virtual bool performKeyEquivalent(NSEvent& event);
    /// The last mouse location seen, in base coordinates.
    NSPoint mouseLocationOutsideOfEventStream() const { return mouseLocation_; }
    bool isMovableByWindowBackground() const { return movableByBackground_; }
    void setMovableByWindowBackground(bool movable) { movableByBackground_ = movable; }
    bool isMovable() const { return movable_; }
    void setMovable(bool movable) { movable_ = movable; }
    bool ignoresMouseEvents() const { return ignoresMouseEvents_; }
    void setIgnoresMouseEvents(bool ignores) { ignoresMouseEvents_ = ignores; }
    bool acceptsMouseMovedEvents() const { return acceptsMouseMoved_; }
    void setAcceptsMouseMovedEvents(bool accepts) { acceptsMouseMoved_ = accepts; }

    // Drawing and look.
    /// Draws the window now when something is marked dirty.
    void displayIfNeeded();
    /// Draws the whole window now and presents it.
    void display();
    bool viewsNeedDisplay() const { return needsDisplay_; }
    void setViewsNeedDisplay(bool needs) { needsDisplay_ = needs; }
    /// The surface last drawn (nullptr before the first drawing).
    const Ref<NSGraphicsContext>& surface() const { return surface_; }
    /// How many times the window was drawn (for tests of idle behaviour).
    long displayCount() const { return displayCount_; }
    /// How many drawn frames were shown (a frame drawn while screen updates are disabled is
    /// shown when they are enabled again).
    long presentCount() const { return presentCount_; }
    /// Platform-internal: shows the frame held back while screen updates were disabled.
    void presentDeferredFrame();

    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(Ref<NSColor> color);
    /// The opacity of the whole window (0 to 1).
    double alphaValue() const { return alphaValue_; }
    void setAlphaValue(double alpha);
    /// The animator's access to "alphaValue" (other keys read 0 and are ignored).
    double animatableValue(const std::string& key) const override;
    void setAnimatableValue(const std::string& key, double value) override;
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque);
    bool hasShadow() const { return hasShadow_; }
    void setHasShadow(bool shadow) { hasShadow_ = shadow; }
    /// The delegate (not retained); subclasses that stand a proxy in between answer the real one.
    virtual NSWindowDelegate* delegate() const;
    virtual void setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate);
    const std::string& title() const { return title_; }
    virtual void setTitle(std::string title);
    bool isReleasedWhenClosed() const { return releasedWhenClosed_; }
    void setReleasedWhenClosed(bool released) { releasedWhenClosed_ = released; }
    /// Whether the window stays out of the application's Windows menu list (addWindowsItem).
    virtual bool isExcludedFromWindowsMenu() const { return excludedFromWindowsMenu_; }
    void setExcludedFromWindowsMenu(bool excluded) { excludedFromWindowsMenu_ = excluded; }
    /// Recorded only: every window draws its views in order and may let them overlap.
    void useOptimizedDrawing(bool flag) { optimizedDrawing_ = flag; }
    bool usesOptimizedDrawing() const { return optimizedDrawing_; }
    /// Recorded only: every window is buffered here.
    NSBackingStoreType backingType() const { return backingType_; }
    void setBackingType(NSBackingStoreType type) { backingType_ = type; }
    /// Asks for the shadow to follow the window's current shape. The backends cast no shadow
    /// of their own, so this only counts the requests (shadowInvalidationCount, for tests).
    void invalidateShadow() { ++shadowInvalidations_; }
    long shadowInvalidationCount() const { return shadowInvalidations_; }

    /// Base (window) coordinates to screen coordinates and back.
    NSPoint convertBaseToScreen(NSPoint point) const;
    NSPoint convertScreenToBase(NSPoint point) const;
    NSRect convertRectToScreen(NSRect rect) const;
    NSRect convertRectFromScreen(NSRect rect) const;

    /// The backend's handle of this window.
    WindowBackend::WindowId backendWindow() const { return backendWindow_; }

    static void registerClass();
    /// Interface files: the window is made once its properties are read ("contentRect",
    /// "styleMask"); views written inside it become subviews of its content view.
    void awakeAfterUnarchive() override;
    void addNibChild(Ref<NSObject> child) override;
    void setNibContentRect(NSRect rect) { nibContentRect_ = rect; }
    void setNibStyleMask(long mask) { nibStyleMask_ = static_cast<NSWindowStyleMask>(mask); }

    // Platform-internal, called by views.
    /// A view changed; marks made while the window draws are dropped, since the views changed
    /// in a drawRect (their subviews' looks) are drawn later in the same pass.
    void noteNeedsDisplay() {
        if (!drawing_) needsDisplay_ = true;
    }
    void noteTrackingGeometryChanged() { trackingDirty_ = true; }
    /// `view` (and its subviews) leave the window or are hidden: drop references to them.
    void viewWillLeaveWindow(NSView* view);
    /// Recomputes which tracking areas hold the mouse, sending entered/exited events.
    void updateTrackingState(double timestamp, NSEventModifierFlags flags);

  private:
    struct InsideArea {
        WeakRef<NSTrackingArea> area;
        NSTrackingArea* identity;
    };
    void collectAreas(NSView* view, std::vector<std::pair<Ref<NSTrackingArea>, NSView*>>& out);
    bool areaActive(const NSTrackingArea& area, NSView* view) const;
    void sendToArea(const Ref<NSTrackingArea>& area, NSEventType type, NSEventModifierFlags flags,
                    double timestamp, NSEvent* moved);
    bool shouldDragWindow(NSView* hit, NSPoint location) const;
    NSPoint screenPointOf(const NSEvent& event) const;
    void layoutFrameView();
    void createStandardButtons();
    void layoutStandardButtons();
    void raiseInOrder();
    void post(const NSNotificationName& name);

    NSWindowStyleMask styleMask_ = NSWindowStyleMaskTitled;
    NSRect frame_;
    Ref<NSWindowFrameView> frameView_;
    Ref<NSView> contentView_;
    std::vector<Ref<NSButton>> standardButtons_;
    WindowBackend::WindowId backendWindow_ = 0;
    bool visible_ = false;
    NSWindowLevel level_ = NSNormalWindowLevel;
    NSResponder* firstResponder_ = this;
    Ref<NSTextView> fieldEditor_;
    WeakRef<NSView> mouseDownView_;
    WeakRef<NSView> rightMouseDownView_;
    NSPoint mouseLocation_{-1, -1};
    bool mouseKnown_ = false;
    std::vector<InsideArea> insideAreas_;
    bool trackingDirty_ = false;
    bool needsDisplay_ = true;
    long displayCount_ = 0;
    bool drawing_ = false;
    Ref<NSGraphicsContext> surface_;
    Ref<NSColor> backgroundColor_ = NSColor::windowBackgroundColor();
    bool opaque_ = true;
    double alphaValue_ = 1;
    bool hasShadow_ = true;
    bool movableByBackground_ = false;
    bool windowDrag_ = false;
    NSPoint dragPoint_;
    bool movable_ = true;
    bool ignoresMouseEvents_ = false;
    bool acceptsMouseMoved_ = false;
    bool miniaturized_ = false;
    bool zoomed_ = false;
    bool releasedWhenClosed_ = false;
    bool excludedFromWindowsMenu_ = false;
    bool optimizedDrawing_ = false;
    NSBackingStoreType backingType_ = NSBackingStoreBuffered;
    long shadowInvalidations_ = 0;
    bool presentDeferred_ = false;
    long presentCount_ = 0;
    NSRect unzoomedFrame_;
    NSRect preFullScreenFrame_;
    NSSize minSize_;
    NSWindow* parent_ = nullptr;
    std::vector<NSWindow*> children_;
    WeakRef<NSWindowDelegate> delegate_;
    std::string title_;
    NSRect nibContentRect_{{0, 0}, {480, 360}};
    NSWindowStyleMask nibStyleMask_ =
        NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable;
};
