#pragma once
// The header of a table: the header cells of its columns side by side, each over its
// column's width. Clicking a header tells the table.

#include "platform/appkit/NSView.h"

class NSTableView;

class NSTableHeaderView : public NSView {
  public:
    static Ref<NSTableHeaderView> make(NSRect frame = NSZeroRect) {
        auto header = std::make_shared<NSTableHeaderView>();
        header->initWithFrame(frame);
        return header;
    }
    NSTableHeaderView() = default;
    bool isFlipped() const override { return true; }

    /// The table whose columns are shown (raw; cleared when the table lets it go).
    NSTableView* tableView() const { return tableView_; }
    void setTableView(NSTableView* table) { tableView_ = table; }

    /// The header rectangle of `column`: its column's x and width over the header's height.
    NSRect headerRectOfColumn(long column) const;
    /// The column under `point` (header coordinates), or -1.
    long columnAtPoint(NSPoint point) const;

    /// Draws each column's header cell whose rectangle meets `dirtyRect`, then the
    /// background past the last column.
    void drawRect(NSRect dirtyRect) override;
    /// Highlights the header while the mouse is down, and reports a click to the table.
    void mouseDown(NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }

  private:
    NSTableView* tableView_ = nullptr;
};
