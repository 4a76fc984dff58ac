#include "controls/lists/MyNewOutlineView.h"

#include "controls/lists/ListViewPainting.h"
#include "controls/lists/PopCustomHeaderCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/foundation/ClassRegistry.h"
#include "services/Palette.h"

MyNewOutlineView::MyNewOutlineView() {
    setSelectionHighlightStyle(NSTableViewSelectionHighlightStyleNone);
    setHeaderView(NSTableHeaderView::make(NSMakeRect(0, 0, 1000, 28)));
}

void MyNewOutlineView::setSelectCellBackgroundColorWithRow(int row) {
    isSelectRow_ = row;
    setNeedsDisplay(true);
}

void MyNewOutlineView::_setupHeaderCell() {
    listview::setupHeaderCells<PopCustomHeaderCell>(*this);
}

NSRect MyNewOutlineView::frameOfOutlineCellAtRow(long) const {
    return NSZeroRect;
}

NSRect MyNewOutlineView::frameOfCellAtColumn(long column, long row) const {
    return listview::widenThirdColumn(*this, column,
                                      NSOutlineView::frameOfCellAtColumn(column, row));
}

void MyNewOutlineView::awakeFromNib() {
    NSOutlineView::awakeFromNib();
    listview::hidePlatformSelection(*this);
    _setupHeaderCell();
    listview::sizeHeaderView(*this, 1000, 28);
}

void MyNewOutlineView::tile() {
    listview::adoptHeaderCells<PopCustomHeaderCell>(*this);
    NSOutlineView::tile();
}

void MyNewOutlineView::drawRow(long row, NSRect clipRect) {
    listview::hidePlatformSelection(*this);
    listview::fillRow(*this, row, Palette::dialogGrey());
    if (row == isSelectRow_) {
        NSRect highlight = NSInsetRect(rectOfRow(row), 0.5, 0.5);
        highlight.size.height = 36;
        listview::fillRoundedRect(highlight, 8, Palette::rowHighlightTint());
    }
    NSOutlineView::drawRow(row, clipRect);
}

void MyNewOutlineView::registerClass() {
    ClassRegistry::shared().registerClass<MyNewOutlineView, NSOutlineView>("MyNewOutlineView");
}
