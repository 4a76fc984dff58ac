#pragma once
// A scroll view whose vertical scroller lies over the right edge of the content instead of
// beside it, starting below the table header: the content keeps the full width.

#include "platform/appkit/NSScrollView.h"
#include "platform/foundation/NSComparisonResult.h"

class RFOverlayScrollView : public NSScrollView {
  public:
    static Ref<RFOverlayScrollView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<RFOverlayScrollView>();
        view->initWithFrame(frame);
        return view;
    }

    /// The platform's set-up, then layer-backed with the header offset of the table inside.
    void initWithFrame(NSRect frame) override;
    /// Interface files: layer-backed with the header offset of the table inside, then laid out
    /// again so that the vertical scroller starts below the header.
    void awakeFromNib() override;

    /// The height, in whole points, of the header of the first table view found in the clip
    /// views (0 when that table has no header or there is no table).
    long tableHeaderOffsetFromSuperview() const;
    /// Lays the content out as if scrollers had no width, then puts the vertical scroller over
    /// the rightmost points from headerOffset down, and draws the overlay scrollers last.
    void tile() override;

    /// How far below the top the vertical scroller starts; setting it does not lay out again.
    long headerOffset() const { return headerOffset_; }
    void setHeaderOffset(long offset) { headerOffset_ = offset; }

    /// Orders overlay scrollers after every other view; others keep their order.
    static NSComparisonResult scrollerAboveSiblingViewsComparator(NSView* first, NSView* second,
                                                                  void* context);

    static void registerClass();

  private:
    void setUpOverlay();

    long headerOffset_ = 0;
};
