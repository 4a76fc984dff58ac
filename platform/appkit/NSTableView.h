#pragma once
// Tables: rows supplied by a data source and drawn by each column's data cell, with a header
// view, single or multiple selection, and cell tracking. Tables are flipped; only the rows
// within the visible (and dirty) rectangle are drawn.

#include <any>
#include <optional>
#include <string>
#include <vector>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSScrollViewHeaderSource.h"
#include "platform/appkit/NSTableViewDataSource.h"
#include "platform/appkit/NSTableViewDelegate.h"
#include "platform/foundation/NSIndexSet.h"

class NSColor;
class NSTableColumn;
class NSTableHeaderView;

enum NSTableViewSelectionHighlightStyle : long {
    NSTableViewSelectionHighlightStyleNone = -1,
    NSTableViewSelectionHighlightStyleRegular = 0,
    NSTableViewSelectionHighlightStyleSourceList = 1,
};

using NSTableViewGridLineStyle = unsigned long;
inline constexpr NSTableViewGridLineStyle NSTableViewGridNone = 0;
inline constexpr NSTableViewGridLineStyle NSTableViewSolidVerticalGridLineMask = 1;
inline constexpr NSTableViewGridLineStyle NSTableViewSolidHorizontalGridLineMask = 2;

class NSTableView : public NSControl, public NSScrollViewHeaderSource {
  public:
    static Ref<NSTableView> make(NSRect frame = NSZeroRect) {
        auto table = std::make_shared<NSTableView>();
        table->initWithFrame(frame);
        return table;
    }
    NSTableView();
    ~NSTableView() override;
    /// Sets the frame and gives the table a header view as wide as it.
    void initWithFrame(NSRect frame) override;
    bool isFlipped() const override { return true; }
    /// Tables keep their target and action in an action cell of their own.
    Ref<NSCell> makeCell() const override;

    // Data source and delegate (not retained).
    NSTableViewDataSource* dataSource() const { return dataSource_.lock().get(); }
    /// Setting a data source reloads the rows before they are next used.
    void setDataSource(const Ref<NSTableViewDataSource>& source);
    NSTableViewDelegate* delegate() const { return delegate_.lock().get(); }
    void setDelegate(const Ref<NSTableViewDelegate>& delegate);

    // Columns.
    const std::vector<Ref<NSTableColumn>>& tableColumns() const { return columns_; }
    long numberOfColumns() const { return static_cast<long>(columns_.size()); }
    /// Appends `column` (taking it out of another table first).
    void addTableColumn(const Ref<NSTableColumn>& column);
    void removeTableColumn(const Ref<NSTableColumn>& column);
    /// The index of the first column named `identifier`, or -1.
    long columnWithIdentifier(const std::string& identifier) const;
    NSTableColumn* tableColumnWithIdentifier(const std::string& identifier) const;
    /// A column's width, title or cell changed (sent by the column).
    void columnDidChange(NSTableColumn* column);

    // Header.
    /// The header view (nullptr: none); the enclosing scroll view places it above the rows.
    const Ref<NSTableHeaderView>& headerView() const { return headerView_; }
    void setHeaderView(const Ref<NSTableHeaderView>& header);
    /// The header view, for the enclosing scroll view to keep above the rows.
    NSView* scrollViewHeaderView() const override;

    // Appearance.
    double rowHeight() const { return rowHeight_; }
    /// The height of a row's cells; rows are this plus the vertical intercell spacing apart.
    void setRowHeight(double height);
    NSSize intercellSpacing() const { return intercellSpacing_; }
    void setIntercellSpacing(NSSize spacing);
    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    /// nullptr restores the theme's background.
    void setBackgroundColor(const Ref<NSColor>& color);
    bool usesAlternatingRowBackgroundColors() const { return alternating_; }
    void setUsesAlternatingRowBackgroundColors(bool uses);
    NSTableViewGridLineStyle gridStyleMask() const { return gridStyleMask_; }
    void setGridStyleMask(NSTableViewGridLineStyle mask);
    NSTableViewSelectionHighlightStyle selectionHighlightStyle() const { return highlightStyle_; }
    /// None draws no highlight behind selected rows; the selection itself is unchanged.
    void setSelectionHighlightStyle(NSTableViewSelectionHighlightStyle style);

    // Rows.
    /// The number of rows (the data source is asked on first use after a reload request).
    long numberOfRows() const;
    /// Asks the data source for the number of rows again, drops selected rows that no longer
    /// exist (posting the selection change), resizes the table and redraws it.
    virtual void reloadData();
    /// Redraws the given cells (their values are asked for again when they draw).
    void reloadDataForRowIndexes(const NSIndexSet& rows, const NSIndexSet& columns);
    /// Takes a new number of rows from the data source without redrawing every row.
    void noteNumberOfRowsChanged();
    /// Sizes the table to its rows and columns (at least the clip view's size when in one) and
    /// its header view to the table's width.
    virtual void tile();
    /// A table in a clip view follows the clip view's size.
    void resizeWithOldSuperviewSize(NSSize oldSize) override;
    void viewDidMoveToSuperview() override { tile(); }

    // Geometry, in the table's flipped coordinates.
    /// The whole row, intercell spacing included; the zero rectangle outside the rows.
    NSRect rectOfRow(long row) const;
    /// The whole column over the table's height; the zero rectangle for a hidden or unknown one.
    NSRect rectOfColumn(long column) const;
    /// Where the data cell of `column` draws `row`: the row and column rectangles' common part
    /// less half the intercell spacing on each side.
    virtual NSRect frameOfCellAtColumn(long column, long row) const;
    /// The row under `point`, or -1.
    long rowAtPoint(NSPoint point) const;
    /// The column under `point`, or -1.
    long columnAtPoint(NSPoint point) const;
    /// The rows that intersect `rect` (length 0 when none).
    NSRange rowsInRect(NSRect rect) const;
    /// Scrolls an enclosing clip view so that `row` is visible.
    void scrollRowToVisible(long row);

