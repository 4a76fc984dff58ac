#pragma once
// The Languages list: a dark outline that paints its rows as the application lists do (row
// background, rounded highlight of rowNum), shows no disclosure triangles, and lets the cells
// of its third column start 10 points to the left and run the view's whole width. Its columns
// carry CustomHeaderCell headers in a 41-point header view.

#include "platform/appkit/NSOutlineView.h"
#include "platform/appkit/NSOutlineViewDelegate.h"

class CustemOutlineView : public NSOutlineView, public NSOutlineViewDelegate {
  public:
    static Ref<CustemOutlineView> make(NSRect frame = NSZeroRect) {
        auto outline = std::make_shared<CustemOutlineView>();
        outline->initWithFrame(frame);
        return outline;
    }
    /// No platform selection highlight; a header view of 1000 x 41.
    CustemOutlineView();

    /// The row painted with the rounded highlight (0 from creation; -1 for none).
    int rowNum() const { return rowNum_; }
    /// Stores the row; a new value redraws the view.
    void setRowNum(int row);

    /// Gives every column a new CustomHeaderCell made from its current header cell.
    void _setupHeaderCell();

    /// No row has a disclosure triangle: the zero rectangle, so none is drawn or clicked.
    NSRect frameOfOutlineCellAtRow(long row) const override;
    /// The platform's frame; column 2 moved 10 points left and as wide as the view.
    NSRect frameOfCellAtColumn(long column, long row) const override;
    /// Answered for itself (and for any outline it is the delegate of): no triangle.
    std::optional<bool> shouldShowOutlineCellForItem(NSOutlineView* outlineView,
                                                     const Ref<NSObject>& item) override;

    /// Interface files: header cells installed once the columns exist, header view 1000 x 41.
    void awakeFromNib() override;
    /// Columns added later get their CustomHeaderCell here too.
    void tile() override;
    /// The panel-coloured row, the highlight of rowNum, then the row's cells.
    void drawRow(long row, NSRect clipRect) override;
    /// The platform's selection is never drawn.
    void highlightSelectionInClipRect(NSRect /*clipRect*/) override {}

    static void registerClass();

  private:
    int rowNum_ = 0;
};
