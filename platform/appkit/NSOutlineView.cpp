#include "platform/appkit/NSOutlineView.h"

#include <algorithm>

#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/theme/TableTheme.h"
#include "platform/foundation/NSNotificationCenter.h"

namespace theme = platform::theme;

namespace {
bool contains(const std::vector<const NSObject*>& list, const NSObject* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}
}  // namespace

void NSOutlineView::setDataSource(const Ref<NSOutlineViewDataSource>& source) {
    source_ = source;
    setNeedsReload();
}

void NSOutlineView::setDelegate(const Ref<NSOutlineViewDelegate>& delegate) {
    outlineDelegate_ = delegate;
    setNeedsDisplay(true);
}

NSTableColumn* NSOutlineView::outlineTableColumn() const {
    if (Ref<NSTableColumn> c = outlineColumn_.lock(); c && c->tableView() == this) return c.get();
    return tableColumns().empty() ? nullptr : tableColumns().front().get();
}

void NSOutlineView::setOutlineTableColumn(const Ref<NSTableColumn>& column) {
    outlineColumn_ = column;
    setNeedsDisplay(true);
}

void NSOutlineView::setIndentationPerLevel(double indentation) {
    indentation_ = std::max(0.0, indentation);
    setNeedsDisplay(true);
}

long NSOutlineView::outlineColumnIndex() const {
    NSTableColumn* c = outlineTableColumn();
    for (long i = 0; i < numberOfColumns(); ++i)
        if (tableColumns()[std::size_t(i)].get() == c) return i;
    return -1;
}

// --- Items ----------------------------------------------------------------------------------

Ref<NSObject> NSOutlineView::itemAtRow(long row) const {
    reloadIfNeeded();
    if (row < 0 || row >= static_cast<long>(rows_.size())) return nullptr;
    return rows_[std::size_t(row)].item;
}

long NSOutlineView::rowForItem(const Ref<NSObject>& item) const {
    reloadIfNeeded();
    if (!item) return -1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].item == item) return static_cast<long>(i);
    return -1;
}

long NSOutlineView::levelForRow(long row) const {
    reloadIfNeeded();
    if (row < 0 || row >= static_cast<long>(rows_.size())) return -1;
    return rows_[std::size_t(row)].level;
}

long NSOutlineView::levelForItem(const Ref<NSObject>& item) const {
    return levelForRow(rowForItem(item));
}

Ref<NSObject> NSOutlineView::parentForItem(const Ref<NSObject>& item) const {
    long row = rowForItem(item);
    return row < 0 ? nullptr : rows_[std::size_t(row)].parent;
}

bool NSOutlineView::isExpandable(const Ref<NSObject>& item) {
    if (!item) return true;
    Ref<NSOutlineViewDataSource> source = source_.lock();
    return source && source->isItemExpandable(this, item);
}

bool NSOutlineView::isItemExpanded(const Ref<NSObject>& item) const {
    return !item || expanded_.count(item.get()) != 0;
}

// --- Expanding ------------------------------------------------------------------------------

void NSOutlineView::markDescendants(const Ref<NSObject>& item, bool expand,
                                    std::vector<const NSObject*>& ancestors) {
    Ref<NSOutlineViewDataSource> source = source_.lock();
    if (!source || contains(ancestors, item.get()) || !isExpandable(item)) return;
    if (item) {
        if (expand)
            expanded_[item.get()] = item;
        else
            expanded_.erase(item.get());
    }
    ancestors.push_back(item.get());
    const long count = std::max(0L, source->numberOfChildrenOfItem(this, item));
    for (long i = 0; i < count; ++i)
        if (Ref<NSObject> child = source->child(this, i, item))
            markDescendants(child, expand, ancestors);
    ancestors.pop_back();
}

void NSOutlineView::expandItem(const Ref<NSObject>& item, bool expandChildren) {
    reloadIfNeeded();
    if (expandChildren) {
        std::vector<const NSObject*> ancestors;
        markDescendants(item, true, ancestors);
    } else if (item && isExpandable(item)) {
        expanded_[item.get()] = item;
    } else {
        return;
    }
    rebuild(false);
}

