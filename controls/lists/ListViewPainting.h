#pragma once
// Drawing and header set-up shared by the dark list views: row fills, rounded highlights,
// the widened third column and the replacement of the columns' header cells.

#include <vector>

#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableView.h"

class NSColor;

namespace listview {

/// Sets the platform's selection highlight to none (no redisplay when it already is).
void hidePlatformSelection(NSTableView& view);
/// Fills the whole rectangle of `row` with `color`.
void fillRow(const NSTableView& view, long row, const Ref<NSColor>& color);
/// Fills `rect` as a rounded rectangle of corner `radius`, blended over what is drawn.
void fillRoundedRect(NSRect rect, double radius, const Ref<NSColor>& color);
/// The row look of the application and language lists: the row filled with the panel colour
/// and, when it is `highlightedRow`, the fixed rounded highlight from x 17, 766 wide.
void paintListRow(const NSTableView& view, long row, long highlightedRow);
/// The cell frame of column 2 starts 10 points further left and is as wide as the view; the
/// other columns keep `frame`.
NSRect widenThirdColumn(const NSTableView& view, long column, NSRect frame);
/// Gives the header view (when there is one) the size `width` x `height`.
void sizeHeaderView(NSTableView& view, double width, double height);

/// Replaces every column's header cell with a new `Cell` made from it, in column order.
template <class Cell>
void setupHeaderCells(NSTableView& view) {
    const std::vector<Ref<NSTableColumn>> columns = view.tableColumns();
    for (const Ref<NSTableColumn>& column : columns)
        column->setHeaderCell(Cell::make(*column->headerCell()));
}

/// Gives a `Cell` to the columns whose header cell is of another class (columns added after
/// the view was made); cells that already are `Cell`s are kept.
template <class Cell>
void adoptHeaderCells(NSTableView& view) {
    const std::vector<Ref<NSTableColumn>> columns = view.tableColumns();
    for (const Ref<NSTableColumn>& column : columns)
        if (!dynamic_cast<Cell*>(column->headerCell().get()))
            column->setHeaderCell(Cell::make(*column->headerCell()));
}

}  // namespace listview
