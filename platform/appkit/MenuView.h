#pragma once
// The content of a menu window: one row per visible item of a menu, laid out top to bottom,
// with the highlighted row marked.

#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSView.h"

class MenuView : public NSView {
  public:
    /// A view showing the visible items of `menu` as they are now, sized to fit them.
    static Ref<MenuView> make(const Ref<NSMenu>& menu);

    const Ref<NSMenu>& menu() const { return menu_; }
    /// The size that shows every row (the frame is made this size).
    NSSize preferredSize() const { return preferredSize_; }
    /// Whether some item is shown.
    bool hasRows() const { return !rows_.empty(); }

    /// The row of item `index` of the menu in this view's (flipped) coordinates; NSZeroRect
    /// for hidden items and indexes out of range.
    NSRect rectOfItemAtIndex(long index) const;
    /// The index of the item whose row holds `point` (view coordinates), or -1.
    long indexOfItemAtPoint(NSPoint point) const;
    /// Whether item `index` can be highlighted and chosen: shown, enabled, not a separator.
    bool isSelectable(long index) const;
    /// The selectable item after (`step` 1) or before (-1) `index`, wrapping around; -1 when
    /// there is none. From -1, 1 gives the first and -1 the last.
    long nextSelectable(long index, int step) const;

    /// The highlighted item's index, or -1.
    long highlightedIndex() const { return highlighted_; }
    /// Highlights item `index` (-1 for none) and redraws when it changed.
    void setHighlightedIndex(long index);

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }
    void drawRect(NSRect dirtyRect) override;

  private:
    struct Row {
        long index;
        NSRect rect;
    };
    void layout();

    Ref<NSMenu> menu_;
    std::vector<Row> rows_;
    NSSize preferredSize_;
    long highlighted_ = -1;
};
