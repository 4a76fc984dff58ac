#include "platform/appkit/NSTableView.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSActionCell.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableHeaderCell.h"
#include "platform/appkit/NSTableHeaderView.h"
#include "platform/appkit/theme/TableTheme.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"

namespace theme = platform::theme;

NSTableView::NSTableView()
    : rowHeight_(theme::kTableRowHeight),
      intercellSpacing_{theme::kTableIntercellWidth, theme::kTableIntercellHeight} {}

NSTableView::~NSTableView() {
    if (headerView_) headerView_->setTableView(nullptr);
    for (auto& column : columns_)
        if (column->tableView() == this) column->setTableView(nullptr);
}

void NSTableView::initWithFrame(NSRect frame) {
    NSControl::initWithFrame(frame);
    if (!headerView_)
        setHeaderView(
            NSTableHeaderView::make(NSMakeRect(0, 0, frame.size.width, theme::kTableHeaderHeight)));
}

Ref<NSCell> NSTableView::makeCell() const {
    return NSActionCell::make();
}

void NSTableView::setDataSource(const Ref<NSTableViewDataSource>& source) {
    dataSource_ = source;
    needsReload_ = true;
    setNeedsDisplay(true);
}

void NSTableView::setDelegate(const Ref<NSTableViewDelegate>& delegate) {
    delegate_ = delegate;
    setNeedsDisplay(true);
}

// --- Columns --------------------------------------------------------------------------------

void NSTableView::addTableColumn(const Ref<NSTableColumn>& column) {
    if (!column) return;
    if (NSTableView* old = column->tableView(); old && old != this) old->removeTableColumn(column);
    if (std::find(columns_.begin(), columns_.end(), column) != columns_.end()) return;
    columns_.push_back(column);
    column->setTableView(this);
    columnDidChange(column.get());
}

void NSTableView::removeTableColumn(const Ref<NSTableColumn>& column) {
    auto it = std::find(columns_.begin(), columns_.end(), column);
    if (it == columns_.end()) return;
    columns_.erase(it);
    column->setTableView(nullptr);
    selectedColumn_ = -1;
    columnDidChange(nullptr);
}

long NSTableView::columnWithIdentifier(const std::string& identifier) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i]->identifier() == identifier) return static_cast<long>(i);
    return -1;
}

NSTableColumn* NSTableView::tableColumnWithIdentifier(const std::string& identifier) const {
    long i = columnWithIdentifier(identifier);
    return i < 0 ? nullptr : columns_[std::size_t(i)].get();
}

void NSTableView::columnDidChange(NSTableColumn*) {
    tile();
    setNeedsDisplay(true);
    if (headerView_) headerView_->setNeedsDisplay(true);
}

void NSTableView::setHeaderView(const Ref<NSTableHeaderView>& header) {
    if (headerView_ == header) return;
    if (headerView_) headerView_->setTableView(nullptr);
    headerView_ = header;
    if (headerView_) {
        if (NSTableView* old = headerView_->tableView(); old && old != this)
            old->headerView_ = nullptr;
        headerView_->setTableView(this);
    }
}

NSView* NSTableView::scrollViewHeaderView() const {
    return headerView_.get();
}

// --- Appearance -----------------------------------------------------------------------------

void NSTableView::setRowHeight(double height) {
    rowHeight_ = std::max(1.0, height);
    tile();
    setNeedsDisplay(true);
}

void NSTableView::setIntercellSpacing(NSSize spacing) {
    intercellSpacing_ = {std::max(0.0, spacing.width), std::max(0.0, spacing.height)};
    tile();
    setNeedsDisplay(true);
}

void NSTableView::setBackgroundColor(const Ref<NSColor>& color) {
    if (backgroundColor_ == color) return;
    backgroundColor_ = color;
    setNeedsDisplay(true);
}