void NSOutlineView::collapseItem(const Ref<NSObject>& item, bool collapseChildren) {
    reloadIfNeeded();
    if (!item && collapseChildren) {
        expanded_.clear();
    } else if (collapseChildren) {
        std::vector<const NSObject*> ancestors;
        markDescendants(item, false, ancestors);
    } else if (!item || !expanded_.erase(item.get())) {
        return;
    }
    rebuild(false);
}

void NSOutlineView::reloadData() {
    rebuild(true);
}

void NSOutlineView::reloadItem(const Ref<NSObject>& item, bool reloadChildren) {
    if (reloadChildren || !item) {
        rebuild(false);
        return;
    }
    NSRect r = rectOfRow(rowForItem(item));
    if (!NSIsEmptyRect(r)) setNeedsDisplayInRect(r);
}

void NSOutlineView::rebuild(bool forget) {
    forgetUnseen_ = forget;
    selectionMoved_ = false;
    NSTableView::reloadData();
    forgetUnseen_ = false;
    if (selectionMoved_) {
        selectionMoved_ = false;
        notifySelectionDidChange();
    }
}

void NSOutlineView::appendChildren(const Ref<NSObject>& parent, long level,
                                   std::vector<const NSObject*>& ancestors) {
    Ref<NSOutlineViewDataSource> source = source_.lock();
    if (!source) return;
    const long count = std::max(0L, source->numberOfChildrenOfItem(this, parent));
    for (long i = 0; i < count; ++i) {
        Ref<NSObject> item = source->child(this, i, parent);
        if (!item) continue;
        rows_.push_back({item, level, parent});
        // An item that is its own ancestor is shown but not entered again.
        if (expanded_.count(item.get()) && !contains(ancestors, item.get())) {
            seenExpanded_[item.get()] = item;
            ancestors.push_back(item.get());
            appendChildren(item, level + 1, ancestors);
            ancestors.pop_back();
        }
    }
}

long NSOutlineView::numberOfRowsFromDataSource() {
    // The selection is kept by item: remember the selected items before the rows change.
    std::vector<Ref<NSObject>> selected;
    for (long row : selectedRowIndexes())
        if (row < static_cast<long>(rows_.size())) selected.push_back(rows_[std::size_t(row)].item);
    Ref<NSObject> last = selectedRow() >= 0 && selectedRow() < static_cast<long>(rows_.size())
                             ? rows_[std::size_t(selectedRow())].item
                             : nullptr;
    rows_.clear();
    seenExpanded_.clear();
    std::vector<const NSObject*> ancestors;
    appendChildren(nullptr, 0, ancestors);
    if (forgetUnseen_) expanded_ = seenExpanded_;
    seenExpanded_.clear();

    NSIndexSet rows;
    for (const Ref<NSObject>& item : selected) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].item == item) rows.addIndex(static_cast<long>(i));
    }
    long lastRow = -1;
    for (std::size_t i = 0; last && i < rows_.size(); ++i)
        if (rows_[i].item == last) lastRow = static_cast<long>(i);
    if (rows.count() != static_cast<long>(selected.size())) selectionMoved_ = true;
    replaceSelection(rows, lastRow >= 0 ? lastRow : rows.lastIndex());
    return static_cast<long>(rows_.size());
}

// --- Messages to the data source and delegate -----------------------------------------------

std::any NSOutlineView::objectValueForCell(NSTableColumn* column, long row) {
    Ref<NSOutlineViewDataSource> source = source_.lock();
    return source ? source->objectValueForTableColumn(this, column, itemAtRow(row)) : std::any();
}

void NSOutlineView::setObjectValueFromCell(const std::any& value, NSTableColumn* column, long row) {
    if (Ref<NSOutlineViewDataSource> source = source_.lock())
        source->setObjectValue(this, value, column, itemAtRow(row));
}