    // Selection.
    bool allowsEmptySelection() const { return allowsEmptySelection_; }
    void setAllowsEmptySelection(bool allows) { allowsEmptySelection_ = allows; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows) { allowsMultipleSelection_ = allows; }
    /// The last row selected, or -1.
    long selectedRow() const;
    const NSIndexSet& selectedRowIndexes() const { return selection_; }
    long numberOfSelectedRows() const { return selection_.count(); }
    bool isRowSelected(long row) const { return selection_.containsIndex(row); }
    /// Selects `rows` (added to the selection when `extend`), ignoring rows that do not exist;
    /// without multiple selection only the last row is taken; an empty result is refused when
    /// empty selection is not allowed. The delegate is not asked; a change is posted.
    void selectRowIndexes(const NSIndexSet& rows, bool extend);
    /// Deselects `row` (whether or not empty selection is allowed); a change is posted.
    void deselectRow(long row);
    /// Deselects every row when empty selection is allowed.
    void deselectAll(NSObject* sender);
    /// Selects every row when multiple selection is allowed.
    void selectAll(NSObject* sender);
    /// The column selected by a header click, or -1.
    long selectedColumn() const { return selectedColumn_; }
    /// The row and column of the last mouse-down (-1 outside); valid in the actions it sends.
    long clickedRow() const { return clickedRow_; }
    long clickedColumn() const { return clickedColumn_; }
    SEL doubleAction() const { return doubleAction_; }
    /// Sent to the target on a double click instead of the action.
    void setDoubleAction(SEL action) { doubleAction_ = action; }

    // Drawing.
    /// Background, selection highlight, the rows in the visible part of `dirtyRect`, grid.
    void drawRect(NSRect dirtyRect) override;
    /// Fills `clipRect` with the background colour (or the alternating row colours).
    virtual void drawBackgroundInClipRect(NSRect clipRect);
    /// Fills the selected rows within `clipRect` unless the highlight style is none.
    virtual void highlightSelectionInClipRect(NSRect clipRect);
    /// Draws the cells of `row` whose frames meet `clipRect`.
    virtual void drawRow(long row, NSRect clipRect);
    /// Draws the grid lines of gridStyleMask within `clipRect`.
    virtual void drawGridInClipRect(NSRect clipRect);
    /// The data cell of `column` for `row` with the row's value set and the delegate told.
    Ref<NSCell> preparedCellAtColumn(long column, long row);

    // Events.
    /// Selects the row (asking the delegate), then asks the cell's hit test and tracks the
    /// cell when it answers trackable, then sends the (double) action.
    void mouseDown(NSEvent& event) override;
    bool acceptsFirstResponder() override { return true; }
    /// A click in the header of `column` (sent by the header view): the delegate is told and
    /// asked whether the column may be selected.
    void headerClickedColumn(long column);

    /// Interface files: column and header-view elements; other views become subviews.
    void addNibChild(Ref<NSObject> child) override;

  protected:
    // The row model; outlines answer these from their items.
    virtual long numberOfRowsFromDataSource();
    virtual std::any objectValueForCell(NSTableColumn* column, long row);
    virtual void setObjectValueFromCell(const std::any& value, NSTableColumn* column, long row);
    virtual void willDisplayCellForRow(NSCell* cell, NSTableColumn* column, long row);
    virtual bool delegateAllowsSelectingRow(long row);
    virtual std::optional<bool> delegateShouldSelectColumn(NSTableColumn* column);
    virtual void delegateDidClickColumn(NSTableColumn* column);
    /// Tells the delegate and the notification centre that the selection changed.
    virtual void notifySelectionDidChange();
    /// Handles a mouse-down before selection (an outline's disclosure triangle); true when
    /// the click was taken.
    virtual bool mouseDownBeforeSelection(NSEvent& event, long row, NSPoint point);
    /// Replaces the selection without posting a change (used when rows are rebuilt).
    void replaceSelection(const NSIndexSet& rows, long lastRow);
    /// Loads the rows when a reload was asked for.
    void reloadIfNeeded() const;
    /// Asks for a reload before the rows are next used.
    void setNeedsReload() {
        needsReload_ = true;
        setNeedsDisplay(true);
    }

  private:
    void selectRowForClick(long row, NSEventModifierFlags flags);
    void changeSelection(NSIndexSet rows, long lastRow);
    void trackCell(NSEvent& event, long column, long row);
    double rowStride() const { return rowHeight_ + intercellSpacing_.height; }
    NSView* enclosingClipView() const;

    WeakRef<NSTableViewDataSource> dataSource_;
    WeakRef<NSTableViewDelegate> delegate_;
    std::vector<Ref<NSTableColumn>> columns_;
    Ref<NSTableHeaderView> headerView_;
    double rowHeight_;
    NSSize intercellSpacing_;
    Ref<NSColor> backgroundColor_;
    bool alternating_ = false;
    NSTableViewGridLineStyle gridStyleMask_ = NSTableViewGridNone;
    NSTableViewSelectionHighlightStyle highlightStyle_ = NSTableViewSelectionHighlightStyleRegular;
    long rowCount_ = 0;
    bool needsReload_ = true;
    bool reloading_ = false;
    bool allowsEmptySelection_ = true;
    bool allowsMultipleSelection_ = false;
    NSIndexSet selection_;
    long lastSelectedRow_ = -1;
    long anchorRow_ = -1;
    long selectedColumn_ = -1;
    long clickedRow_ = -1;
    long clickedColumn_ = -1;
    SEL doubleAction_;
};