void NSTableView::setUsesAlternatingRowBackgroundColors(bool uses) {
    if (alternating_ == uses) return;
    alternating_ = uses;
    setNeedsDisplay(true);
}

void NSTableView::setGridStyleMask(NSTableViewGridLineStyle mask) {
    if (gridStyleMask_ == mask) return;
    gridStyleMask_ = mask;
    setNeedsDisplay(true);
}

void NSTableView::setSelectionHighlightStyle(NSTableViewSelectionHighlightStyle style) {
    if (highlightStyle_ == style) return;
    highlightStyle_ = style;
    setNeedsDisplay(true);
}

// --- Rows -----------------------------------------------------------------------------------

long NSTableView::numberOfRows() const {
    reloadIfNeeded();
    return rowCount_;
}

void NSTableView::reloadIfNeeded() const {
    if (needsReload_ && !reloading_) const_cast<NSTableView*>(this)->reloadData();
}

long NSTableView::numberOfRowsFromDataSource() {
    Ref<NSTableViewDataSource> source = dataSource_.lock();
    return source ? source->numberOfRowsInTableView(this) : 0;
}

void NSTableView::reloadData() {
    if (reloading_) return;
    reloading_ = true;
    needsReload_ = false;
    rowCount_ = std::max(0L, numberOfRowsFromDataSource());
    reloading_ = false;
    if (clickedRow_ >= rowCount_) clickedRow_ = -1;
    if (selection_.lastIndex() >= rowCount_) {
        NSIndexSet kept = selection_;
        kept.removeIndexesFrom(rowCount_);
        changeSelection(kept, lastSelectedRow_ < rowCount_ ? lastSelectedRow_ : kept.lastIndex());
    }
    tile();
    setNeedsDisplay(true);
}

void NSTableView::noteNumberOfRowsChanged() {
    reloadData();
}

void NSTableView::reloadDataForRowIndexes(const NSIndexSet& rows, const NSIndexSet& columns) {
    for (long row : rows) {
        if (row >= numberOfRows()) break;
        for (long column : columns) {
            NSRect r = frameOfCellAtColumn(column, row);
            if (!NSIsEmptyRect(r)) setNeedsDisplayInRect(r);
        }
    }
}

NSView* NSTableView::enclosingClipView() const {
    NSView* super = superview();
    return dynamic_cast<NSClipView*>(super);
}

void NSTableView::tile() {
    double width = 0;
    for (long i = 0; i < numberOfColumns(); ++i)
        width = std::max(width, NSMaxX(rectOfColumn(i)));
    double height = static_cast<double>(rowCount_) * rowStride();
    if (NSView* clip = enclosingClipView()) {
        width = std::max(width, clip->bounds().size.width);
        height = std::max(height, clip->bounds().size.height);
    } else {
        // Outside a scroll view the table keeps the size it was given when that is larger.
        width = std::max(width, frame().size.width);
        height = std::max(height, frame().size.height);
    }
    if (frame().size.width != width || frame().size.height != height)
        setFrameSize(NSMakeSize(width, height));
    if (headerView_) {
        NSRect h = headerView_->frame();
        if (h.size.width != width) headerView_->setFrameSize(NSMakeSize(width, h.size.height));
    }
}

void NSTableView::resizeWithOldSuperviewSize(NSSize oldSize) {
    if (enclosingClipView())
        tile();
    else
        NSControl::resizeWithOldSuperviewSize(oldSize);
}

// --- Geometry -------------------------------------------------------------------------------

NSRect NSTableView::rectOfRow(long row) const {
    if (row < 0 || row >= numberOfRows()) return NSZeroRect;
    return NSMakeRect(0, static_cast<double>(row) * rowStride(), bounds().size.width, rowStride());
}

