#pragma once
// Outlines: a table whose rows are the visible items of a tree, indented by level in the
// outline column, with a disclosure triangle for each expandable item. Items are compared by
// identity; the selection follows its items when rows are rebuilt.

#include <map>
#include <vector>

#include "platform/appkit/NSOutlineViewDataSource.h"
#include "platform/appkit/NSOutlineViewDelegate.h"
#include "platform/appkit/NSTableView.h"

class NSOutlineView : public NSTableView {
  public:
    static Ref<NSOutlineView> make(NSRect frame = NSZeroRect) {
        auto outline = std::make_shared<NSOutlineView>();
        outline->initWithFrame(frame);
        return outline;
    }
    NSOutlineView() = default;

    // Data source and delegate (not retained); they replace the table's own.
    NSOutlineViewDataSource* dataSource() const { return source_.lock().get(); }
    void setDataSource(const Ref<NSOutlineViewDataSource>& source);
    NSOutlineViewDelegate* delegate() const { return outlineDelegate_.lock().get(); }
    void setDelegate(const Ref<NSOutlineViewDelegate>& delegate);

    /// The column that shows the tree (the first column unless set).
    NSTableColumn* outlineTableColumn() const;
    void setOutlineTableColumn(const Ref<NSTableColumn>& column);
    double indentationPerLevel() const { return indentation_; }
    void setIndentationPerLevel(double indentation);

    // Items and rows.
    /// The item shown in `row`, or nullptr.
    Ref<NSObject> itemAtRow(long row) const;
    /// The row of `item`, or -1 when it is not shown.
    long rowForItem(const Ref<NSObject>& item) const;
    /// The depth of `row` (0 for children of the root), or -1.
    long levelForRow(long row) const;
    long levelForItem(const Ref<NSObject>& item) const;
    /// The parent of a shown item (nullptr for top-level or unknown items).
    Ref<NSObject> parentForItem(const Ref<NSObject>& item) const;
    /// Whether the data source says `item` can be expanded.
    bool isExpandable(const Ref<NSObject>& item);
    /// Whether `item` is expanded (the root always is).
    bool isItemExpanded(const Ref<NSObject>& item) const;

    /// Expands `item` (with all its expandable descendants when `expandChildren`); nullptr
    /// with `expandChildren` expands the whole tree. Items that cannot expand are ignored,
    /// and an item that is its own ancestor is not entered twice.
    void expandItem(const Ref<NSObject>& item, bool expandChildren = false);
    /// Collapses `item` (and its descendants when `collapseChildren`; nullptr: everything).
    /// Selected rows that disappear are deselected.
    void collapseItem(const Ref<NSObject>& item, bool collapseChildren = false);
    /// Asks for the whole tree again; expanded items no longer shown are forgotten.
    void reloadData() override;
    /// Redraws `item`'s row; with `reloadChildren` its children are asked for again too.
    void reloadItem(const Ref<NSObject>& item, bool reloadChildren = false);

    /// The tool tip for the pointer resting at `point` (outline coordinates): the delegate's
    /// answer for the cell there, prepared as for drawing, with the area it covers in `rect`
    /// when given; nullopt over no cell, or when the delegate has none for it.
    std::optional<std::string> toolTipAtPoint(NSPoint point, NSRect* rect = nullptr);

    // Geometry.
    /// The disclosure triangle of `row` in the outline column; the zero rectangle when the
    /// item cannot expand or the delegate hides its triangle.
    virtual NSRect frameOfOutlineCellAtRow(long row) const;
    /// In the outline column, the cell starts after the indentation and the triangle.
    NSRect frameOfCellAtColumn(long column, long row) const override;
    /// The table's row, then the disclosure triangle.
    void drawRow(long row, NSRect clipRect) override;

  protected:
    long numberOfRowsFromDataSource() override;
    std::any objectValueForCell(NSTableColumn* column, long row) override;
    void setObjectValueFromCell(const std::any& value, NSTableColumn* column, long row) override;
    void willDisplayCellForRow(NSCell* cell, NSTableColumn* column, long row) override;
    bool delegateAllowsSelectingRow(long row) override;
    std::optional<bool> delegateShouldSelectColumn(NSTableColumn* column) override;
    void delegateDidClickColumn(NSTableColumn* column) override;
    void notifySelectionDidChange() override;
    /// A click on a disclosure triangle expands or collapses (Option: with the descendants).
    bool mouseDownBeforeSelection(NSEvent& event, long row, NSPoint point) override;

  private:
    struct Row {
        Ref<NSObject> item;
        long level = 0;
        Ref<NSObject> parent;
    };
    void appendChildren(const Ref<NSObject>& parent, long level,
                        std::vector<const NSObject*>& ancestors);
    void markDescendants(const Ref<NSObject>& item, bool expand,
                         std::vector<const NSObject*>& ancestors);
    void rebuild(bool forget);
    long outlineColumnIndex() const;

    WeakRef<NSOutlineViewDataSource> source_;
    WeakRef<NSOutlineViewDelegate> outlineDelegate_;
    WeakRef<NSTableColumn> outlineColumn_;
    double indentation_ = 16;
    std::vector<Row> rows_;
    std::map<const NSObject*, Ref<NSObject>> expanded_;
    std::map<const NSObject*, Ref<NSObject>> seenExpanded_;
    bool forgetUnseen_ = false;
    bool selectionMoved_ = false;
};
