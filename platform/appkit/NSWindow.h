#pragma once
// Top-level windows: a content view tree drawn into a backend surface, the first responder,
// and the routing of input events to views and tracking areas.

#include <string>
#include <vector>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/graphics/NSColor.h"

class NSWindow;

using NSWindowStyleMask = unsigned long;
inline constexpr NSWindowStyleMask NSWindowStyleMaskBorderless = 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskTitled = 1;
inline constexpr NSWindowStyleMask NSWindowStyleMaskClosable = 2;
inline constexpr NSWindowStyleMask NSWindowStyleMaskMiniaturizable = 4;
inline constexpr NSWindowStyleMask NSWindowStyleMaskResizable = 8;
inline constexpr NSWindowStyleMask NSBorderlessWindowMask = 0;
inline constexpr NSWindowStyleMask NSTitledWindowMask = 1;
inline constexpr NSWindowStyleMask NSClosableWindowMask = 2;
inline constexpr NSWindowStyleMask NSMiniaturizableWindowMask = 4;
inline constexpr NSWindowStyleMask NSResizableWindowMask = 8;

enum NSBackingStoreType : unsigned long {
    NSBackingStoreRetained = 0,
    NSBackingStoreNonretained = 1,
    NSBackingStoreBuffered = 2,
};

/// What a window tells its delegate; every message is optional.
class NSWindowDelegate {
  public:
    virtual ~NSWindowDelegate() = default;
    virtual bool windowShouldClose(NSWindow* /*sender*/) { return true; }
    virtual void windowWillClose(NSWindow* /*window*/) {}
    virtual void windowDidBecomeKey(NSWindow* /*window*/) {}
    virtual void windowDidResignKey(NSWindow* /*window*/) {}
    virtual void windowDidResize(NSWindow* /*window*/) {}
    virtual void windowDidMove(NSWindow* /*window*/) {}
};

class NSWindow : public NSResponder {
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
    NSView* contentView() const { return contentView_.get(); }
    /// Replaces the content view; it is sized to the content area.
    void setContentView(const Ref<NSView>& view);

    /// The frame in screen coordinates (the platform's frame view adds nothing yet).
    NSRect frame() const { return frame_; }
    void setFrame(NSRect frame, bool display = true);
    void setFrameOrigin(NSPoint origin);
    /// The content area in screen coordinates.
    NSRect contentRectForFrameRect(NSRect frame) const { return frame; }
    NSRect frameRectForContentRect(NSRect content) const { return content; }

    void orderFront(NSObject* sender = nullptr);
    void makeKeyAndOrderFront(NSObject* sender = nullptr);
    void orderOut(NSObject* sender = nullptr);
    void makeKeyWindow();
    /// Hides the window and tells the delegate; the window stays usable.
    void close();
    bool isVisible() const { return visible_; }
    bool isKeyWindow() const;
    /// The key window, or nullptr.
    static NSWindow* keyWindow();
    /// Every window that exists, in order of creation.
    static const std::vector<NSWindow*>& windows();

    /// The object that gets key events; the window itself when no view took the role.
    NSResponder* firstResponder() const { return firstResponder_; }
    /// Asks the old responder to resign and the new one to accept; nullptr means the window.
    bool makeFirstResponder(NSResponder* responder);

    /// Routes an event: mouse-downs to the hit view (drags and the up to the same view), keys
    /// to the first responder, movement to tracking areas.
    virtual void sendEvent(NSEvent& event);
    /// The last mouse location seen, in base coordinates.
    NSPoint mouseLocationOutsideOfEventStream() const { return mouseLocation_; }

    /// Draws the window now when something is marked dirty.
    void displayIfNeeded();
    /// Draws the whole window now and presents it.
    void display();
    bool viewsNeedDisplay() const { return needsDisplay_; }
    /// The surface last drawn (nullptr before the first drawing).
    const Ref<NSGraphicsContext>& surface() const { return surface_; }

    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Ref<NSColor> color);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque);
    NSWindowDelegate* delegate() const;
    void setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) { delegate_ = delegate; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    /// Base (window) coordinates to screen coordinates and back.
    NSPoint convertBaseToScreen(NSPoint point) const;
    NSPoint convertScreenToBase(NSPoint point) const;

    /// The backend's handle of this window.
    WindowBackend::WindowId backendWindow() const { return backendWindow_; }

    // Platform-internal, called by views.
    void noteNeedsDisplay() { needsDisplay_ = true; }
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

    NSWindowStyleMask styleMask_ = NSWindowStyleMaskTitled;
    NSRect frame_;
    Ref<NSView> contentView_;
    WindowBackend::WindowId backendWindow_ = 0;
    bool visible_ = false;
    NSResponder* firstResponder_ = this;
    WeakRef<NSView> mouseDownView_;
    WeakRef<NSView> rightMouseDownView_;
    NSPoint mouseLocation_{-1, -1};
    bool mouseKnown_ = false;
    std::vector<InsideArea> insideAreas_;
    bool trackingDirty_ = false;
    bool needsDisplay_ = true;
    Ref<NSGraphicsContext> surface_;
    Ref<NSColor> backgroundColor_ = NSColor::windowBackgroundColor();
    bool opaque_ = true;
    WeakRef<NSWindowDelegate> delegate_;
    std::string title_;
};