NSRect NSTableView::rectOfColumn(long column) const {
    if (column < 0 || column >= numberOfColumns()) return NSZeroRect;
    if (columns_[std::size_t(column)]->isHidden()) return NSZeroRect;
    double x = 0;
    for (long i = 0; i < column; ++i) {
        const NSTableColumn& c = *columns_[std::size_t(i)];
        if (!c.isHidden()) x += c.width() + intercellSpacing_.width;
    }
    double height = std::max(bounds().size.height, static_cast<double>(rowCount_) * rowStride());
    return NSMakeRect(x, 0, columns_[std::size_t(column)]->width() + intercellSpacing_.width,
                      height);
}

NSRect NSTableView::frameOfCellAtColumn(long column, long row) const {
    NSRect r = rectOfRow(row), c = rectOfColumn(column);
    if (NSIsEmptyRect(r) || NSIsEmptyRect(c)) return NSZeroRect;
    return NSMakeRect(c.origin.x + intercellSpacing_.width / 2,
                      r.origin.y + intercellSpacing_.height / 2,
                      c.size.width - intercellSpacing_.width, rowHeight_);
}

long NSTableView::rowAtPoint(NSPoint point) const {
    if (point.y < 0 || point.x < 0 || point.x >= bounds().size.width) return -1;
    long row = static_cast<long>(std::floor(point.y / rowStride()));
    return row < numberOfRows() ? row : -1;
}

long NSTableView::columnAtPoint(NSPoint point) const {
    for (long i = 0; i < numberOfColumns(); ++i) {
        NSRect c = rectOfColumn(i);
        if (c.size.width > 0 && point.x >= NSMinX(c) && point.x < NSMaxX(c)) return i;
    }
    return -1;
}

NSRange NSTableView::rowsInRect(NSRect rect) const {
    const long count = numberOfRows();
    if (NSIsEmptyRect(rect) || count == 0) return NSMakeRange(0, 0);
    long first = static_cast<long>(std::floor(std::max(0.0, NSMinY(rect)) / rowStride()));
    long end = static_cast<long>(std::ceil(std::max(0.0, NSMaxY(rect)) / rowStride()));
    first = std::min(first, count);
    end = std::clamp(end, first, count);
    return NSMakeRange(std::size_t(first), std::size_t(end - first));
}

void NSTableView::scrollRowToVisible(long row) {
    NSView* clip = enclosingClipView();
    NSRect r = rectOfRow(row);
    if (!clip || NSIsEmptyRect(r)) return;
    NSRect visible = clip->bounds();
    double y = visible.origin.y;
    if (NSMinY(r) < y)
        y = NSMinY(r);
    else if (NSMaxY(r) > NSMaxY(visible))
        y = NSMaxY(r) - visible.size.height;
    if (y == visible.origin.y) return;
    // Through the clip view, so that the scroll view's scrollers follow.
    if (auto* clipView = dynamic_cast<NSClipView*>(clip))
        clipView->scrollToPoint(NSMakePoint(visible.origin.x, y));
    else
        clip->setBoundsOrigin(NSMakePoint(visible.origin.x, y));
}

// --- Selection ------------------------------------------------------------------------------

long NSTableView::selectedRow() const {
    if (selection_.empty()) return -1;
    return selection_.containsIndex(lastSelectedRow_) ? lastSelectedRow_ : selection_.lastIndex();
}

void NSTableView::replaceSelection(const NSIndexSet& rows, long lastRow) {
    if (!(selection_ == rows)) setNeedsDisplay(true);
    selection_ = rows;
    lastSelectedRow_ = lastRow;
    if (!selection_.containsIndex(anchorRow_)) anchorRow_ = selection_.firstIndex();
}

void NSTableView::changeSelection(NSIndexSet rows, long lastRow) {
    if (rows == selection_) {
        lastSelectedRow_ = lastRow;
        return;
    }
    replaceSelection(rows, lastRow);
    notifySelectionDidChange();
}

