#include "platform/appkit/NSTableHeaderView.h"

#include <algorithm>

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/theme/TableTheme.h"

NSRect NSTableHeaderView::headerRectOfColumn(long column) const {
    if (!tableView_) return NSZeroRect;
    NSRect c = tableView_->rectOfColumn(column);
    if (c.size.width <= 0) return NSZeroRect;
    return NSMakeRect(c.origin.x, 0, c.size.width, bounds().size.height);
}

long NSTableHeaderView::columnAtPoint(NSPoint point) const {
    if (!tableView_ || point.y < 0 || point.y >= bounds().size.height) return -1;
    for (long i = 0; i < tableView_->numberOfColumns(); ++i) {
        NSRect r = headerRectOfColumn(i);
        if (!NSIsEmptyRect(r) && point.x >= NSMinX(r) && point.x < NSMaxX(r)) return i;
    }
    return -1;
}

void NSTableHeaderView::drawRect(NSRect dirtyRect) {
    if (!tableView_) return;
    double end = 0;
    for (long i = 0; i < tableView_->numberOfColumns(); ++i) {
        NSRect r = headerRectOfColumn(i);
        if (NSIsEmptyRect(r)) continue;
        end = std::max(end, NSMaxX(r));
        if (!NSIntersectsRect(r, dirtyRect)) continue;
        const Ref<NSTableHeaderCell>& cell =
            tableView_->tableColumns()[std::size_t(i)]->headerCell();
        cell->setControlView(this);
        cell->drawWithFrame(r, this);
    }
    NSRect rest = NSMakeRect(end, 0, bounds().size.width - end, bounds().size.height);
    if (!NSIsEmptyRect(rest) && NSIntersectsRect(rest, dirtyRect))
        platform::theme::drawHeaderBackground(rest, false);
}

void NSTableHeaderView::mouseDown(NSEvent& event) {
    if (!tableView_) return;
    Ref<NSObject> keep = weak_from_this().lock();
    Ref<NSObject> keepTable = tableView_->weak_from_this().lock();
    NSPoint p = convertPoint(event.locationInWindow(), nullptr);
    long column = columnAtPoint(p);
    if (column < 0) return;
    Ref<NSTableColumn> keepColumn = tableView_->tableColumns()[std::size_t(column)];
    keepColumn->headerCell()->highlight(true, headerRectOfColumn(column), this);
    tableView_->headerClickedColumn(column);
    if (tableView_) keepColumn->headerCell()->highlight(false, headerRectOfColumn(column), this);
    setNeedsDisplay(true);
}
