#pragma once
// Scroll views: a clip view showing part of a document view, with optional vertical and
// horizontal scrollers, a border and wheel scrolling. Flipped: layout runs from the top.

#include <utility>

#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSScroller.h"

class NSColor;

enum NSBorderType : unsigned long {
    NSNoBorder = 0,
    NSLineBorder = 1,
    NSBezelBorder = 2,
    NSGrooveBorder = 3,
};

class NSScrollView : public NSView {
  public:
    static Ref<NSScrollView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<NSScrollView>();
        view->initWithFrame(frame);
        return view;
    }
    NSScrollView();
    ~NSScrollView() override;
    /// Makes the clip view; subclasses made by make() call it once.
    void initWithFrame(NSRect frame) override;

    // The document and the clip view.
    NSView* documentView() const;
    /// Puts `view` in the clip view (nullptr: no document) and lays out again.
    void setDocumentView(const Ref<NSView>& view);
    const Ref<NSClipView>& contentView() const { return clip_; }
    /// The clip view that holds the document's header (see NSScrollViewHeaderSource), or
    /// nullptr while the document has none.
    const Ref<NSClipView>& headerClipView() const { return headerClip_; }
    /// Replaces the clip view (keeping the document view it already holds).
    void setContentView(const Ref<NSClipView>& clip);
    /// The size the clip view gets with the current scrollers and border.
    NSSize contentSize() const;
    /// The visible part of the document, in the document's coordinates.
    NSRect documentVisibleRect() const;

    // Scrollers.
    bool hasVerticalScroller() const { return hasVertical_; }
    /// Shows (making one when needed) or removes the vertical scroller.
    void setHasVerticalScroller(bool has);
    bool hasHorizontalScroller() const { return hasHorizontal_; }
    void setHasHorizontalScroller(bool has);
    /// The vertical scroller (nullptr until one is needed or set).
    const Ref<NSScroller>& verticalScroller() const { return vertical_; }
    /// Uses `scroller` (any subclass) as the vertical scroller.
    void setVerticalScroller(const Ref<NSScroller>& scroller);
    const Ref<NSScroller>& horizontalScroller() const { return horizontal_; }
    void setHorizontalScroller(const Ref<NSScroller>& scroller);
    /// Whether scrollers hide while the whole document fits.
    bool autohidesScrollers() const { return autohides_; }
    void setAutohidesScrollers(bool autohides);
    /// Legacy scrollers take room beside the content; overlay scrollers lie over it.
    NSScrollerStyle scrollerStyle() const { return style_; }
    void setScrollerStyle(NSScrollerStyle style);
    NSBorderType borderType() const { return border_; }
    void setBorderType(NSBorderType type);

    // Background (the clip view's).
    bool drawsBackground() const;
    void setDrawsBackground(bool draws);
    Ref<NSColor> backgroundColor() const;
    void setBackgroundColor(const Ref<NSColor>& color);

    // Scrolling amounts (points).
    /// The distance one wheel step (or line) scrolls.
    double verticalLineScroll() const { return verticalLine_; }
    void setVerticalLineScroll(double amount) { verticalLine_ = amount; }
    double horizontalLineScroll() const { return horizontalLine_; }
    void setHorizontalLineScroll(double amount) { horizontalLine_ = amount; }
    /// Sets both line amounts.
    void setLineScroll(double amount);
    /// How much of the previous page stays visible after paging.
    double verticalPageScroll() const { return verticalPage_; }
    void setVerticalPageScroll(double amount) { verticalPage_ = amount; }
    double horizontalPageScroll() const { return horizontalPage_; }
    void setHorizontalPageScroll(double amount) { horizontalPage_ = amount; }
    void setPageScroll(double amount);

    // Layout and scrolling.
    /// Lays out the header, the clip view and the scrollers inside the border (the vertical
    /// scroller starts below the header); scroller widths come from
    /// NSScroller::scrollerWidthForControlSize. Subclasses may override and call it.
    virtual void tile();
    /// Updates the scrollers from the clip view's position and the document's size.
    virtual void reflectScrolledClipView(NSClipView* clip);
    /// Scrolls the document: positive deltaY (wheel away from the user) shows content above,
    /// positive deltaX content to the left; each unit is a line scroll. Clamped at both ends.
    void scrollWheel(NSEvent& event) override;
    /// A scroller that the user moved (knob or page) asks the view to follow it.
    virtual void scrollerDidScroll(NSScroller& scroller);

    bool isFlipped() const override { return true; }
    void setFrameSize(NSSize size) override;
    void drawRect(NSRect dirtyRect) override;
    /// Interface files: a clip view element becomes the content view, a scroller element the
    /// vertical (taller than wide) or horizontal scroller, any other view the document view.
    void addNibChild(Ref<NSObject> child) override;
    bool mouseDownCanMoveWindow() const override { return false; }

  private:
    void adoptScroller(const Ref<NSScroller>& scroller, Ref<NSScroller>& slot);
    void dropScroller(Ref<NSScroller>& slot);
    /// Lays out with the given visibility; returns the clip frame.
    NSRect layout(bool showVertical, bool showHorizontal);
    bool scrollerWanted(bool vertical, NSSize clipSize) const;
    /// Which scrollers the current sizes call for (vertical, horizontal).
    std::pair<bool, bool> wantedScrollers() const;

    /// Puts the document's header (if any) in the header clip view; returns its height.
    double adoptHeader();
    /// The part inside the border below the header.
    NSRect contentArea() const;

    Ref<NSClipView> clip_;
    Ref<NSClipView> headerClip_;
    Ref<NSScroller> vertical_, horizontal_;
    bool hasVertical_ = false, hasHorizontal_ = false;
    bool autohides_ = false;
    NSScrollerStyle style_ = NSScrollerStyleLegacy;
    NSBorderType border_ = NSNoBorder;
    double verticalLine_ = 10, horizontalLine_ = 10;
    double verticalPage_ = 10, horizontalPage_ = 10;
    double headerHeight_ = 0;
    bool tiling_ = false;
};