void NSTableView::notifySelectionDidChange() {
    NSNotification note(NSTableViewSelectionDidChangeNotification, weak_from_this().lock());
    if (Ref<NSTableViewDelegate> d = delegate_.lock()) d->tableViewSelectionDidChange(note);
    NSNotificationCenter::defaultCenter().postNotification(note);
}

void NSTableView::selectRowIndexes(const NSIndexSet& rows, bool extend) {
    NSIndexSet wanted = rows;
    wanted.removeIndexesFrom(numberOfRows());
    long last = wanted.lastIndex();
    if (!allowsMultipleSelection_ && wanted.count() > 1)
        wanted = NSIndexSet::indexSetWithIndex(last);
    NSIndexSet result = wanted;
    if (extend && allowsMultipleSelection_) result.addIndexes(selection_);
    if (extend && !allowsMultipleSelection_ && wanted.empty()) result = selection_;
    if (result.empty() && !allowsEmptySelection_ && !selection_.empty()) return;
    if (last < 0) last = result.lastIndex();
    anchorRow_ = last;
    changeSelection(result, last);
}

void NSTableView::deselectRow(long row) {
    if (!selection_.containsIndex(row)) return;
    NSIndexSet rows = selection_;
    rows.removeIndex(row);
    changeSelection(rows, lastSelectedRow_ == row ? rows.lastIndex() : lastSelectedRow_);
}

void NSTableView::deselectAll(NSObject*) {
    if (allowsEmptySelection_) changeSelection(NSIndexSet(), -1);
}

void NSTableView::selectAll(NSObject*) {
    if (allowsMultipleSelection_)
        changeSelection(NSIndexSet::indexSetWithIndexesInRange(0, numberOfRows()),
                        numberOfRows() - 1);
}

bool NSTableView::delegateAllowsSelectingRow(long row) {
    Ref<NSTableViewDelegate> d = delegate_.lock();
    return !d || d->shouldSelectRow(this, row).value_or(true);
}

void NSTableView::selectRowForClick(long row, NSEventModifierFlags flags) {
    const bool toggle = allowsMultipleSelection_ && (flags & NSEventModifierFlagCommand);
    const bool range = allowsMultipleSelection_ && (flags & NSEventModifierFlagShift);
    if (toggle && isRowSelected(row)) {
        if (selection_.count() > 1 || allowsEmptySelection_) deselectRow(row);
        return;
    }
    if (!delegateAllowsSelectingRow(row)) return;
    // The delegate may have reloaded the table while it was asked.
    if (row >= numberOfRows()) return;
    NSIndexSet rows;
    if (toggle) {
        rows = selection_;
        rows.addIndex(row);
    } else if (range && anchorRow_ >= 0) {
        rows = NSIndexSet::indexSetWithIndexesInRange(std::min(anchorRow_, row),
                                                      std::abs(anchorRow_ - row) + 1);
    } else {
        rows = NSIndexSet::indexSetWithIndex(row);
    }
    if (!range) anchorRow_ = row;
    changeSelection(rows, row);
}

// --- Columns in the header ------------------------------------------------------------------

std::optional<bool> NSTableView::delegateShouldSelectColumn(NSTableColumn* column) {
    Ref<NSTableViewDelegate> d = delegate_.lock();
    return d ? d->shouldSelectTableColumn(this, column) : std::nullopt;
}

void NSTableView::delegateDidClickColumn(NSTableColumn* column) {
    if (Ref<NSTableViewDelegate> d = delegate_.lock()) d->didClickTableColumn(this, column);
}

void NSTableView::headerClickedColumn(long column) {
    if (column < 0 || column >= numberOfColumns()) return;
    Ref<NSTableColumn> keep = columns_[std::size_t(column)];
    if (delegateShouldSelectColumn(keep.get()).value_or(true)) {
        long index = columnWithIdentifier(keep->identifier());
        if (index >= 0 && columns_[std::size_t(index)] == keep) selectedColumn_ = index;
    }
    delegateDidClickColumn(keep.get());
}

