#pragma once
// Views: a rectangle in its superview with its own coordinates, subviews drawn above it,
// autoresizing, hit testing, conversion between views and tracking areas.

#include <string>
#include <vector>

#include "platform/appkit/CALayer.h"
#include "platform/appkit/NSAnimatablePropertyContainer.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NibLoader.h"
#include "platform/foundation/NSComparisonResult.h"
#include "platform/foundation/NSGeometry.h"

class NSGraphicsContext;
class NSWindow;

using NSAutoresizingMaskOptions = unsigned long;
inline constexpr NSAutoresizingMaskOptions NSViewNotSizable = 0;
inline constexpr NSAutoresizingMaskOptions NSViewMinXMargin = 1;
inline constexpr NSAutoresizingMaskOptions NSViewWidthSizable = 2;
inline constexpr NSAutoresizingMaskOptions NSViewMaxXMargin = 4;
inline constexpr NSAutoresizingMaskOptions NSViewMinYMargin = 8;
inline constexpr NSAutoresizingMaskOptions NSViewHeightSizable = 16;
inline constexpr NSAutoresizingMaskOptions NSViewMaxYMargin = 32;

enum NSWindowOrderingMode : long {
    NSWindowBelow = -1,
    NSWindowOut = 0,
    NSWindowAbove = 1,
};

