#include "controls/lists/CustomTableView.h"

#include "controls/lists/CustomHeaderCell.h"
#include "controls/lists/ListViewPainting.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/foundation/ClassRegistry.h"

CustomTableView::CustomTableView() {
    setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleNone);
    setHeaderView(NSTableHeaderView::make(NSMakeRect(0, 0, 1000, 41)));
}

void CustomTableView::setRowNum(int row) {
    if (rowNum_ == row) return;
    rowNum_ = row;
    setNeedsDisplay(true);
}

void CustomTableView::_setupHeaderCell() {
    listview::setupHeaderCells<CustomHeaderCell>(*this);
}

void CustomTableView::awakeFromNib() {
    NSTableView::awakeFromNib();
    listview::hidePlatformSelection(*this);
    _setupHeaderCell();
    listview::sizeHeaderView(*this, 1000, 41);
}

void CustomTableView::tile() {
    listview::adoptHeaderCells<CustomHeaderCell>(*this);
    NSTableView::tile();
}

void CustomTableView::drawRow(long row, NSRect clipRect) {
    listview::hidePlatformSelection(*this);
    listview::paintListRow(*this, row, rowNum_);
    NSTableView::drawRow(row, clipRect);
}

void CustomTableView::registerClass() {
    ClassRegistry::shared().registerClass<CustomTableView, NSTableView>("CustomTableView");
}