// --- Cells ----------------------------------------------------------------------------------

std::any NSTableView::objectValueForCell(NSTableColumn* column, long row) {
    Ref<NSTableViewDataSource> source = dataSource_.lock();
    return source ? source->objectValueForTableColumn(this, column, row) : std::any();
}

void NSTableView::setObjectValueFromCell(const std::any& value, NSTableColumn* column, long row) {
    if (Ref<NSTableViewDataSource> source = dataSource_.lock())
        source->setObjectValue(this, value, column, row);
}

void NSTableView::willDisplayCellForRow(NSCell* cell, NSTableColumn* column, long row) {
    if (Ref<NSTableViewDelegate> d = delegate_.lock()) d->willDisplayCell(this, cell, column, row);
}

Ref<NSCell> NSTableView::preparedCellAtColumn(long column, long row) {
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return nullptr;
    Ref<NSTableColumn> col = columns_[std::size_t(column)];
    Ref<NSCell> cell = col->dataCellForRow(row);
    if (!cell) return nullptr;
    cell->setControlView(this);
    cell->setObjectValue(objectValueForCell(col.get(), row));
    willDisplayCellForRow(cell.get(), col.get(), row);
    return cell;
}

// --- Drawing --------------------------------------------------------------------------------

void NSTableView::drawRect(NSRect dirtyRect) {
    reloadIfNeeded();
    NSRect clip = NSIntersectionRect(dirtyRect, visibleRect());
    if (NSIsEmptyRect(clip)) return;
    drawBackgroundInClipRect(clip);
    highlightSelectionInClipRect(clip);
    NSRange rows = rowsInRect(clip);
    for (std::size_t i = 0; i < rows.length; ++i)
        drawRow(static_cast<long>(rows.location + i), clip);
    drawGridInClipRect(clip);
}

void NSTableView::drawBackgroundInClipRect(NSRect clipRect) {
    if (!alternating_) {
        (backgroundColor_ ? backgroundColor_ : theme::tableBackgroundColor())->setFill();
        NSRectFill(clipRect);
        return;
    }
    // Alternating bands continue past the last row, as far as the clip goes.
    const double stride = rowStride();
    long first = static_cast<long>(std::floor(std::max(0.0, NSMinY(clipRect)) / stride));
    for (long band = first; static_cast<double>(band) * stride < NSMaxY(clipRect); ++band) {
        theme::alternatingRowColor(band % 2 == 1)->setFill();
        NSRectFill(NSIntersectionRect(clipRect, NSMakeRect(0, static_cast<double>(band) * stride,
                                                           bounds().size.width, stride)));
    }
}

void NSTableView::highlightSelectionInClipRect(NSRect clipRect) {
    if (highlightStyle_ == NSTableViewSelectionHighlightStyleNone) return;
    theme::selectionHighlightColor(highlightStyle_ == NSTableViewSelectionHighlightStyleSourceList)
        ->setFill();
    NSRange rows = rowsInRect(clipRect);
    for (std::size_t i = 0; i < rows.length; ++i) {
        long row = static_cast<long>(rows.location + i);
        if (isRowSelected(row)) NSRectFill(NSIntersectionRect(rectOfRow(row), clipRect));
    }
}

void NSTableView::drawRow(long row, NSRect clipRect) {
    for (long column = 0; column < numberOfColumns(); ++column) {
        NSRect frame = frameOfCellAtColumn(column, row);
        if (NSIsEmptyRect(frame) || !NSIntersectsRect(frame, clipRect)) continue;
        if (Ref<NSCell> cell = preparedCellAtColumn(column, row)) cell->drawWithFrame(frame, this);
    }
}

