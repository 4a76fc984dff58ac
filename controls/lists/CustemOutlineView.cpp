#include "controls/lists/CustemOutlineView.h"

#include "controls/lists/CustomHeaderCell.h"
#include "controls/lists/ListViewPainting.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/foundation/ClassRegistry.h"

CustemOutlineView::CustemOutlineView() {
    setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleNone);
    setHeaderView(NSTableHeaderView::make(NSMakeRect(0, 0, 1000, 41)));
}

void CustemOutlineView::setRowNum(int row) {
    if (rowNum_ == row) return;
    rowNum_ = row;
    setNeedsDisplay(true);
}

void CustemOutlineView::_setupHeaderCell() {
    listview::setupHeaderCells<CustomHeaderCell>(*this);
}

NSRect CustemOutlineView::frameOfOutlineCellAtRow(long) const {
    return NSZeroRect;
}

NSRect CustemOutlineView::frameOfCellAtColumn(long column, long row) const {
    return listview::widenThirdColumn(*this, column,
                                      NSOutlineView::frameOfCellAtColumn(column, row));
}

std::optional<bool> CustemOutlineView::shouldShowOutlineCellForItem(NSOutlineView*,
                                                                    const Ref<NSObject>&) {
    return false;
}

void CustemOutlineView::awakeFromNib() {
    NSOutlineView::awakeFromNib();
    listview::hidePlatformSelection(*this);
    _setupHeaderCell();
    listview::sizeHeaderView(*this, 1000, 41);
}

void CustemOutlineView::tile() {
    listview::adoptHeaderCells<CustomHeaderCell>(*this);
    NSOutlineView::tile();
}

void CustemOutlineView::drawRow(long row, NSRect clipRect) {
    listview::hidePlatformSelection(*this);
    listview::paintListRow(*this, row, rowNum_);
    NSOutlineView::drawRow(row, clipRect);
}

void CustemOutlineView::registerClass() {
    ClassRegistry::shared().registerClass<CustemOutlineView, NSOutlineView>("CustemOutlineView");
}
