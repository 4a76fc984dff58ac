#include "controls/RFOverlayScrollView/RFOverlayScrollView.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "controls/RFOverlayScrollView/RFOverlayScroller.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/appkit/NSTableView.h"

namespace {

/// Makes every scroller report the overlay stand-in width for the life of the guard, and puts
/// the previous width hook back however the scope is left.
class ZeroScrollerWidth {
  public:
    ZeroScrollerWidth()
        : previous_(NSScroller::setScrollerWidthHook(
              [](NSControlSize, NSScrollerStyle) -> std::optional<double> {
                  return RFOverlayScroller::zeroWidth();
              })) {}
    ~ZeroScrollerWidth() { NSScroller::setScrollerWidthHook(std::move(previous_)); }
    ZeroScrollerWidth(const ZeroScrollerWidth&) = delete;
    ZeroScrollerWidth& operator=(const ZeroScrollerWidth&) = delete;

  private:
    NSScroller::WidthHook previous_;
};

}  // namespace

void RFOverlayScrollView::initWithFrame(NSRect frame) {
    NSScrollView::initWithFrame(frame);
    setUpOverlay();
}

void RFOverlayScrollView::awakeFromNib() {
    setUpOverlay();
    // The scrollers were placed while the file was read, before the offset was known.
    tile();
}

void RFOverlayScrollView::setUpOverlay() {
    setWantsLayer(true);
    headerOffset_ = tableHeaderOffsetFromSuperview();
}

long RFOverlayScrollView::tableHeaderOffsetFromSuperview() const {
    for (const Ref<NSView>& sub : subviews()) {
        if (!dynamic_cast<NSClipView*>(sub.get())) continue;
        for (const Ref<NSView>& inner : sub->subviews()) {
            auto* table = dynamic_cast<NSTableView*>(inner.get());
            if (!table) continue;
            const Ref<NSTableHeaderView>& header = table->headerView();
            if (!header) return 0;
            // Truncated to whole points; a height that is not a positive number counts as none.
            const double height = header->frame().size.height;
            return std::isfinite(height) && height > 0 ? static_cast<long>(height) : 0;
        }
    }
    return 0;
}

void RFOverlayScrollView::tile() {
    {
        ZeroScrollerWidth zero;
        NSScrollView::tile();
    }
    if (const Ref<NSScroller>& vertical = verticalScroller()) {
        const double sw = NSScroller::scrollerWidthForControlSize(vertical->controlSize(),
                                                                  vertical->scrollerStyle());
        const NSRect b = bounds();
        const double offset = static_cast<double>(headerOffset_);
        // An offset beyond the view's height leaves an empty scroller, not a negative one.
        vertical->setFrame(
            NSMakeRect(NSMaxX(b) - sw, offset, sw, std::max(0.0, b.size.height - offset)));
    }
    sortSubviewsUsingFunction(&RFOverlayScrollView::scrollerAboveSiblingViewsComparator, nullptr);
}

NSComparisonResult RFOverlayScrollView::scrollerAboveSiblingViewsComparator(NSView* first,
                                                                            NSView* second, void*) {
    if (dynamic_cast<RFOverlayScroller*>(first)) return NSOrderedDescending;
    if (dynamic_cast<RFOverlayScroller*>(second)) return NSOrderedAscending;
    return NSOrderedSame;
}

void RFOverlayScrollView::registerClass() {
    ClassRegistry::shared().registerClass<RFOverlayScrollView, NSScrollView>("RFOverlayScrollView");
}