void NSOutlineView::willDisplayCellForRow(NSCell* cell, NSTableColumn* column, long row) {
    if (Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock())
        d->willDisplayCell(this, cell, column, itemAtRow(row));
}

bool NSOutlineView::delegateAllowsSelectingRow(long row) {
    Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock();
    return !d || d->shouldSelectItem(this, itemAtRow(row)).value_or(true);
}

std::optional<bool> NSOutlineView::delegateShouldSelectColumn(NSTableColumn* column) {
    Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock();
    return d ? d->shouldSelectTableColumn(this, column) : std::nullopt;
}

void NSOutlineView::delegateDidClickColumn(NSTableColumn* column) {
    if (Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock())
        d->didClickTableColumn(this, column);
}

void NSOutlineView::notifySelectionDidChange() {
    NSNotification note(NSOutlineViewSelectionDidChangeNotification, weak_from_this().lock());
    if (Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock())
        d->outlineViewSelectionDidChange(note);
    NSNotificationCenter::defaultCenter().postNotification(note);
}

std::optional<std::string> NSOutlineView::toolTipAtPoint(NSPoint point, NSRect* rect) {
    Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock();
    const long row = rowAtPoint(point), column = columnAtPoint(point);
    if (!d || row < 0 || column < 0) return std::nullopt;
    Ref<NSCell> cell = preparedCellAtColumn(column, row);
    NSRect area = frameOfCellAtColumn(column, row);
    std::optional<std::string> tip = d->toolTipForCell(
        this, cell.get(), &area, tableColumns()[std::size_t(column)].get(), itemAtRow(row), point);
    if (!tip || tip->empty()) return std::nullopt;
    if (rect) *rect = area;
    return tip;
}

// --- Geometry and drawing -------------------------------------------------------------------

NSRect NSOutlineView::frameOfOutlineCellAtRow(long row) const {
    Ref<NSObject> item = itemAtRow(row);
    long column = outlineColumnIndex();
    if (!item || column < 0) return NSZeroRect;
    auto* self = const_cast<NSOutlineView*>(this);
    if (!self->isExpandable(item)) return NSZeroRect;
    if (Ref<NSOutlineViewDelegate> d = outlineDelegate_.lock())
        if (!d->shouldShowOutlineCellForItem(self, item).value_or(true)) return NSZeroRect;
    NSRect cell = NSTableView::frameOfCellAtColumn(column, row);
    if (NSIsEmptyRect(cell)) return NSZeroRect;
    double x = cell.origin.x + indentation_ * static_cast<double>(levelForRow(row));
    return NSMakeRect(x, cell.origin.y, theme::kOutlineCellWidth, cell.size.height);
}

NSRect NSOutlineView::frameOfCellAtColumn(long column, long row) const {
    NSRect frame = NSTableView::frameOfCellAtColumn(column, row);
    if (NSIsEmptyRect(frame) || column != outlineColumnIndex()) return frame;
    double shift = indentation_ * static_cast<double>(levelForRow(row)) + theme::kOutlineCellWidth;
    shift = std::min(shift, frame.size.width);
    frame.origin.x += shift;
    frame.size.width -= shift;
    return frame;
}

void NSOutlineView::drawRow(long row, NSRect clipRect) {
    NSTableView::drawRow(row, clipRect);
    NSRect triangle = frameOfOutlineCellAtRow(row);
    if (!NSIsEmptyRect(triangle) && NSIntersectsRect(triangle, clipRect))
        theme::drawDisclosureTriangle(triangle, isItemExpanded(itemAtRow(row)));
}

bool NSOutlineView::mouseDownBeforeSelection(NSEvent& event, long row, NSPoint point) {
    if (row < 0) return false;
    NSRect triangle = frameOfOutlineCellAtRow(row);
    if (NSIsEmptyRect(triangle) || !mouse(point, triangle)) return false;
    Ref<NSObject> item = itemAtRow(row);
    const bool all = (event.modifierFlags() & NSEventModifierFlagOption) != 0;
    if (isItemExpanded(item))
        collapseItem(item, all);
    else
        expandItem(item, all);
    return true;
}
