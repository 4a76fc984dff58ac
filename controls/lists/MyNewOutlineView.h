#pragma once
// The outline of the review and removal-confirmation dialogs: rows in the dialog colour with
// a rounded 36-point highlight of the row the owner names (isSelectRow), no disclosure
// triangles, a third column whose cells run the view's whole width, and PopCustomHeaderCell
// headers in a 28-point header view.

#include <string>
#include <vector>

#include "platform/appkit/NSOutlineView.h"

class MyNewOutlineView : public NSOutlineView {
  public:
    static Ref<MyNewOutlineView> make(NSRect frame = NSZeroRect) {
        auto outline = std::make_shared<MyNewOutlineView>();
        outline->initWithFrame(frame);
        return outline;
    }
    /// No platform selection highlight; a header view of 1000 x 28.
    MyNewOutlineView();

    /// The row numbers of the group rows as decimal text, kept for the owners (drawing does
    /// not read them).
    const std::vector<std::string>& isRootArr() const { return isRootArr_; }
    std::vector<std::string>& isRootArr() { return isRootArr_; }
    void setIsRootArr(std::vector<std::string> rows) { isRootArr_ = std::move(rows); }
    /// The row painted with the rounded highlight (0 from creation; -1 for none).
    int isSelectRow() const { return isSelectRow_; }
    void setIsSelectRow(int row) { isSelectRow_ = row; }
    /// Highlights `row` (-1: none) and redraws the view.
    void setSelectCellBackgroundColorWithRow(int row);

    /// Gives every column a new PopCustomHeaderCell made from its current header cell.
    void _setupHeaderCell();

    /// No row has a disclosure triangle.
    NSRect frameOfOutlineCellAtRow(long row) const override;
    /// The platform's frame; column 2 moved 10 points left and as wide as the view.
    NSRect frameOfCellAtColumn(long column, long row) const override;

    /// Interface files: header cells installed once the columns exist, header view 1000 x 28.
    void awakeFromNib() override;
    /// Columns added later get their PopCustomHeaderCell here too.
    void tile() override;
    /// The dialog-coloured row, the 36-point highlight of isSelectRow, then the row's cells.
    void drawRow(long row, NSRect clipRect) override;
    /// The platform's selection is never drawn.
    void highlightSelectionInClipRect(NSRect /*clipRect*/) override {}

    static void registerClass();

  private:
    std::vector<std::string> isRootArr_;
    int isSelectRow_ = 0;
};