class NSView : public NSResponder, public NibContainer, public NSAnimatablePropertyContainer {
  public:
    /// A view with `frame` in its future superview's coordinates.
    static Ref<NSView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<NSView>();
        view->initWithFrame(frame);
        return view;
    }
    NSView() = default;
    ~NSView() override;
    /// Sets the frame and bounds (origin 0); subclasses made by make() call it once.
    virtual void initWithFrame(NSRect frame);

    // Geometry.
    NSRect frame() const { return frame_; }
    /// Moves and resizes; a new size resizes the subviews when autoresizesSubviews.
    virtual void setFrame(NSRect frame);
    void setFrameOrigin(NSPoint origin);
    virtual void setFrameSize(NSSize size);
    NSRect bounds() const { return bounds_; }
    /// Sets the bounds origin (the size follows the frame; scaling is not supported).
    void setBounds(NSRect bounds);
    void setBoundsOrigin(NSPoint origin);
    /// Whether y points down in this view's coordinates.
    virtual bool isFlipped() const { return false; }
    /// The part of the bounds that is not clipped by any superview.
    NSRect visibleRect() const;

    // The view tree.
    const std::vector<Ref<NSView>>& subviews() const { return subviews_; }
    NSView* superview() const { return superview_; }
    /// The window the view is in (raw; cleared when the view leaves the window).
    NSWindow* window() const { return window_; }
    /// Adds `view` above the other subviews (removing it from its old superview first).
    void addSubview(const Ref<NSView>& view);
    /// Adds `view` above or below `relativeTo` (nullptr: above or below all).
    void addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const NSView* relativeTo);
    void removeFromSuperview();
    /// Reorders the subviews by `compare` (ascending first, so later views draw above earlier
    /// ones); views that compare the same keep their order. `context` is passed through.
    void sortSubviewsUsingFunction(NSComparisonResult (*compare)(NSView*, NSView*, void*),
                                   void* context);
    /// Whether this view is `view` or one of its descendants.
    bool isDescendantOf(const NSView* view) const;

    virtual void viewWillMoveToWindow(NSWindow* /*window*/) {}
    virtual void viewDidMoveToWindow() {}
    virtual void viewWillMoveToSuperview(NSView* /*superview*/) {}
    virtual void viewDidMoveToSuperview() {}
    /// Called after a subview was added or before one is removed.
    virtual void didAddSubview(NSView* /*subview*/) {}
    virtual void willRemoveSubview(NSView* /*subview*/) {}
    /// Called after a subview's frame moved or changed size (clip views follow documents).
    virtual void subviewFrameDidChange(NSView* /*subview*/) {}

    bool isHidden() const { return hidden_; }
    /// Hidden views and their subviews neither draw nor receive hits.
    void setHidden(bool hidden);
    /// Whether this view or a superview is hidden.
    bool isHiddenOrHasHiddenAncestor() const;

    virtual long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    /// This view or the first descendant (depth first) whose tag is `tag`.
    NSView* viewWithTag(long tag);

    // Autoresizing.
    NSAutoresizingMaskOptions autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(NSAutoresizingMaskOptions mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool resizes) { autoresizesSubviews_ = resizes; }
    /// Tells each subview that this view's size changed from `oldSize`.
    virtual void resizeSubviewsWithOldSize(NSSize oldSize);
    /// Shares the superview's size change among the flexible parts of the mask (margins and
    /// size), in proportion to their current lengths (evenly when they are all zero).
    virtual void resizeWithOldSuperviewSize(NSSize oldSize);

    // Conversion; nullptr means the window's base coordinates.
    NSPoint convertPoint(NSPoint point, const NSView* fromView) const;
    NSPoint convertPointToView(NSPoint point, const NSView* toView) const;
    NSRect convertRect(NSRect rect, const NSView* fromView) const;
    NSRect convertRectToView(NSRect rect, const NSView* toView) const;

    // Hits.
    /// The deepest visible view under `point` (in the superview's coordinates), or nullptr.
    virtual NSView* hitTest(NSPoint point);
    /// Whether `point` is in `rect`, counting edges as the platform does for this view.
    bool mouse(NSPoint point, NSRect inRect) const;
    /// Whether a click on this view may drag the window (true unless the view draws itself).
    virtual bool mouseDownCanMoveWindow() const { return true; }
    /// Offers a Command-key event to this view and its subviews; true when one handled it.
    virtual bool performKeyEquivalent(NSEvent& event);
    /// Whether a click that activates the window also reaches this view.
    virtual bool acceptsFirstMouse(NSEvent* /*event*/) { return false; }

    // Drawing.
    bool needsDisplay() const { return needsDisplay_; }
    void setNeedsDisplay(bool needs);
    void setNeedsDisplayInRect(NSRect rect);
    /// The union of the rectangles marked since the last drawing.
    NSRect dirtyRect() const { return dirtyRect_; }
    /// Draws the window now (the whole window is redrawn).
    void display();
    /// Draws the view's own content in its coordinates; the default draws nothing.
    virtual void drawRect(NSRect /*dirtyRect*/) {}
    /// Whether the view fills its whole bounds with opaque colour.
    virtual bool isOpaque() const { return false; }

    /// The opacity the view and its subviews are drawn with (0 to 1).
    double alphaValue() const { return alphaValue_; }
    void setAlphaValue(double alpha);
    /// The animator's access to "alphaValue" (other keys read 0 and are ignored).
    double animatableValue(const std::string& key) const override;
    void setAnimatableValue(const std::string& key, double value) override;

    bool wantsLayer() const { return wantsLayer_; }
    /// Turning layers on gives the view a layer record that drawing honours.
    void setWantsLayer(bool wants);
    const Ref<CALayer>& layer() const { return layer_; }
    void setLayer(Ref<CALayer> layer) { layer_ = std::move(layer); }

    /// The help text of the view ("" for none); kept, not yet shown on hover.
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string text) { toolTip_ = std::move(text); }

    // Tracking areas.
    void addTrackingArea(const Ref<NSTrackingArea>& area);
    void removeTrackingArea(const Ref<NSTrackingArea>& area);
    const std::vector<Ref<NSTrackingArea>>& trackingAreas() const { return trackingAreas_; }
    /// Called when the view's geometry changed; override to rebuild areas.
    virtual void updateTrackingAreas() {}
    /// Tracks `rect` for `owner` (not retained); the entered/exited events carry `userData`.
    NSTrackingRectTag addTrackingRect(NSRect rect, NSResponder* owner, void* userData,
                                      bool assumeInside);
    void removeTrackingRect(NSTrackingRectTag tag);

    /// Interface files: an element written inside a view's element becomes its subview.
    void addNibChild(Ref<NSObject> child) override;
    static void registerClass();

    // Platform-internal.
    /// Draws this view and its subviews into `context`, whose current coordinates are the
    /// superview's (or the window's base coordinates for the content view).
    void drawHierarchy(NSGraphicsContext& context, bool superviewFlipped);
    /// Sets the window of this view and its subviews, with the hooks.
    void setWindowRecursively(NSWindow* window);
    /// Clears needsDisplay on this view and its subviews.
    void clearNeedsDisplayRecursively();
    /// Maps a point of this view to its superview's coordinates (the window's for the top).
    NSPoint pointToSuperview(NSPoint point) const;
    NSPoint pointFromSuperview(NSPoint point) const;

  private:
    /// Makes `super` (nullptr: nothing) follow this view in the responder chain, after the
    /// view's controller when it has one; when clearing, only a link to `leaving` is cleared.
    void linkNextResponder(NSView* super, NSView* leaving = nullptr);
    bool superviewFlipped() const;
    NSPoint toBase(NSPoint point) const;
    NSPoint fromBase(NSPoint point) const;
    void geometryChanged();

    NSRect frame_;
    NSRect bounds_;
    std::vector<Ref<NSView>> subviews_;
    NSView* superview_ = nullptr;
    NSWindow* window_ = nullptr;
    bool hidden_ = false;
    long tag_ = 0;
    NSAutoresizingMaskOptions autoresizingMask_ = NSViewNotSizable;
    bool autoresizesSubviews_ = true;
    bool needsDisplay_ = false;
    NSRect dirtyRect_;
    bool wantsLayer_ = false;
    double alphaValue_ = 1;
    Ref<CALayer> layer_;
    std::string toolTip_;
    std::vector<Ref<NSTrackingArea>> trackingAreas_;
};