void NSTableView::drawGridInClipRect(NSRect clipRect) {
    if (gridStyleMask_ == NSTableViewGridNone) return;
    theme::gridColor()->setFill();
    if (gridStyleMask_ & NSTableViewSolidHorizontalGridLineMask) {
        NSRange rows = rowsInRect(clipRect);
        for (std::size_t i = 0; i < rows.length; ++i) {
            NSRect r = rectOfRow(static_cast<long>(rows.location + i));
            NSRectFill(NSIntersectionRect(clipRect,
                                          NSMakeRect(r.origin.x, NSMaxY(r) - 1, r.size.width, 1)));
        }
    }
    if (gridStyleMask_ & NSTableViewSolidVerticalGridLineMask) {
        for (long column = 0; column < numberOfColumns(); ++column) {
            NSRect c = rectOfColumn(column);
            if (NSIsEmptyRect(c)) continue;
            NSRectFill(NSIntersectionRect(clipRect,
                                          NSMakeRect(NSMaxX(c) - 1, c.origin.y, 1, c.size.height)));
        }
    }
}

// --- Events ---------------------------------------------------------------------------------

bool NSTableView::mouseDownBeforeSelection(NSEvent&, long, NSPoint) {
    return false;
}

void NSTableView::mouseDown(NSEvent& event) {
    if (!isEnabled()) return;
    // The delegate or an action may drop the table while the click is handled.
    Ref<NSObject> keep = weak_from_this().lock();
    reloadIfNeeded();
    NSPoint p = convertPoint(event.locationInWindow(), nullptr);
    long row = rowAtPoint(p);
    long column = columnAtPoint(p);
    if (mouseDownBeforeSelection(event, row, p)) return;
    if (row >= 0)
        selectRowForClick(row, event.modifierFlags());
    else if (!(event.modifierFlags() & (NSEventModifierFlagCommand | NSEventModifierFlagShift)))
        deselectAll(nullptr);
    clickedRow_ = row < numberOfRows() ? row : -1;
    clickedColumn_ = column;
    if (clickedRow_ >= 0 && column >= 0 && column < numberOfColumns())
        trackCell(event, column, clickedRow_);
    if (event.clickCount() >= 2 && doubleAction_)
        sendAction(doubleAction_, target());
    else if (action())
        sendAction(action(), target());
}

void NSTableView::trackCell(NSEvent& event, long column, long row) {
    Ref<NSTableColumn> col = columns_[std::size_t(column)];
    Ref<NSCell> prototype = col->dataCellForRow(row);
    if (!prototype) return;
    // The platform tracks a copy of the column's cell, prepared for the clicked row.
    Ref<NSCell> cell = prototype->copy();
    cell->setControlView(this);
    cell->setObjectValue(objectValueForCell(col.get(), row));
    willDisplayCellForRow(cell.get(), col.get(), row);
    NSRect frame = frameOfCellAtColumn(column, row);
    NSCellHitResult hit = cell->hitTestForEvent(event, frame, this);
    if (!(hit & NSCellHitTrackableArea)) return;
    const std::string textBefore = cell->stringValue();
    const NSControlStateValue stateBefore = cell->state();
    cell->trackMouse(event, frame, this, cell->prefersTrackingUntilMouseUp());
    if (cell->stringValue() != textBefore)
        setObjectValueFromCell(cell->objectValue(), col.get(), row);
    else if (cell->state() != stateBefore)
        setObjectValueFromCell(std::any(cell->state()), col.get(), row);
    setNeedsDisplayInRect(rectOfRow(row));
}

// --- Interface files ------------------------------------------------------------------------

void NSTableView::addNibChild(Ref<NSObject> child) {
    if (auto column = std::dynamic_pointer_cast<NSTableColumn>(child)) {
        addTableColumn(column);
    } else if (auto header = std::dynamic_pointer_cast<NSTableHeaderView>(child)) {
        setHeaderView(header);
    } else if (std::dynamic_pointer_cast<NSCell>(child)) {
        NSControl::addNibChild(std::move(child));
    } else {
        NSView::addNibChild(std::move(child));
    }
}
