#pragma once
// The application lists: a dark table that paints its own row background and a rounded
// highlight of the row the owner names (rowNum), never the platform's selection. Its columns
// carry CustomHeaderCell headers in a 41-point header view.

#include "platform/appkit/NSTableView.h"

class CustomTableView : public NSTableView {
  public:
    static Ref<CustomTableView> make(NSRect frame = NSZeroRect) {
        auto table = std::make_shared<CustomTableView>();
        table->initWithFrame(frame);
        return table;
    }
    /// No platform selection highlight; a header view of 1000 x 41.
    CustomTableView();

    /// The row painted with the rounded highlight (0 from creation; -1 for none).
    int rowNum() const { return rowNum_; }
    /// Stores the row; a new value redraws the view.
    void setRowNum(int row);

    /// Gives every column a new CustomHeaderCell made from its current header cell (the
    /// owners send it again after they set a new title).
    void _setupHeaderCell();

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
